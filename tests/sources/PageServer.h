#pragma once

#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

#include "TestCertificates.h"
#include "TestSupport.h"

namespace quillory::test {

// Runs tests/servers/pages_server.py over tests/fixtures/pages for one test's scope: one port per
// quote service on 127.0.0.1, and QUILLORY_HOSTS pointing every service at its port, so the
// sources fetch their fixtures through the real HTTP code. Each instance gets fresh ports, which
// also keeps one test's cached pages away from the next. The services whose real scheme is https
// are served over TLS with a throw-away authority (SSL_CERT_FILE trusts it for the test's scope)
// when `tls` is set, and over plain http otherwise; QUILLORY_HOSTS names each one's scheme.
class PageServer {
public:
    explicit PageServer(bool tls = false);
    ~PageServer();
    PageServer(const PageServer&) = delete;
    PageServer& operator=(const PageServer&) = delete;

    // "Display Name=127.0.0.1:port;..." for every service.
    const std::string& HostsValue() const { return hostsValue; }
    // Port of a service by display name; 0 when the fixtures have no such service.
    int Port(const std::string& displayName) const;
    // The request targets (path and query) the service received so far, oldest first.
    std::vector<std::string> Requests(const std::string& displayName) const;
    // The same requests' request lines and their User-Agent and Accept fields.
    struct Head {
        std::string requestLine, userAgent, accept;
    };
    std::vector<Head> Heads(const std::string& displayName) const;
    void ClearRequests();

private:
    std::vector<std::vector<std::string>> LogRows(const std::string& displayName) const;

    TempDir dir;
    std::optional<TestCertificates> certificates;
    std::optional<ScopedEnv> caEnv;
    std::string logPath;
    pid_t pid = -1;
    int toChild = -1;
    std::map<std::string, int> ports;
    std::string hostsValue;
    std::optional<ScopedEnv> hostsEnv;
};

// Runs a program to its end and collects what it wrote, for end-to-end tests of the tools.
struct ProgramResult {
    int exitCode = -1;
    std::string out, err;
};
ProgramResult RunProgram(const std::vector<std::string>& argv);

} // namespace quillory::test
