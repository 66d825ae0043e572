#pragma once

#include <memory>
#include <mutex>
#include <string>

namespace quillory {

// A recursive lock that remembers whether it is held and by whom; the traces go to LogTrace.
class Mutex {
public:
    Mutex();
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;
    virtual ~Mutex();

    void Lock();
    void Lock(const std::string& holder);
    void Unlock();
    bool IsLocked() const { return locked; }
    const std::string& GetOwner() const { return owner; }

private:
    std::unique_ptr<std::recursive_mutex> criticalSection;
    bool locked = false;
    std::string owner;
};

// Holds a Mutex for the lifetime of a scope.
class Lock {
public:
    Lock(Mutex& mutex, const std::string& name);
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
    virtual ~Lock();

private:
    Mutex& mutex;
    std::string name;
};

} // namespace quillory
