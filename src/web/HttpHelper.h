#pragma once

#include <cstdint>
#include <string>

#include "HttpProtocol.h"

namespace quillory::HttpHelper {

// Splits a URL into protocol, host, port and path; never fails. A URL without a recognised scheme is
// http (ftp for a host beginning "ftp."), a missing path is "/", a missing port the scheme's default:
// "h:8080" gives Http, "h", 8080, "/"; a colon after the first slash is part of the path.
void ParseUrl(const std::string& url, HttpProtocol& protocol, std::string& host, uint16_t& port, std::string& path);

// Escapes blanks ("%20") and colons ("%3A"), and nothing else.
void EscapeUrl(std::string& url);

// Fetches a page, answering from the process-wide cache when the URL was fetched within the last
// minute. An https URL is fetched over verified TLS; a non-empty proxy host carries plain http
// requests. True when `output` holds the page, whatever its status (a 404 page is a page); false
// after a logged failure, in which case `output` must not be used.
bool DownloadPage(const std::string& url, const std::string& proxyHost, uint16_t proxyPort, std::string& output);

} // namespace quillory::HttpHelper
