#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "RunCatching.h"
#include "StockDataExtractor.h"

namespace quillory {

// How a search over every source ended.
struct SourceSearch {
    std::unique_ptr<StockDataExtractor> found; // the source that found a name, with its parameters
    std::string source;                        // its name; without a find, the last name tried
    int invalidSources = 0;                    // names that gave no source
    bool cancelled = false;                    // CancelToken::Current() stopped it
};

using SourceFactory = std::function<std::unique_ptr<StockDataExtractor>(const std::string& name)>;

// The investment dialog's Search and `quillory-quote --search`: every stock source in byte order
// of its name until one finds a company name for `symbol`. `trying` hears each name before its
// source runs; `caught` each run that ended in an escaping error.
SourceSearch SearchSources(std::vector<std::string> names, const SourceFactory& create, const std::string& symbol,
                           const std::function<void(const std::string& name)>& trying,
                           const std::function<void(const RunOutcome& outcome)>& caught);

} // namespace quillory
