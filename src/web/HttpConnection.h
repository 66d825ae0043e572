#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "HttpHelper.h"
#include "Socket.h"

namespace quillory {

// One HTTP/1.0 GET of one resource, following up to 10 redirects. Socket failures and responses
// that arrive broken (a short or badly chunked body, an oversized header block, an encoding we did
// not ask for) come out as logged HttpExceptions that name the failing step.
class HttpConnection {
public:
    // Does not connect; throws SocketException only when the socket layer cannot start.
    HttpConnection(const std::string& host, uint16_t port, bool useTls);
    HttpConnection(const HttpConnection&) = delete;
    HttpConnection& operator=(const HttpConnection&) = delete;
    virtual ~HttpConnection();

    // Sends plain http requests through this proxy; call before Connect.
    void SetProxy(const std::string& proxyHost, uint16_t proxyPort);
    // Header lines for every request: a name of the default request is replaced where it stands,
    // any other is added at the end. A line holding CR or LF is dropped with a log line.
    void SetHeaders(const std::vector<std::pair<std::string, std::string>>& headers);
    // Every connect, handshake, send and receive of this connection, redirects included, ends with
    // a failure at this moment; on top of that, each wait lasts at most the socket's 10 s.
    void SetDeadline(Socket::TimePoint moment);
    void Connect();
    void Disconnect();
    // Fills `output` with the response body. Header trouble (no status, a redirect without Location,
    // too many redirects) is only logged: the body at hand is returned.
    void GetPage(const std::string& path, std::string& output);
    // GetPage with the final status (0 when there was no status line) and header fields too.
    void GetPage(const std::string& path, int32_t& statusCode, HttpHelper::HttpHeaders& fields, std::string& output);

    // The request text for `path`, ending in an empty line.
    std::string BuildRequest(const std::string& path) const;
    void Send(const std::string& request);
    // Reads one response: the header block, then the body as its fields frame it (chunks, the
    // Content-Length, or up to the server's close). `headerText` ends before the blank line. False,
    // logged, when the header had no status line.
    bool Receive(std::string& headerText, HttpHelper::HttpHeaders& fields, int32_t& statusCode, std::string& body);
    // Reads the status code and the header fields (the first of duplicate names wins) from the
    // header text; false, logged, when there is no status line.
    bool ParseHttpResponse(const std::string& header, int32_t& statusCode, HttpHelper::HttpHeaders& fields);

    // The server that gave the last answer (a redirect may have moved it).
    const std::string& Host() const { return host; }
    uint16_t Port() const { return port; }
    // False when the last answer ended before its header's blank line.
    bool HeaderComplete() const { return headerComplete; }

    // Responses (header and body) grow in memory; past this size they are refused.
    static constexpr size_t kMaxResponseSize = 32 * 1024 * 1024;
    // Header blocks past this size are refused.
    static constexpr size_t kMaxHeaderSize = 256 * 1024;

private:
    void ReceiveBody(const HttpHelper::HttpHeaders& fields, size_t headerSize, std::string& body);

    Socket socket;
    std::string host;
    uint16_t port;
    bool useTls;
    std::string proxyHost;
    uint16_t proxyPort = 0;
    bool useProxy = false;
    bool headerComplete = false;
    int32_t redirectCount = 0;
    std::vector<std::pair<std::string, std::string>> extraHeaders;
    Socket::TimePoint deadline = Socket::TimePoint::max();
};

} // namespace quillory
