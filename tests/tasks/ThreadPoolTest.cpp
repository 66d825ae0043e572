#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <csignal>
#include <map>
#include <mutex>
#include <pthread.h>

#include "TaskFakes.h"
#include "tasks/PostQueue.h"
#include "tasks/ThreadPool.h"

namespace quillory {
namespace {

using ::testing::ElementsAre;

// Counts the tasks running at once, in total and per key.
class Occupancy {
public:
    void Enter(const std::string& key) {
        std::lock_guard lock(mutex);
        maxTotal = std::max(maxTotal, ++total);
        maxPerKey[key] = std::max(maxPerKey[key], ++perKey[key]);
        changed.notify_all();
    }
    void Leave(const std::string& key) {
        std::lock_guard lock(mutex);
        --total;
        --perKey[key];
    }
    int Running(const std::string& key) {
        std::lock_guard lock(mutex);
        return perKey[key];
    }
    void WaitForRunning(int count) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return total == count; });
    }
    std::mutex mutex;
    std::condition_variable changed;
    int total = 0, maxTotal = 0;
    std::map<std::string, int> perKey, maxPerKey;
};

TEST(ThreadPoolTest, RunsAtMostFourAtOnceAndTwoPerHostAndEndsEachTaskOnTheOwningThread) {
    PostQueue gui;
    ThreadPool pool(4, 2, [&gui](std::function<void()> f) { gui.Post(std::move(f)); });
    Occupancy occupancy;
    test::Gate gate;
    std::vector<std::string> ended; // touched by the owning thread only
    const std::vector<std::string> keys = {"a", "a", "a", "a", "b", "b", "b", "c", "c", "d"};
    for (size_t i = 0; i < keys.size(); ++i) {
        const std::string key = keys[i];
        pool.Submit(
            key, nullptr,
            [&occupancy, &gate, key] {
                occupancy.Enter(key);
                gate.Wait();
                occupancy.Leave(key);
            },
            [&ended, i] { ended.push_back(std::to_string(i)); });
    }
    // The first four that may run together: two of "a" (the others of "a" wait), two of "b".
    occupancy.WaitForRunning(4);
    EXPECT_EQ(occupancy.Running("a"), 2);
    EXPECT_EQ(occupancy.Running("b"), 2);
    gate.Open();
    ASSERT_TRUE(gui.RunUntil([&] { return ended.size() == keys.size(); }));

    EXPECT_EQ(occupancy.maxTotal, 4);
    EXPECT_EQ(occupancy.maxPerKey["a"], 2);
    EXPECT_EQ(occupancy.maxPerKey["b"], 2);
    EXPECT_LE(occupancy.maxPerKey["c"], 2);
}

TEST(ThreadPoolTest, WorkersRunWithTheTaskTokenAndTheExitSignalsBlocked) {
    PostQueue gui;
    ThreadPool pool(2, 2, [&gui](std::function<void()> f) { gui.Post(std::move(f)); });
    auto token = std::make_shared<CancelToken>();
    const CancelToken* seen = nullptr;
    bool termBlocked = false, intBlocked = false, done = false;
    pool.Submit(
        "x", token,
        [&] {
            seen = CancelToken::Current();
            sigset_t mask;
            pthread_sigmask(SIG_BLOCK, nullptr, &mask);
            termBlocked = sigismember(&mask, SIGTERM) == 1;
            intBlocked = sigismember(&mask, SIGINT) == 1;
        },
        [&] { done = true; });
    ASSERT_TRUE(gui.RunUntil([&] { return done; }));
    EXPECT_EQ(seen, token.get());
    EXPECT_TRUE(termBlocked);
    EXPECT_TRUE(intBlocked);

    // The creating thread keeps its own mask.
    sigset_t mine;
    pthread_sigmask(SIG_BLOCK, nullptr, &mine);
    EXPECT_EQ(sigismember(&mine, SIGTERM), 0);
}

TEST(ThreadPoolTest, CancelledTasksAreSkippedButStillEndAndShutdownFreesBlockedWorkers) {
    PostQueue gui;
    ThreadPool pool(1, 1, [&gui](std::function<void()> f) { gui.Post(std::move(f)); });
    auto token = std::make_shared<CancelToken>();
    test::Gate never, running;
    std::atomic<int> started{0};
    int ended = 0;
    bool blockedSawCancel = false;
    pool.Submit(
        "x", token,
        [&] {
            ++started;
            running.Open();
            blockedSawCancel = !never.Wait();
        },
        [&] { ++ended; });
    for (int i = 0; i < 3; ++i)
        pool.Submit(
            "x", token, [&] { ++started; }, [&] { ++ended; });
    running.Wait();
    token->Cancel();
    ASSERT_TRUE(gui.RunUntil([&] { return ended == 4; }));
    EXPECT_EQ(started, 1) << "queued tasks of a cancelled pass must not start";
    EXPECT_TRUE(blockedSawCancel);

    // Shutdown drops what waits and joins what runs.
    auto second = std::make_shared<CancelToken>();
    pool.Submit(
        "y", second, [&] { never.Wait(); }, [&] { ++ended; });
    pool.Submit(
        "y", second, [&] { ++started; }, [&] { ++ended; });
    second->Cancel();
    pool.Shutdown();
    pool.Submit(
        "z", nullptr, [&] { ++started; }, [&] { ++ended; });
    EXPECT_LE(started, 2);
}

} // namespace
} // namespace quillory
