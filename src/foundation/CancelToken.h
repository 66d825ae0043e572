#pragma once

#include <atomic>

namespace quillory {

// A cooperative stop request that blocking network code can wait on: Cancel() sets a flag and
// makes Fd() readable, so a poll() on a socket that also watches Fd() wakes at once. A thread
// installs the token its downloads obey with Scope; code far below (the socket layer) asks
// Current() without the token being passed through every source.
class CancelToken {
public:
    CancelToken();
    CancelToken(const CancelToken&) = delete;
    CancelToken& operator=(const CancelToken&) = delete;
    ~CancelToken();

    void Cancel();
    bool IsCancelled() const { return cancelled.load(std::memory_order_acquire); }
    // Readable once cancelled; -1 when the system gave no descriptor (the flag still works).
    int Fd() const { return fd; }

    // The token of the calling thread, or nullptr.
    static const CancelToken* Current();

    // Makes `token` the calling thread's token for this object's lifetime.
    class Scope {
    public:
        explicit Scope(const CancelToken* token);
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
        ~Scope();

    private:
        const CancelToken* previous;
    };

private:
    std::atomic<bool> cancelled{false};
    int fd = -1;
};

} // namespace quillory
