#include "HttpHelper.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "HttpCache.h"
#include "HttpConnection.h"
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

// Only an HttpException is a failed download here; a SocketException from starting the socket layer
// reaches the caller.
bool DownloadPage(const std::string& url, const std::string& proxyHost, uint16_t proxyPort, std::string& output) {
    if (theHttpCache.Retrieve(url, output))
        return true;
    HttpProtocol protocol = HttpProtocol::Invalid;
    std::string host, path;
    uint16_t port = 0;
    ParseUrl(url, protocol, host, port, path);
    try {
        HttpConnection connection(host, port, protocol == HttpProtocol::Https);
        if (!proxyHost.empty())
            connection.SetProxy(proxyHost, proxyPort);
        connection.Connect();
        connection.GetPage(path, output);
        theHttpCache.Add(url, output);
        return true;
    } catch (const HttpException& e) {
        LogError("HttpHelper::DownloadPage() - Caught HttpException - " + e.Message());
        return false;
    }
}

bool CaseInsensitiveLess::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) < std::tolower(y);
    });
}

// First cut: the described download; headers, deadline, status checks and rests come next.
bool Fetch(const std::string& url, const std::string& proxyHost, uint16_t proxyPort, const FetchOptions& options,
           HttpResponse& response, std::string& error) {
    response = HttpResponse{};
    std::string host, path;
    HttpProtocol protocol = HttpProtocol::Invalid;
    uint16_t port = 0;
    ParseUrl(url, protocol, host, port, path);
    response.host = host;
    if (options.useCache && theHttpCache.Retrieve(url, response.body)) {
        response.status = 200;
        return true;
    }
    try {
        HttpConnection connection(host, port, protocol == HttpProtocol::Https);
        if (!proxyHost.empty())
            connection.SetProxy(proxyHost, proxyPort);
        connection.Connect();
        connection.GetPage(path, response.body);
    } catch (const HttpException& e) {
        error = e.Message();
        return false;
    }
    response.status = 200;
    if (options.useCache)
        theHttpCache.Add(url, response.body);
    return true;
}

bool IsResting(const std::string&, std::time_t*) {
    return false;
}

void ClearRests() {}

} // namespace HttpHelper
} // namespace quillory
