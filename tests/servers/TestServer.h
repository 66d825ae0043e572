#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

namespace quillory::test {

// A python server script of tests/servers, running on 127.0.0.1 for the lifetime of this object.
// The script prints its ephemeral port on the first line of its output and stops when its standard
// input closes, so it never outlives the test, even one that crashes.
class TestServer {
public:
    // Runs tests/servers/<script> with `arguments`; throws std::runtime_error when it does not report
    // a port within 10 seconds.
    explicit TestServer(const std::string& script, const std::vector<std::string>& arguments = {});
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;
    ~TestServer();

    uint16_t Port() const { return port; }
    // "http://127.0.0.1:<port>" + path (or another scheme, such as "https").
    std::string Url(const std::string& path, const std::string& scheme = "http") const;

private:
    void Stop();

    pid_t pid = -1;
    int input = -1; // the write end of the script's standard input
    uint16_t port = 0;
};

} // namespace quillory::test
