#include <gtest/gtest.h>

#include <stdexcept>

#include "foundation/Mutex.h"
#include "foundation/Singleton.h"

using namespace quillory;

TEST(MutexTest, LockRecordsAndClearsTheOwner) {
    Mutex mutex;
    EXPECT_FALSE(mutex.IsLocked());
    mutex.Lock("socket start-up");
    EXPECT_TRUE(mutex.IsLocked());
    EXPECT_EQ(mutex.GetOwner(), "socket start-up");
    mutex.Unlock();
    EXPECT_FALSE(mutex.IsLocked());
    EXPECT_EQ(mutex.GetOwner(), "");
}

TEST(MutexTest, ScopedLockReleasesOnException) {
    Mutex mutex;
    try {
        Lock lock(mutex, "");
        EXPECT_TRUE(mutex.IsLocked());
        throw std::runtime_error("leave the scope");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(mutex.IsLocked());
    {
        Lock named(mutex, "holder");
        EXPECT_EQ(mutex.GetOwner(), "holder");
    }
    EXPECT_FALSE(mutex.IsLocked());
}

namespace {
struct Counted {
    Counted() { ++made; }
    static inline int made = 0;
};
} // namespace

TEST(SingletonTest, CreatesOnceOnFirstUse) {
    EXPECT_EQ(Counted::made, 0);
    Counted& a = Singleton<Counted>::Instance();
    Counted& b = Singleton<Counted>::Instance();
    EXPECT_EQ(&a, &b);
    EXPECT_EQ(Counted::made, 1);
}
