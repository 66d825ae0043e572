#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/eventfd.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "foundation/CancelToken.h"
#include "tasks/TaskRunner.h"

namespace quillory::test {

// Keeps the submitted tasks until the test runs them, one at a time and in any order, on the
// test's own thread (which stands for both the worker and the GUI thread).
class ManualTaskRunner : public TaskRunner {
public:
    struct Task {
        std::string key;
        std::shared_ptr<const CancelToken> token;
        std::function<void()> work, done;
    };

    void Submit(const std::string& key, std::shared_ptr<const CancelToken> token, std::function<void()> work,
                std::function<void()> done) override {
        tasks.push_back({key, std::move(token), std::move(work), std::move(done)});
    }
    // Runs the task at `index` of those waiting (its work, then its end) and forgets it.
    void Run(size_t index) {
        Task task = std::move(tasks.at(index));
        tasks.erase(tasks.begin() + static_cast<std::ptrdiff_t>(index));
        if (!task.token || !task.token->IsCancelled()) {
            CancelToken::Scope scope(task.token.get());
            task.work();
        }
        task.done();
    }
    void RunAll() {
        while (!tasks.empty())
            Run(0);
    }

    std::vector<Task> tasks;
};

// A door a fake download waits at until the test opens it or the thread's CancelToken is
// cancelled, as a real download waits on its socket.
class Gate {
public:
    Gate() : fd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    Gate(const Gate&) = delete;
    Gate& operator=(const Gate&) = delete;
    ~Gate() { close(fd); }

    void Open() {
        uint64_t one = 1;
        [[maybe_unused]] ssize_t n = write(fd, &one, sizeof one);
    }
    // True when opened, false when cancelled.
    bool Wait() const {
        const CancelToken* token = CancelToken::Current();
        pollfd fds[2] = {{fd, POLLIN, 0}, {token ? token->Fd() : -1, POLLIN, 0}};
        for (;;) {
            if (token && token->IsCancelled())
                return false;
            if (poll(fds, 2, -1) < 0)
                continue;
            if (fds[0].revents & POLLIN)
                return true;
        }
    }

private:
    int fd;
};

} // namespace quillory::test
