#pragma once

#include <condition_variable>
#include <csignal>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tasks/TaskRunner.h"

namespace quillory {

// Blocks, for its lifetime, the asynchronous signals (SIGTERM, SIGINT and the like) in the calling
// thread, so that threads started meanwhile never receive them: those belong to the owning
// thread's handler, and must not interrupt a worker's download.
class WorkerSignalBlock {
public:
    WorkerSignalBlock();
    WorkerSignalBlock(const WorkerSignalBlock&) = delete;
    WorkerSignalBlock& operator=(const WorkerSignalBlock&) = delete;
    ~WorkerSignalBlock();

private:
    sigset_t previous;
};

// A TaskRunner on a few std::threads, started with the first task. The workers block the
// asynchronous signals (SIGTERM, SIGINT and the like), so those always reach the owning thread
// (the window's GUI thread, or quillory-quote's main thread) and never interrupt a download.
class ThreadPool : public TaskRunner {
public:
    // Puts a function on the owning thread's event queue; called from the workers.
    using Poster = std::function<void(std::function<void()>)>;

    ThreadPool(int threads, int perKey, Poster post);
    ThreadPool(const ThreadPool&) = delete;
    ThreadPool& operator=(const ThreadPool&) = delete;
    ~ThreadPool() override;

    void Submit(const std::string& key, std::shared_ptr<const CancelToken> token, std::function<void()> work,
                std::function<void()> done) override;

    // Drops the tasks not started and waits for the running ones; no `done` is posted any more and
    // later tasks are ignored. Cancel the tasks' tokens first, so this takes no time.
    void Shutdown();

private:
    struct Task {
        std::string key;
        std::shared_ptr<const CancelToken> token;
        std::function<void()> work, done;
    };

    void StartWorkers();
    void WorkerLoop();
    // The first queued task whose key has a free place; queue.end() when none.
    std::deque<Task>::iterator FindRunnable();

    const int threadCount;
    const int perKey;
    Poster post;

    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Task> queue;
    std::map<std::string, int> running;
    bool stopping = false;
    std::vector<std::thread> workers;
};

} // namespace quillory
