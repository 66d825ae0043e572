#include "HttpCache.h"

#include "foundation/Clock.h"
#include "foundation/Log.h"

namespace quillory {

HttpCache theHttpCache;

void HttpCache::Add(const std::string& url, const std::string& content) {
    const std::time_t now = Clock::Now();
    std::lock_guard<std::mutex> lock(mutex);
    auto found = entries.find(url);
    if (found == entries.end()) {
        if (!entries.emplace(url, Entry{url, now, content}).second)
            LogError("HttpCache::Add() - Unable to insert to map!");
        return;
    }
    found->second.content = content;
    found->second.storedAt = now;
}

// The log line is written after the lock is given up, so that a slow log never holds the cache.
bool HttpCache::Retrieve(const std::string& url, std::string& output) {
    const std::time_t now = Clock::Now();
    long long age = 0;
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto found = entries.find(url);
        if (found == entries.end())
            return false;
        age = static_cast<long long>(now - found->second.storedAt);
        if (age >= 0 && age <= lifetimeSeconds) {
            output = found->second.content;
            return true;
        }
        entries.erase(found);
    }
    LogMessage("HttpCache::Retrieve() - content is expired, diff=" + std::to_string(age) + ", deleting cache item!");
    return false;
}

void HttpCache::Clear() {
    std::lock_guard<std::mutex> lock(mutex);
    entries.clear();
}

} // namespace quillory
