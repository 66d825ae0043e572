#pragma once

#include <list>
#include <string>

#include "app/core/QuoteRows.h"
#include "app/core/StockSources.h"

namespace quillory {

// What fetching one investment's quote needs, read on the GUI thread before the fetch.
struct RowFetch {
    std::string symbol;
    std::string source;    // the display name the investment named
    std::string key;       // what the fetch talks to (its host), for the per-host limit
    bool listed = false;   // the investment list held the symbol
    bool fallback = false; // "Automatic" is tried when the source fails
};

// Fetches the quote of one row's investment, records it and rewrites the row, in three steps so
// that the fetch can run off the GUI thread.
class RowQuoteUpdater {
public:
    enum class Result {
        Updated,  // the quote was recorded and the row rewritten
        NoSource, // the investment names a quote source that does not exist
        Failed,   // the source could not deliver a quote
        Stale,    // the investment was deleted or given another source meanwhile: nothing recorded
    };
    virtual ~RowQuoteUpdater() = default;

    // GUI thread: reads what the fetch of `symbol`'s investment needs.
    virtual RowFetch Prepare(const std::string& symbol) = 0;
    // Any thread, several at once: runs the source. Touches no row and no investment list.
    virtual QuoteFetch Fetch(const RowFetch& request) const = 0;
    // GUI thread: records an Updated fetch in the investment as the list holds it now and
    // rewrites `row`; appends the alert texts raised by the new price to alerts. Never throws.
    virtual Result Apply(int row, const RowFetch& request, QuoteFetch& fetch, QuoteRows& rows,
                         std::list<std::string>& alerts) = 0;
};

} // namespace quillory
