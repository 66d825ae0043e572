#include "HttpConnection.h"

#include <cstdlib>
#include <vector>

#include "HttpHelper.h"
#include "foundation/Exception.h"
#include "foundation/Log.h"
#include "foundation/StringUtils.h"

namespace quillory {

namespace {

constexpr int32_t kMaxRedirects = 10;
constexpr uint32_t kRequestTimeoutMs = 30000;
// One reusable buffer; 16 KiB keeps the system calls for a large page few (a 10 MB page in 1 KiB reads
// costs half again as much time).
constexpr size_t kChunkSize = 16 * 1024;

[[noreturn]] void LogAndThrow(const std::string& text) {
    LogError(text);
    throw HttpException(text);
}

} // namespace

HttpConnection::HttpConnection(const std::string& host, uint16_t port, bool useTls)
    : host(host), port(port), useTls(useTls) {}

HttpConnection::~HttpConnection() {
    try {
        if (socket.IsValid())
            socket.Close();
    } catch (const SocketException&) {
    }
}

void HttpConnection::SetProxy(const std::string& newProxyHost, uint16_t newProxyPort) {
    proxyHost = newProxyHost;
    proxyPort = newProxyPort;
    useProxy = true;
}

// The proxy carries plain http only; a TLS connection always goes to the server itself.
void HttpConnection::Connect() {
    try {
        socket.Create();
        if (useProxy && !useTls)
            socket.Connect(proxyHost, proxyPort, false);
        else
            socket.Connect(host, port, useTls);
    } catch (const SocketException& e) {
        LogAndThrow("HttpConnection::Connect() - " + e.Message());
    }
}

void HttpConnection::Disconnect() {
    try {
        socket.Close();
    } catch (const SocketException& e) {
        LogAndThrow("HttpConnection::Disconnect() - Caught SocketException - " + e.Message());
    }
}

// The "Referrer" spelling and its always-http value are what the quote sites have always seen.
std::string HttpConnection::BuildRequest(const std::string& path) const {
    std::string target = path;
    HttpHelper::EscapeUrl(target);
    if (useProxy && !useTls) {
        std::string server = "http://" + host;
        if (port != 80) {
            server += ':';
            server += std::to_string(port);
        }
        target = server + target;
    }
    std::string request = "GET " + target + " HTTP/1.0\r\n";
    request += "User-Agent: Mozilla/4.0 (compatible; MSIE 4.01; Windows NT)\r\n";
    request += "Accept: */*\r\n";
    request += "Referrer: http://" + host + "\r\n";
    request += "Host: " + host + "\r\n";
    request += "\r\n";
    return request;
}

void HttpConnection::Send(const std::string& request) {
    LogDebug("HttpConnection::Send() - Sending request:\n" + request);
    size_t sent = 0;
    try {
        socket.SetTimeout(kRequestTimeoutMs);
        sent = socket.Send(request.data(), request.size());
    } catch (const SocketException& e) {
        LogAndThrow("HttpConnection::Send() - Caught SocketException - " + e.Message());
    }
    if (sent != request.size())
        throw HttpException("HttpConnection::Send() - Error sending a request to the server!");
}

// Reads until the server closes (or, over TLS, says close_notify). Every byte is kept, zero bytes
// included, and a response past kMaxResponseSize is refused rather than eating all memory.
void HttpConnection::Receive(std::string& output) {
    output.clear();
    char buffer[kChunkSize];
    try {
        for (;;) {
            size_t count = socket.Receive(buffer, sizeof buffer);
            if (count == 0)
                break;
            if (output.size() + count > kMaxResponseSize)
                LogAndThrow("HttpConnection::Receive() - Response too large!");
            output.append(buffer, count);
        }
    } catch (const SocketException& e) {
        LogAndThrow("HttpConnection::Receive() - Caught SocketException - " + e.Message());
    }
}

bool HttpConnection::ParseHttpResponse(const std::string& header, int32_t& statusCode,
                                       std::map<std::string, std::string>& fields) {
    fields.clear();
    std::vector<std::string> lines;
    StringUtils::Split(header, "\n\r", lines, true);
    if (lines.empty()) {
        LogError("HttpConnection::ParseHttpResponse() - Empty set of headers!");
        return false;
    }
    std::vector<std::string> pieces;
    StringUtils::Split(lines[0], " \t\r\n", pieces, true);
    if (pieces.size() < 2) {
        LogError("HttpConnection::ParseHttpResponse() - Response code not found in [" + lines[0] + "]");
        return false;
    }
    // "HTTP/1.0  200 OK" (two blanks) has an empty second piece: status 0.
    statusCode = std::atoi(pieces[1].c_str());
    for (size_t i = 1; i < lines.size(); ++i) {
        size_t colon = lines[i].find(':');
        if (colon == std::string::npos)
            continue;
        std::string value = lines[i].substr(colon + 1);
        StringUtils::Trim(value);
        fields.emplace(lines[i].substr(0, colon), value); // the first occurrence of a name wins
    }
    return true;
}

void HttpConnection::GetPage(const std::string& path, std::string& output) {
    LogDebug("HttpConnection::GetPage(" + path + ")");
    Send(BuildRequest(path));
    Receive(output);

    std::string header;
    if (size_t end = output.find("\r\n\r\n"); end != std::string::npos) {
        header = output.substr(0, end);
        output.erase(0, end + 4);
    } else {
        header.swap(output);
        output.clear();
    }

    int32_t statusCode = 0;
    std::map<std::string, std::string> fields;
    if (!ParseHttpResponse(header, statusCode, fields)) {
        LogError("HttpConnection::GetPage() - Failed to parse http response header!");
        return;
    }
    if (statusCode < 300 || statusCode > 303)
        return;

    auto location = fields.find("Location");
    if (location == fields.end()) {
        LogError("HttpConnection::GetPage() - Location field not found for response code " +
                 StringUtils::ToString(statusCode));
        return;
    }
    if (++redirectCount > kMaxRedirects) {
        LogError("HttpConnection::GetPage() - Reached maximum number of redirects!");
        return;
    }
    std::string newPath;
    if (location->second.rfind('/', 0) == 0) {
        newPath = location->second;
    } else {
        // Another server: its scheme decides between TLS and plain TCP, and its port is taken.
        HttpProtocol protocol = HttpProtocol::Invalid;
        HttpHelper::ParseUrl(location->second, protocol, host, port, newPath);
        useTls = protocol == HttpProtocol::Https;
    }
    Disconnect();
    Connect();
    GetPage(newPath, output);
}

} // namespace quillory
