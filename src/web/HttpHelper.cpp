#include "HttpHelper.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iterator>
#include <mutex>

#include "HttpCache.h"
#include "HttpConnection.h"
#include "foundation/CancelToken.h"
#include "foundation/Clock.h"
#include "foundation/Exception.h"
#include "foundation/Log.h"
#include "foundation/StringUtils.h"

namespace quillory {

HttpProtocol HttpProtocolFromName(const std::string& name) {
    std::string upper = name;
    StringUtils::ToUpper(upper);
    if (upper == "HTTP")
        return HttpProtocol::Http;
    if (upper == "HTTPS")
        return HttpProtocol::Https;
    if (upper == "FTP")
        return HttpProtocol::Ftp;
    return HttpProtocol::Invalid;
}

uint16_t DefaultPort(HttpProtocol protocol) {
    switch (protocol) {
    case HttpProtocol::Http:
        return 80;
    case HttpProtocol::Https:
        return 443;
    case HttpProtocol::Ftp:
        return 21;
    default:
        return 0;
    }
}

namespace HttpHelper {

void ParseUrl(const std::string& url, HttpProtocol& protocol, std::string& host, uint16_t& port, std::string& path) {
    size_t hostStart = 0;
    protocol = HttpProtocol::Invalid;
    if (size_t scheme = url.find("://"); scheme != std::string::npos) {
        protocol = HttpProtocolFromName(url.substr(0, scheme));
        hostStart = scheme + 3;
    }
    port = DefaultPort(protocol);
    path.clear();

    size_t slash = url.find('/', hostStart);
    size_t colon = url.find(':', hostStart);
    if (colon != std::string::npos && slash != std::string::npos && colon > slash)
        colon = std::string::npos; // "http://h/a?q=X:Y": the colon belongs to the path

    if (slash == std::string::npos && colon == std::string::npos) {
        host = url.substr(hostStart);
    } else {
        size_t hostEnd = colon != std::string::npos ? colon : slash;
        host = url.substr(hostStart, hostEnd - hostStart);
        if (colon != std::string::npos) {
            size_t portEnd = slash != std::string::npos ? slash : url.size();
            // atoi rules: "8080x" is 8080, "" and "x" are 0. A number that is no port at all is 0
            // too, rather than some other port it happens to wrap onto.
            long number = std::atol(url.substr(colon + 1, portEnd - colon - 1).c_str());
            port = number >= 0 && number <= 65535 ? static_cast<uint16_t>(number) : 0;
        }
        if (slash != std::string::npos)
            path = url.substr(slash);
    }
    if (path.empty())
        path.push_back('/'); // (not `= "/"`: g++ 12 warns falsely about that)

    if (protocol == HttpProtocol::Invalid) {
        protocol = host.rfind("ftp.", 0) == 0 ? HttpProtocol::Ftp : HttpProtocol::Http;
        if (port == 0)
            port = DefaultPort(protocol);
    }
}

void EscapeUrl(std::string& url) {
    StringUtils::ReplaceAll(url, " ", "%20");
    StringUtils::ReplaceAll(url, ":", "%3A");
}

bool CaseInsensitiveLess::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) < std::tolower(y);
    });
}

