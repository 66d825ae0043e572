#include "Mutex.h"

#include <new>

#include "Log.h"

namespace quillory {

Mutex::Mutex() : criticalSection(new (std::nothrow) std::recursive_mutex) {
    if (!criticalSection)
        LogError("Mutex::Mutex() - Error allocating memory!");
}

Mutex::~Mutex() {
    if (locked)
        Unlock();
}

void Mutex::Lock() {
    // Without a critical section (allocation failed) there is nothing to wait on.
    if (criticalSection)
        criticalSection->lock();
    if (locked)
        LogError("Mutex::Lock() - Mutex is already locked!");
    else
        locked = true;
}

void Mutex::Lock(const std::string& holder) {
    if (owner.empty())
        LogTrace("Mutex::Lock() - Locking mutex by " + holder + ", Mutex currently is not locked.");
    else
        LogTrace("Mutex::Lock() - Locking mutex by " + holder + ", Mutex currently is locked by " + owner +
                 ", waiting...");
    Lock();
    owner = holder;
    LogTrace("Mutex::Lock() - Locked mutex by " + holder);
}

void Mutex::Unlock() {
    locked = false;
    if (!owner.empty()) {
        LogTrace("Mutex::Unlock() - Unlocking mutex by " + owner);
        owner.clear();
    }
    if (criticalSection)
        criticalSection->unlock();
}

Lock::Lock(Mutex& m, const std::string& holder) : mutex(m), name(holder) {
    if (name.empty()) {
        mutex.Lock();
        return;
    }
    LogTrace("Lock::Lock() - Locking " + name + "...");
    mutex.Lock(name);
    LogTrace("Lock::Lock() - Mutex " + name + " locked.");
}

Lock::~Lock() {
    if (!name.empty())
        LogTrace("Lock::~Lock() - Unlocking " + name + "...");
    mutex.Unlock();
}

} // namespace quillory
