#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "Socket.h"

namespace quillory {

// One HTTP/1.0 GET of one resource, following up to 10 redirects. Socket failures come out as
// logged HttpExceptions that name the failing step.
class HttpConnection {
public:
    // Does not connect; throws SocketException only when the socket layer cannot start.
    HttpConnection(const std::string& host, uint16_t port, bool useTls);
    HttpConnection(const HttpConnection&) = delete;
    HttpConnection& operator=(const HttpConnection&) = delete;
    virtual ~HttpConnection();

    // Sends plain http requests through this proxy; call before Connect.
    void SetProxy(const std::string& proxyHost, uint16_t proxyPort);
    void Connect();
    void Disconnect();
    // Fills `output` with the response body. Header trouble (no status, a redirect without Location,
    // too many redirects) is only logged: the body at hand is returned.
    void GetPage(const std::string& path, std::string& output);

    // The request text for `path`, ending in an empty line.
    std::string BuildRequest(const std::string& path) const;
    void Send(const std::string& request);
    // Reads the whole response, up to the server's close, into `output`.
    void Receive(std::string& output);
    // Reads the status code and the header fields (the first of duplicate names wins) from the
    // header text; false, logged, when there is no status line.
    bool ParseHttpResponse(const std::string& header, int32_t& statusCode, std::map<std::string, std::string>& fields);

    // Responses grow in memory until the server closes; past this size they are refused.
    static constexpr size_t kMaxResponseSize = 32 * 1024 * 1024;

private:
    Socket socket;
    std::string host;
    uint16_t port;
    bool useTls;
    std::string proxyHost;
    uint16_t proxyPort = 0;
    bool useProxy = false;
    int32_t redirectCount = 0;
};

} // namespace quillory
