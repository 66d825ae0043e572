#include "HttpConnection.h"

#include <cstdlib>
#include <vector>

#include "ChunkedDecoder.h"
#include "HttpHelper.h"
#include "foundation/Exception.h"
#include "foundation/Log.h"
#include "foundation/StringUtils.h"

namespace quillory {

namespace {

constexpr int32_t kMaxRedirects = 10;
// The size of one read; 16 KiB keeps the system calls for a large page few (a 10 MB page in 1 KiB
// reads costs half again as much time).
constexpr size_t kChunkSize = 16 * 1024;

// Receives up to one chunk onto the end of `text`; 0 when the peer closed.
size_t ReceiveAppending(Socket& socket, std::string& text) {
    const size_t old = text.size();
    text.resize(old + kChunkSize);
    const size_t count = socket.Receive(&text[old], kChunkSize);
    text.resize(old + count);
    return count;
}

[[noreturn]] void LogAndThrow(const std::string& text) {
    LogError(text);
    throw HttpException(text);
}

bool IsRedirect(int32_t statusCode) {
    return (statusCode >= 300 && statusCode <= 303) || statusCode == 307 || statusCode == 308;
}

// Where the header block ends: the index of the line feed that ends its last line, with
// `bodyStart` after the blank line (CR LF or LF alone), or npos. Searches from `from` on.
size_t FindBlankLine(const std::string& data, size_t from, size_t& bodyStart) {
    for (size_t i = data.find('\n', from); i != std::string::npos; i = data.find('\n', i + 1)) {
        if (i + 1 < data.size() && data[i + 1] == '\n') {
            bodyStart = i + 2;
            return i;
        }
        if (i + 2 < data.size() && data[i + 1] == '\r' && data[i + 2] == '\n') {
            bodyStart = i + 3;
            return i;
        }
    }
    return std::string::npos;
}

std::string Lowered(std::string text) {
    StringUtils::Trim(text);
    StringUtils::ToLower(text);
    return text;
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

void HttpConnection::SetHeaders(const std::vector<std::pair<std::string, std::string>>& headers) {
    extraHeaders.clear();
    for (const auto& [name, value] : headers) {
        if ((name + value).find_first_of("\r\n") != std::string::npos || name.empty()) {
            LogError("HttpConnection::SetHeaders() - Header line [" + name + "] dropped: it would break the request");
            continue;
        }
        extraHeaders.emplace_back(name, value);
    }
}

void HttpConnection::SetDeadline(Socket::TimePoint moment) {
    deadline = moment;
    socket.SetDeadline(moment);
}

// The proxy carries plain http only; a TLS connection always goes to the server itself.
void HttpConnection::Connect() {
    try {
        socket.Create();
        socket.SetDeadline(deadline);
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
    // A line break in a symbol must not end the request line.
    StringUtils::ReplaceAll(target, "\r", "%0D");
    StringUtils::ReplaceAll(target, "\n", "%0A");
    if (useProxy && !useTls) {
        std::string server = "http://" + host;
        if (port != 80) {
            server += ':';
            server += std::to_string(port);
        }
        target = server + target;
    }
    std::vector<std::pair<std::string, std::string>> lines = {
        {"User-Agent", "Mozilla/4.0 (compatible; MSIE 4.01; Windows NT)"},
        {"Accept", "*/*"},
        {"Referrer", "http://" + host},
        {"Host", host},
    };
    HttpHelper::HttpHeaders::key_compare sameName;
    for (const auto& extra : extraHeaders) {
        bool replaced = false;
        for (auto& line : lines) {
            if (!sameName(line.first, extra.first) && !sameName(extra.first, line.first)) {
                line = extra;
                replaced = true;
                break;
            }
        }
        if (!replaced)
            lines.push_back(extra);
    }
    std::string request = "GET " + target + " HTTP/1.0\r\n";
    for (const auto& [name, value] : lines)
        request += name + ": " + value + "\r\n";
    request += "\r\n";
    return request;
}

// Each wait lasts at most the socket's time-out (10 s), and the whole download ends at the deadline.
void HttpConnection::Send(const std::string& request) {
    LogDebug("HttpConnection::Send() - Sending request:\n" + request);
    size_t sent = 0;
    try {
        sent = socket.Send(request.data(), request.size());
    } catch (const SocketException& e) {
        LogAndThrow("HttpConnection::Send() - Caught SocketException - " + e.Message());
    }
    if (sent != request.size())
        throw HttpException("HttpConnection::Send() - Error sending a request to the server!");
}

// Reads into the string's own memory, so a large body is copied once.
bool HttpConnection::Receive(std::string& headerText, HttpHelper::HttpHeaders& fields, int32_t& statusCode,
                             std::string& body) {
    headerText.clear();
    fields.clear();
    statusCode = 0;
    body.clear();
    headerComplete = false;

    std::string data;
    size_t headerEnd = std::string::npos;
    size_t bodyStart = 0;
    try {
        size_t scanFrom = 0;
        for (;;) {
            const size_t count = ReceiveAppending(socket, data);
            if (count == 0)
                break;
            headerEnd = FindBlankLine(data, scanFrom, bodyStart);
            if (headerEnd != std::string::npos)
                break;
            if (data.size() > kMaxHeaderSize)
                LogAndThrow("HttpConnection::Receive() - Header block larger than 256 KiB!");
            // A blank line not yet whole begins at one of the last two bytes.
            scanFrom = data.size() >= 2 ? data.size() - 2 : 0;
        }
    } catch (const SocketException& e) {
        LogAndThrow("HttpConnection::Receive() - Caught SocketException - " + e.Message());
    }
    if (headerEnd != std::string::npos && headerEnd > kMaxHeaderSize)
        LogAndThrow("HttpConnection::Receive() - Header block larger than 256 KiB!");

    if (headerEnd == std::string::npos) {
        // The server closed inside the header: no body to read.
        headerText.swap(data);
        while (!headerText.empty() && (headerText.back() == '\r' || headerText.back() == '\n'))
            headerText.pop_back();
        return ParseHttpResponse(headerText, statusCode, fields);
    }
    headerComplete = true;
    headerText.assign(data, 0, headerEnd);
    if (!headerText.empty() && headerText.back() == '\r')
        headerText.pop_back();
    body.assign(data, bodyStart, std::string::npos);
    data.clear();
    data.shrink_to_fit();
    bool parsed = ParseHttpResponse(headerText, statusCode, fields);
    ReceiveBody(fields, bodyStart, body);
    return parsed;
}

// `body` holds what came with the header. Chunks win over a Content-Length; without either, the
// body ends where the connection ends.
void HttpConnection::ReceiveBody(const HttpHelper::HttpHeaders& fields, size_t headerSize, std::string& body) {
    if (auto encoding = fields.find("Content-Encoding"); encoding != fields.end()) {
        std::string name = Lowered(encoding->second);
        if (!name.empty() && name != "identity")
            LogAndThrow("HttpConnection::Receive() - Content-Encoding " + encoding->second + " was not asked for!");
    }
    bool chunked = false;
    if (auto transfer = fields.find("Transfer-Encoding"); transfer != fields.end()) {
        std::string codings = Lowered(transfer->second);
        size_t last = codings.find_last_of(',');
        std::string final = last == std::string::npos ? codings : codings.substr(last + 1);
        StringUtils::Trim(final);
        chunked = final == "chunked";
        if (!chunked && final != "identity")
            LogAndThrow("HttpConnection::Receive() - Transfer-Encoding " + transfer->second + " is not supported!");
    }
    const size_t maxBody = kMaxResponseSize > headerSize ? kMaxResponseSize - headerSize : 0;

    try {
        if (chunked) {
            ChunkedDecoder decoder;
            std::string raw;
            raw.swap(body);
            bool ok = decoder.Feed(raw.data(), raw.size(), body);
            std::vector<char> buffer(kChunkSize);
            while (ok && !decoder.Done()) {
                if (body.size() > maxBody)
                    LogAndThrow("HttpConnection::Receive() - Response too large!");
                size_t count = socket.Receive(buffer.data(), buffer.size());
                if (count == 0)
                    LogAndThrow("HttpConnection::Receive() - Chunked body ended early, after " +
                                std::to_string(body.size()) + " bytes!");
                ok = decoder.Feed(buffer.data(), count, body);
            }
            if (!ok)
                LogAndThrow("HttpConnection::Receive() - Broken chunked body: " + decoder.Error());
            if (body.size() > maxBody)
                LogAndThrow("HttpConnection::Receive() - Response too large!");
            return;
        }

        if (auto field = fields.find("Content-Length"); field != fields.end()) {
            std::string text = field->second;
            StringUtils::Trim(text);
            if (text.empty() || text.size() > 18 || !StringUtils::IsDigits(text))
                LogAndThrow("HttpConnection::Receive() - Invalid Content-Length [" + field->second + "]!");
            size_t length = static_cast<size_t>(std::strtoull(text.c_str(), nullptr, 10));
            if (length > maxBody)
                LogAndThrow("HttpConnection::Receive() - Response too large!");
            size_t have = std::min(body.size(), length);
            body.resize(length);
            while (have < length) {
                size_t count = socket.Receive(&body[have], length - have);
                if (count == 0)
                    break;
                have += count;
            }
            if (have < length) {
                body.resize(have);
                LogAndThrow("HttpConnection::Receive() - Body shorter than its Content-Length: received " +
                            std::to_string(have) + " of " + std::to_string(length) + " bytes!");
            }
            return;
        }

        if (body.size() > maxBody)
            LogAndThrow("HttpConnection::Receive() - Response too large!");
        for (;;) {
            const size_t count = ReceiveAppending(socket, body);
            if (count == 0)
                break;
            if (body.size() > maxBody)
                LogAndThrow("HttpConnection::Receive() - Response too large!");
        }
    } catch (const SocketException& e) {
        LogAndThrow("HttpConnection::Receive() - Caught SocketException - " + e.Message());
    }
}

bool HttpConnection::ParseHttpResponse(const std::string& header, int32_t& statusCode,
                                       HttpHelper::HttpHeaders& fields) {
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
    int32_t statusCode = 0;
    HttpHelper::HttpHeaders fields;
    GetPage(path, statusCode, fields, output);
}

void HttpConnection::GetPage(const std::string& path, int32_t& statusCode, HttpHelper::HttpHeaders& fields,
                             std::string& output) {
    LogDebug("HttpConnection::GetPage(" + path + ")");
    Send(BuildRequest(path));
    std::string header;
    if (!Receive(header, fields, statusCode, output)) {
        LogError("HttpConnection::GetPage() - Failed to parse http response header!");
        return;
    }
    if (!IsRedirect(statusCode))
        return;

    // Today's servers spell field names in lower case as often as not.
    auto location = fields.find("Location");
    if (location == fields.end() || location->second.empty()) {
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
        // A host that asked us to wait is not asked through a redirect either.
        std::time_t until = 0;
        if (HttpHelper::IsResting("http://" + host + ":" + std::to_string(port) + "/", &until))
            LogAndThrow("HttpConnection::GetPage() - Redirect to " + host + ":" + std::to_string(port) +
                        " not followed: it rests until " + HttpHelper::TimeOfDay(until));
    }
    Disconnect();
    Connect();
    GetPage(newPath, statusCode, fields, output);
}

} // namespace quillory
