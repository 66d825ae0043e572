#pragma once

#include <atomic>
#include <mutex>

namespace quillory {

// The one instance of T, created with T's default constructor on first use and deleted at process
// exit. A call after that deletion creates a fresh instance (which then lives until the very end).
// Safe to call from several threads: only one instance is ever made.
template <typename T> class Singleton {
public:
    static T& Instance() {
        T* existing = instance.load(std::memory_order_acquire);
        if (existing)
            return *existing;
        std::lock_guard lock(creation);
        existing = instance.load(std::memory_order_relaxed);
        if (existing == nullptr) {
            existing = new T();
            instance.store(existing, std::memory_order_release);
            (void)holder; // odr-use so the holder is constructed and destroys the instance at exit
        }
        return *existing;
    }

private:
    struct Holder {
        ~Holder() { delete instance.exchange(nullptr); }
    };
    static inline std::atomic<T*> instance = nullptr;
    static inline std::mutex creation;
    static inline Holder holder;
};

} // namespace quillory
