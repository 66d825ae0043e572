#pragma once

#include <cstdint>
#include <ctime>
#include <map>
#include <mutex>
#include <string>

namespace quillory {

// Pages fetched within the last minute, by URL (compared byte for byte). Entries leave only when a
// lookup finds them expired; there is no size limit, as the quote sources ask for few pages. Safe
// to use from several threads at once.
class HttpCache {
public:
    HttpCache() = default;
    HttpCache(const HttpCache&) = delete;
    HttpCache& operator=(const HttpCache&) = delete;
    virtual ~HttpCache() = default;

    // Stores the page, or replaces it and its time.
    void Add(const std::string& url, const std::string& content);
    // Fills `output` from an entry at most 60 seconds old. An older entry, or one stored "later"
    // than now (the clock went back), is removed with a log line; `output` is then left alone.
    bool Retrieve(const std::string& url, std::string& output);
    // Forgets every page, for a measurement or a test that must reach the server.
    void Clear();

private:
    struct Entry {
        std::string url;
        std::time_t storedAt; // Clock::Now() seconds
        std::string content;
    };

    std::mutex mutex;
    std::map<std::string, Entry> entries;
    int32_t lifetimeSeconds = 60;
};

// The process-wide page cache of HttpHelper::DownloadPage.
extern HttpCache theHttpCache;

} // namespace quillory
