#pragma once

#include <cstdint>
#include <ctime>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "HttpProtocol.h"

namespace quillory::HttpHelper {

// Splits a URL into protocol, host, port and path; never fails. A URL without a recognised scheme is
// http (ftp for a host beginning "ftp."), a missing path is "/", a missing port the scheme's default:
// "h:8080" gives Http, "h", 8080, "/"; a colon after the first slash is part of the path.
void ParseUrl(const std::string& url, HttpProtocol& protocol, std::string& host, uint16_t& port, std::string& path);

// Escapes blanks ("%20") and colons ("%3A"), and nothing else.
void EscapeUrl(std::string& url);

// Fetches a page with the request the quote pages have always been sent: Fetch with the default
// options. True when `output` holds the whole body of a 2xx answer (from the one-minute cache, or
// from the server over verified TLS for https; a non-empty proxy host carries plain http requests).
// False after a logged failure, an error status such as 404 included; `output` must not be used then.
bool DownloadPage(const std::string& url, const std::string& proxyHost, uint16_t proxyPort, std::string& output);

// How one Fetch asks. The defaults are the request the quote pages have always been sent.
struct FetchOptions {
    // Header lines for the request: a name the default request has (User-Agent, Accept) is
    // replaced, any other name is added.
    std::vector<std::pair<std::string, std::string>> headers;
    // The whole download, TLS handshake and redirects included, ends with a failure after this.
    uint32_t deadlineMs = 20000;
    // Answer from / store into the one-minute page cache.
    bool useCache = true;
};

// Header names compare without regard to letter case.
struct CaseInsensitiveLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

// Response header fields by name; the first field of a repeated name wins.
using HttpHeaders = std::map<std::string, std::string, CaseInsensitiveLess>;

// The final answer of a Fetch, after redirects.
struct HttpResponse {
    int32_t status = 0;
    // The first field of a repeated name wins.
    HttpHeaders headers;
    std::string body; // decoded from chunks where the server sent them
    std::string host; // the host that gave the final answer
};

// Fetches `url` and checks the answer: true only for a final 2xx status with the whole body. Any
// other outcome (a network failure, the deadline, a non-2xx status, a short or undecodable body,
// a resting host, cancellation through CancelToken::Current()) is false, with `error` saying why
// in a line fit for the log and the user ("HTTP 404 from query1.finance.yahoo.com"; exactly
// "cancelled" after cancellation). `response` holds what arrived, status and body included, even
// then. Each wait for the server lasts at most 10 s, the whole download at most `deadlineMs`.
bool Fetch(const std::string& url, const std::string& proxyHost, uint16_t proxyPort, const FetchOptions& options,
           HttpResponse& response, std::string& error);

// Per-host rest: a 429 or 503 answer makes its host ("name:port") rest for Retry-After seconds
// (default 60, at most 3600). While it rests, Fetch to it fails at once. `url` may be any URL on
// the host. `until`, when given, receives the moment it may be asked again.
bool IsResting(const std::string& url, std::time_t* until = nullptr);
// Forgets every rest, for tests.
void ClearRests();
// "14:05:09": a moment of the program clock in local time, as rest messages give it.
std::string TimeOfDay(std::time_t moment);

} // namespace quillory::HttpHelper
