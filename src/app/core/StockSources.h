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

// One investment's quote as a pass fetches it. Safe to call off the GUI thread: it touches no
// row and no investment list, only the sources.
struct QuoteFetch {
    enum class Result { Updated, NoSource, Failed };
    Result result = Result::Failed;
    // The source that answered (its parameters hold the quote), when result is Updated.
    std::unique_ptr<StockDataExtractor> source;
    // The display name of the source that gave the quote: for "Automatic", the one it chose.
    std::string answeredBy;
    // True when the investment's own source failed and "Automatic" answered instead.
    bool fellBack = false;
};

// Asks the source named `sourceName` for `symbol`; when that fails and `fallback` is set, other
// sources that can serve the symbol are tried ("Automatic", leaving out the one that failed) before
// the fetch counts as failed. A name no source has is NoSource, without a fallback.
QuoteFetch FetchQuote(const StockSources& sources, const std::string& sourceName, const std::string& symbol,
                      bool fallback, const std::string& caller);

} // namespace quillory
