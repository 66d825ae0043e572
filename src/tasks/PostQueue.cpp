#include "tasks/PostQueue.h"

namespace quillory {

void PostQueue::Post(std::function<void()> function) {
    {
        std::lock_guard lock(mutex);
        queue.push_back(std::move(function));
    }
    posted.notify_one();
}

bool PostQueue::RunUntil(const std::function<bool()>& until, std::chrono::milliseconds limit) {
    while (!until()) {
        std::function<void()> next;
        {
            std::unique_lock lock(mutex);
            if (!posted.wait_for(lock, limit, [this] { return !queue.empty(); }))
                return false;
            next = std::move(queue.front());
            queue.pop_front();
        }
        next();
    }
    return true;
}

} // namespace quillory
