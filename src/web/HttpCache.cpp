#include "HttpCache.h"

#include "foundation/Log.h"
#include "foundation/StringUtils.h"

namespace quillory {

HttpCache theHttpCache;

void HttpCache::Add(const std::string& url, const std::string& content) {
    DateTime now = DateTime::GetCurrentDateTime();
    auto found = entries.find(url);
    if (found == entries.end()) {
        if (!entries.emplace(url, Entry{url, now, content}).second)
            LogError("HttpCache::Add() - Unable to insert to map!");
        return;
    }
    found->second.content = content;
    found->second.storedAt = now;
}

bool HttpCache::Retrieve(const std::string& url, std::string& output) {
    auto found = entries.find(url);
    if (found == entries.end())
        return false;
    int32_t age = DateTime::GetCurrentDateTime().SecondsFrom(found->second.storedAt);
    if (age < 0 || age > lifetimeSeconds) {
        LogMessage("HttpCache::Retrieve() - content is expired, diff=" + StringUtils::ToString(age) +
                   ", deleting cache item!");
        entries.erase(found);
        return false;
    }
    output = found->second.content;
    return true;
}

} // namespace quillory
