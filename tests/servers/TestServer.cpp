#include "TestServer.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace quillory::test {

namespace {

// Reads the first line of the child's output, waiting at most `timeoutMs` in all.
std::string ReadFirstLine(int fd, int timeoutMs) {
    std::string line;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (line.find('\n') == std::string::npos) {
        auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            break;
        pollfd waiting{fd, POLLIN, 0};
        int ready = ::poll(&waiting, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        char buffer[64];
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        line.append(buffer, static_cast<size_t>(n));
    }
    return line;
}

} // namespace

TestServer::TestServer(const std::string& script, const std::vector<std::string>& arguments) {
    int toChild[2], fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0)
        throw std::runtime_error("TestServer: pipe failed");
    if (::pipe2(fromChild, O_CLOEXEC) != 0) {
        ::close(toChild[0]);
        ::close(toChild[1]);
        throw std::runtime_error("TestServer: pipe failed");
    }

    std::vector<std::string> words{QUILLORY_PYTHON3, "-u", std::string(QUILLORY_TEST_SERVERS_DIR) + "/" + script};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
    int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(toChild[0]);
    ::close(fromChild[1]);
    input = toChild[1];
    if (spawned != 0) {
        ::close(fromChild[0]);
        ::close(input);
        throw std::runtime_error("TestServer: cannot start " + words[0] + ": " + std::strerror(spawned));
    }

    std::string line = ReadFirstLine(fromChild[0], 10000);
    ::close(fromChild[0]);
    int number = std::atoi(line.c_str());
    if (number <= 0 || number > 65535) {
        Stop();
        throw std::runtime_error("TestServer: " + script + " reported no port");
    }
    port = static_cast<uint16_t>(number);
}

TestServer::~TestServer() {
    Stop();
}

void TestServer::Stop() {
    if (input != -1) {
        ::close(input); // end of input: the script stops
        input = -1;
    }
    if (pid <= 0)
        return;
    for (int i = 0; i < 200; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid) {
            pid = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    pid = -1;
}

std::string TestServer::Url(const std::string& path, const std::string& scheme) const {
    return scheme + "://127.0.0.1:" + std::to_string(port) + path;
}

} // namespace quillory::test
