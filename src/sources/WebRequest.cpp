#include "WebRequest.h"

#include <charconv>
#include <cmath>

#include "DataExtractor.h"

namespace quillory::WebRequest {

bool Get(const DataExtractor& source, const std::string& url, const std::string& accept, bool useCache,
         HttpHelper::HttpResponse& response, std::string& reason) {
    response = HttpHelper::HttpResponse{};
    for (unsigned char c : url) {
        if (c < 0x20 || c == 0x7F) {
            reason = "refusing a URL with control characters";
            return false;
        }
    }
    HttpHelper::FetchOptions options;
    options.headers = {{"User-Agent", kUserAgent}, {"Accept", accept}};
    options.useCache = useCache;
    // The proxies we know are plain http ones, which cannot carry a TLS connection (no CONNECT):
    // an https service is reached directly.
    const bool plain = url.compare(0, 7, "http://") == 0;
    const std::string proxyHost = plain ? source.GetProxyHost() : std::string();
    std::string error;
    if (HttpHelper::Fetch(url, proxyHost, plain ? source.GetProxyPort() : 0, options, response, error))
        return true;
    reason = error.empty() ? "download of " + url + " failed" : error;
    return false;
}

std::string PercentEncode(const std::string& text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
            c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

bool ParseNumber(const std::string& text, double& out) {
    size_t begin = text.find_first_not_of(" \t");
    size_t end = text.find_last_not_of(" \t");
    if (begin == std::string::npos)
        return false;
    const char* first = text.data() + begin;
    const char* last = text.data() + end + 1;
    if (*first == '+')
        ++first; // from_chars refuses a plus sign
    double value = 0;
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last || !std::isfinite(value))
        return false;
    out = value;
    return true;
}

double Tidy(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    double rounded = std::round(value * scale) / scale;
    return std::isfinite(rounded) ? rounded + 0.0 : value; // + 0.0 turns -0 into 0
}

} // namespace quillory::WebRequest
