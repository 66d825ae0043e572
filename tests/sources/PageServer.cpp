#include "PageServer.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "sources/ServiceHosts.h"

namespace quillory::test {

namespace {

// Reads one line from a pipe, waiting at most `timeoutMs` in all; false at end of file or time-out.
bool ReadLine(int fd, std::string& line, int timeoutMs) {
    line.clear();
    char c;
    while (true) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, timeoutMs) <= 0)
            return false;
        ssize_t n = read(fd, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        if (c == '\n')
            return true;
        line += c;
    }
}

} // namespace

PageServer::PageServer(bool tls) : logPath(dir.File("requests.log")) {
    WriteFile(logPath, "");
    std::vector<std::string> arguments{"python3", QUILLORY_PAGES_SERVER, "--root", QUILLORY_PAGES_DIR, "--log",
                                       logPath};
    if (tls) {
        certificates.emplace();
        caEnv.emplace("SSL_CERT_FILE", certificates->CaFile());
        for (const std::string& a : certificates->ServerArguments(TestCertificates::Kind::Trusted))
            arguments.push_back(a);
    }
    std::vector<char*> argv;
    for (std::string& a : arguments)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2], in[2];
    if (pipe(out) != 0 || pipe(in) != 0)
        throw std::runtime_error("PageServer: pipe failed");
    pid = fork();
    if (pid < 0)
        throw std::runtime_error("PageServer: fork failed");
    if (pid == 0) {
        // An orphaned server would hold the test runner's output pipe open until its time-out.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        dup2(in[0], 0);
        dup2(out[1], 1);
        close(in[0]);
        close(in[1]);
        close(out[0]);
        close(out[1]);
        execvp("python3", argv.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    toChild = in[1];
    fcntl(toChild, F_SETFD, FD_CLOEXEC);
    fcntl(out[0], F_SETFD, FD_CLOEXEC);

    std::string line;
    bool ready = false;
    while (ReadLine(out[0], line, 20000)) {
        if (line == "READY") {
            ready = true;
            break;
        }
        size_t tab = line.find('\t');
        if (tab == std::string::npos)
            continue;
        size_t tab2 = line.find('\t', tab + 1);
        std::string name = line.substr(tab + 1, tab2 == std::string::npos ? std::string::npos : tab2 - tab - 1);
        std::string scheme = tab2 == std::string::npos ? "http" : line.substr(tab2 + 1);
        int port = std::atoi(line.substr(0, tab).c_str());
        ports[name] = port;
        if (!hostsValue.empty())
            hostsValue += ';';
        hostsValue += name + "=" + scheme + "://127.0.0.1:" + std::to_string(port);
    }
    close(out[0]);
    if (!ready) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        pid = -1;
        throw std::runtime_error("PageServer: the page server did not start");
    }
    // Services without fixtures point at a local port where nothing listens, so no test can reach
    // a real quote service.
    for (const std::string& name : ServiceHosts::Names()) {
        if (!ports.count(name))
            hostsValue += (hostsValue.empty() ? "" : ";") + name + "=127.0.0.1:1";
    }
    hostsEnv.emplace("QUILLORY_HOSTS", hostsValue);
}

PageServer::~PageServer() {
    hostsEnv.reset();
    if (toChild >= 0)
        close(toChild);
    if (pid > 0) {
        // The closed stdin or SIGTERM ends the server at once; SIGKILL is the backstop if it does not.
        kill(pid, SIGTERM);
        for (int waited = 0; waited < 200; ++waited) {
            if (waitpid(pid, nullptr, WNOHANG) == pid)
                return;
            usleep(10000);
        }
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

int PageServer::Port(const std::string& displayName) const {
    auto it = ports.find(displayName);
    return it == ports.end() ? 0 : it->second;
}

std::vector<std::vector<std::string>> PageServer::LogRows(const std::string& displayName) const {
    std::vector<std::vector<std::string>> rows;
    std::string text = ReadFile(logPath);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::vector<std::string> columns;
        size_t from = start;
        while (true) {
            size_t tab = text.find('\t', from);
            if (tab == std::string::npos || tab > end) {
                columns.push_back(text.substr(from, end - from));
                break;
            }
            columns.push_back(text.substr(from, tab - from));
            from = tab + 1;
        }
        columns.resize(5);
        if (columns[0] == displayName)
            rows.push_back(std::move(columns));
        start = end + 1;
    }
    return rows;
}

std::vector<std::string> PageServer::Requests(const std::string& displayName) const {
    std::vector<std::string> targets;
    for (const std::vector<std::string>& row : LogRows(displayName))
        targets.push_back(row[1]);
    return targets;
}

std::vector<PageServer::Head> PageServer::Heads(const std::string& displayName) const {
    std::vector<Head> heads;
    for (const std::vector<std::string>& row : LogRows(displayName))
        heads.push_back(Head{row[2], row[3], row[4]});
    return heads;
}

void PageServer::ClearRequests() {
    WriteFile(logPath, "");
}

ProgramResult RunProgram(const std::vector<std::string>& argv) {
    ProgramResult result;
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0)
        throw std::runtime_error("RunProgram: pipe failed");
    pid_t child = fork();
    if (child < 0)
        throw std::runtime_error("RunProgram: fork failed");
    if (child == 0) {
        int devNull = open("/dev/null", O_RDONLY);
        dup2(devNull, 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        close(out[0]);
        close(out[1]);
        close(err[0]);
        close(err[1]);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    // Both pipes are read together so that a chatty program cannot block on a full one.
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* texts[2] = {&result.out, &result.err};
    int openPipes = 2;
    while (openPipes > 0) {
        // A program that hangs is killed, so the test fails with its output instead of timing out.
        int ready = poll(fds, 2, 60000);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            kill(child, SIGKILL);
            result.err += "\nRunProgram: killed after 60 s without output";
            break;
        }
        for (int k = 0; k < 2; ++k) {
            if (fds[k].fd < 0 || fds[k].revents == 0)
                continue;
            char buffer[4096];
            ssize_t n = read(fds[k].fd, buffer, sizeof buffer);
            if (n > 0) {
                texts[k]->append(buffer, static_cast<size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                close(fds[k].fd);
                fds[k].fd = -1;
                --openPipes;
            }
        }
    }
    for (pollfd& p : fds)
        if (p.fd >= 0)
            close(p.fd);
    int status = 0;
    waitpid(child, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace quillory::test
