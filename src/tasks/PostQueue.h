#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace quillory {

// The owning thread's event queue for code that runs without Qt (quillory-quote, tests,
// benchmarks): workers post functions, the owning thread runs them.
class PostQueue {
public:
    // Any thread.
    void Post(std::function<void()> function);
    // Runs the posted functions in order until `until` holds, waiting at most `limit` for each next
    // one. False when the wait ran out first.
    bool RunUntil(const std::function<bool()>& until, std::chrono::milliseconds limit = std::chrono::seconds(30));

private:
    std::mutex mutex;
    std::condition_variable posted;
    std::deque<std::function<void()>> queue;
};

} // namespace quillory
