#pragma once

#include "app/core/RowQuoteUpdater.h"
#include "app/core/StockSources.h"
#include "storage/StockList.h"

namespace quillory {

// Updates a row from the investment list: the investment named by the row's symbol is asked of
// the source it names, gets today's price entry, is written back and rewrites the row.
class StockQuoteUpdater : public RowQuoteUpdater {
public:
    StockQuoteUpdater(StockList& list, StockSources sources);
    ~StockQuoteUpdater() override = default;

    RowFetch Prepare(const std::string& symbol) override;
    QuoteFetch Fetch(const RowFetch& request) const override;
    Result Apply(int row, const RowFetch& request, QuoteFetch& fetch, QuoteRows& rows,
                 std::list<std::string>& alerts) override;

    // Whether a failing source makes "Automatic" try the symbol (the option `Fallback`). Set on
    // the GUI thread between passes.
    void SetFallback(bool on) { fallback = on; }

    // The row's tooltip after a quote: the source that gave it, and the one that failed first.
    static std::string ToolTip(const std::string& answeredBy, const std::string& ownSource, bool fellBack);

private:
    StockList& list;
    StockSources sources;
    bool fallback = true;
};

} // namespace quillory
