#pragma once

#include <string>

#include "web/HttpHelper.h"

namespace quillory {
class DataExtractor;
}

namespace quillory::WebRequest {

// The JSON, text and XML services of today answer a browser-like agent; some (Yahoo) refuse a
// request without one.
inline constexpr const char* kUserAgent = "Mozilla/5.0 (X11; Linux x86_64) Quillory/1.7";

// GET `url` with our User-Agent and `accept`, through the source's proxy when the URL is plain http. True only for a
// 2xx with the whole body; otherwise `reason` says why in a line fit for the log. `response` holds what arrived either
// way (a 404's body included). A URL with control characters is refused unsent.
bool Get(const DataExtractor& source, const std::string& url, const std::string& accept, bool useCache,
         HttpHelper::HttpResponse& response, std::string& reason);

// Percent-encodes every byte but the unreserved ones (letters, digits, "-._~"): "EURUSD=X" gives
// "EURUSD%3DX", "^GSPC" gives "%5EGSPC".
std::string PercentEncode(const std::string& text);

// The whole of `text` (blanks around allowed) as a finite number in C notation.
bool ParseNumber(const std::string& text, double& out);

// Rounds away the binary noise of a difference (211.64 - 210.16 is 1.4799999999999898).
double Tidy(double value, int decimals);

} // namespace quillory::WebRequest
