#pragma once

#include <list>
#include <string>

#include "app/core/QuoteRows.h"

namespace quillory {

// Fetches the quote of one row's investment, records it and rewrites the row.
class RowQuoteUpdater {
public:
    enum class Result {
        Updated,  // the quote was recorded and the row rewritten
        NoSource, // the investment names a quote source that does not exist
        Failed,   // the source could not deliver a quote
    };
    virtual ~RowQuoteUpdater() = default;
    // Appends the alert texts raised by the new price to alerts. Never throws.
    virtual Result UpdateRow(int row, const std::string& symbol, QuoteRows& rows, std::list<std::string>& alerts) = 0;
};

} // namespace quillory
