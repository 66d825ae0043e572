#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sources/StockDataExtractor.h"

namespace quillory {

// The quote sources as the update pass and the investment dialog use them: their display names
// and a factory that gives a new source by name, or none for a name it does not know.
struct StockSources {
    std::function<std::vector<std::string>()> names;
    std::function<std::unique_ptr<StockDataExtractor>(const std::string& name)> create;

    // The program's real sources.
    static StockSources Default();
};

// Runs a source, turning whatever error it raises into a failed run (logged).
bool RunSource(StockDataExtractor& source, const std::string& caller);

} // namespace quillory
