#include "tasks/ThreadPool.h"

#include <csignal>
#include <pthread.h>

namespace quillory {

WorkerSignalBlock::WorkerSignalBlock() {
    // Everything but the signals a fault raises in the thread itself.
    sigset_t blocked;
    sigfillset(&blocked);
    for (int fault : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP})
        sigdelset(&blocked, fault);
    pthread_sigmask(SIG_BLOCK, &blocked, &previous);
}

WorkerSignalBlock::~WorkerSignalBlock() {
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

ThreadPool::ThreadPool(int threads, int perKey, Poster post)
    : threadCount(threads < 1 ? 1 : threads), perKey(perKey < 1 ? 1 : perKey), post(std::move(post)) {}

ThreadPool::~ThreadPool() {
    Shutdown();
}

void ThreadPool::StartWorkers() {
    WorkerSignalBlock block; // inherited by the threads
    for (int i = 0; i < threadCount; ++i)
        workers.emplace_back([this] { WorkerLoop(); });
}

void ThreadPool::Submit(const std::string& key, std::shared_ptr<const CancelToken> token, std::function<void()> work,
                        std::function<void()> done) {
    {
        std::lock_guard lock(mutex);
        if (stopping)
            return;
        queue.push_back({key, std::move(token), std::move(work), std::move(done)});
        if (workers.empty())
            StartWorkers();
    }
    wake.notify_all();
}

std::deque<ThreadPool::Task>::iterator ThreadPool::FindRunnable() {
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        auto busy = running.find(it->key);
        if (busy == running.end() || busy->second < perKey)
            return it;
    }
    return queue.end();
}

void ThreadPool::WorkerLoop() {
    for (;;) {
        Task task;
        {
            std::unique_lock lock(mutex);
            wake.wait(lock, [this] { return stopping || FindRunnable() != queue.end(); });
            if (stopping)
                return;
            auto it = FindRunnable();
            task = std::move(*it);
            queue.erase(it);
            ++running[task.key];
        }
        if (!task.token || !task.token->IsCancelled()) {
            CancelToken::Scope scope(task.token.get());
            try {
                task.work();
            } catch (...) {
                LogError("ThreadPool::WorkerLoop() - Caught unknown exception");
            }
        }
        bool postDone = false;
        {
            std::lock_guard lock(mutex);
            if (--running[task.key] == 0)
                running.erase(task.key);
            postDone = !stopping && task.done;
        }
        wake.notify_all();
        if (postDone)
            post(std::move(task.done));
    }
}

void ThreadPool::Shutdown() {
    {
        std::lock_guard lock(mutex);
        stopping = true;
        queue.clear();
    }
    wake.notify_all();
    for (std::thread& worker : workers)
        if (worker.joinable())
            worker.join();
    workers.clear();
}

} // namespace quillory