namespace {

constexpr std::time_t kDefaultRestSeconds = 60;
constexpr std::time_t kMaxRestSeconds = 3600;

// Hosts ("name:port") that answered 429 or 503, and the moment each may be asked again.
struct RestTable {
    std::mutex mutex;
    std::map<std::string, std::time_t> until;
};

RestTable& Rests() {
    static RestTable table;
    return table;
}

std::string HostKey(const std::string& host, uint16_t port) {
    std::string key = host;
    StringUtils::ToLower(key);
    return key + ":" + std::to_string(port);
}

bool RestingUntil(const std::string& key, std::time_t& until) {
    std::time_t now = Clock::Now();
    RestTable& table = Rests();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto found = table.until.find(key);
    if (found == table.until.end())
        return false;
    if (found->second <= now) {
        table.until.erase(found);
        return false;
    }
    until = found->second;
    return true;
}

// "Sun, 06 Nov 1994 08:49:37 GMT", read without the process locale (strptime's %a and %b follow it).
bool ParseHttpDate(const std::string& text, std::time_t& moment) {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char weekday[4] = {}, month[4] = {};
    std::tm date{};
    int consumed = 0;
    if (std::sscanf(text.c_str(), "%3[A-Za-z], %2d %3[A-Za-z] %4d %2d:%2d:%2d GMT%n", weekday, &date.tm_mday, month,
                    &date.tm_year, &date.tm_hour, &date.tm_min, &date.tm_sec, &consumed) != 7 ||
        static_cast<size_t>(consumed) != text.size())
        return false;
    auto found = std::find_if(std::begin(kMonths), std::end(kMonths),
                              [&](const char* name) { return std::string(name) == month; });
    if (found == std::end(kMonths))
        return false;
    date.tm_mon = static_cast<int>(found - std::begin(kMonths));
    date.tm_year -= 1900;
    moment = timegm(&date);
    return moment != -1;
}

// Seconds to rest after a 429 or 503: Retry-After in seconds or as an HTTP date, else the default;
// never more than an hour, and at least a second.
std::time_t RestSeconds(const HttpHeaders& headers) {
    auto field = headers.find("Retry-After");
    if (field == headers.end())
        return kDefaultRestSeconds;
    std::string value = field->second;
    StringUtils::Trim(value);
    std::time_t seconds = kDefaultRestSeconds;
    if (!value.empty() && value.size() <= 10 && StringUtils::IsDigits(value)) {
        seconds = static_cast<std::time_t>(std::strtoll(value.c_str(), nullptr, 10));
    } else if (std::time_t moment = 0; ParseHttpDate(value, moment)) {
        seconds = moment - Clock::Now();
    }
    return std::clamp<std::time_t>(seconds, 1, kMaxRestSeconds);
}

// A message of the web layer without the "Class::Operation() - " and "Caught ... - " steps that
// lead to it: "Connection reset by peer."
std::string Reason(std::string text) {
    for (;;) {
        size_t step = text.find("() - ");
        if (step != std::string::npos && text.find(' ') > step) {
            text.erase(0, step + 5);
            continue;
        }
        if (text.rfind("Caught ", 0) == 0) {
            if (size_t dash = text.find(" - "); dash != std::string::npos) {
                text.erase(0, dash + 3);
                continue;
            }
        }
        return text;
    }
}

std::string Seconds(uint32_t milliseconds) {
    std::string text = StringUtils::ToString(milliseconds / 1000.0);
    return text + " s";
}

// The one download path of DownloadPage and Fetch; `origin` starts their log lines.
bool FetchFrom(const std::string& origin, const std::string& url, const std::string& proxyHost, uint16_t proxyPort,
               const FetchOptions& options, HttpResponse& response, std::string& error) {
    // The body keeps its memory: a caller that downloads into the same text again reuses it.
    response.status = 0;
    response.headers.clear();
    response.body.clear();
    response.host.clear();
    error.clear();
    std::string host, path;
    HttpProtocol protocol = HttpProtocol::Invalid;
    uint16_t port = 0;
    ParseUrl(url, protocol, host, port, path);
    response.host = host;
    if (options.useCache && theHttpCache.Retrieve(url, response.body)) {
        response.status = 200;
        return true;
    }

    if (const CancelToken* token = CancelToken::Current(); token != nullptr && token->IsCancelled()) {
        error = "cancelled";
        return false;
    }
    std::time_t until = 0;
    if (RestingUntil(HostKey(host, port), until)) {
        LogError(origin + " - " + HostKey(host, port) + " rests until " + TimeOfDay(until) +
                 " after it asked us to wait; nothing sent");
        error = host + " asked us to wait; it may be asked again at " + TimeOfDay(until);
        return false;
    }

    auto start = std::chrono::steady_clock::now();
    auto deadline = start + std::chrono::milliseconds(options.deadlineMs);
    HttpConnection connection(host, port, protocol == HttpProtocol::Https);
    try {
        connection.SetHeaders(options.headers);
        connection.SetDeadline(deadline);
        if (!proxyHost.empty())
            connection.SetProxy(proxyHost, proxyPort);
        connection.Connect();
        connection.GetPage(path, response.status, response.headers, response.body);
        response.host = connection.Host();
    } catch (const HttpException& e) {
        response.host = connection.Host();
        LogError(origin + " - Caught HttpException - " + e.Message());
        const CancelToken* token = CancelToken::Current();
        if (token != nullptr && token->IsCancelled())
            error = "cancelled";
        else if (std::chrono::steady_clock::now() >= deadline)
            error = response.host + ": no complete answer within " + Seconds(options.deadlineMs);
        else
            error = response.host + ": " + Reason(e.Message());
        return false;
    }

    if (response.status == 429 || response.status == 503) {
        std::time_t rest = RestSeconds(response.headers);
        std::string key = HostKey(connection.Host(), connection.Port());
        {
            RestTable& table = Rests();
            std::lock_guard<std::mutex> lock(table.mutex);
            table.until[key] = Clock::Now() + rest;
        }
        LogError(origin + " - " + key + " answered " + std::to_string(response.status) + ": it rests until " +
                 TimeOfDay(Clock::Now() + rest));
    }
    if (!connection.HeaderComplete() || response.status == 0) {
        error = "no valid HTTP answer from " + response.host;
        LogError(origin + " - " + error);
        return false;
    }
    if (response.status < 200 || response.status > 299) {
        error = "HTTP " + std::to_string(response.status) + " from " + response.host;
        LogError(origin + " - " + error);
        return false;
    }
    if (options.useCache)
        theHttpCache.Add(url, response.body);
    return true;
}

} // namespace

// Only an HttpException is a failed download here; a SocketException from starting the socket layer
// reaches the caller.
bool DownloadPage(const std::string& url, const std::string& proxyHost, uint16_t proxyPort, std::string& output) {
    HttpResponse response;
    response.body.swap(output);
    std::string error;
    bool ok = FetchFrom("HttpHelper::DownloadPage()", url, proxyHost, proxyPort, FetchOptions{}, response, error);
    output.swap(response.body);
    return ok;
}

bool Fetch(const std::string& url, const std::string& proxyHost, uint16_t proxyPort, const FetchOptions& options,
           HttpResponse& response, std::string& error) {
    try {
        return FetchFrom("HttpHelper::Fetch()", url, proxyHost, proxyPort, options, response, error);
    } catch (const SocketException& e) {
        LogError("HttpHelper::Fetch() - Caught SocketException - " + e.Message());
        error = e.Message();
        return false;
    }
}

std::string TimeOfDay(std::time_t moment) {
    std::tm local{};
    if (!Clock::ToLocal(moment, local))
        return std::to_string(moment);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

bool IsResting(const std::string& url, std::time_t* until) {
    std::string host, path;
    HttpProtocol protocol = HttpProtocol::Invalid;
    uint16_t port = 0;
    ParseUrl(url, protocol, host, port, path);
    std::time_t moment = 0;
    if (!RestingUntil(HostKey(host, port), moment))
        return false;
    if (until != nullptr)
        *until = moment;
    return true;
}

void ClearRests() {
    RestTable& table = Rests();
    std::lock_guard<std::mutex> lock(table.mutex);
    table.until.clear();
}

} // namespace HttpHelper
} // namespace quillory
