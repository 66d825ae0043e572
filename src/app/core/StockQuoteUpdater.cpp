#include "app/core/StockQuoteUpdater.h"

#include <utility>

#include "datetime/Date.h"
#include "model/Stock.h"
#include "model/StockPrice.h"
#include "sources/ServiceHosts.h"

namespace quillory {

StockQuoteUpdater::StockQuoteUpdater(StockList& list, StockSources sources) : list(list), sources(std::move(sources)) {}

RowFetch StockQuoteUpdater::Prepare(const std::string& symbol) {
    Stock stock("", "");
    const bool listed = list.Get(symbol, stock);
    return {symbol, stock.GetDataSource(), ServiceHosts::LimitKey(stock.GetDataSource()), listed, fallback};
}

QuoteFetch StockQuoteUpdater::Fetch(const RowFetch& request) const {
    return FetchQuote(sources, request.source, request.symbol, request.fallback, "StockQuoteUpdater::Fetch()");
}

RowQuoteUpdater::Result StockQuoteUpdater::Apply(int row, const RowFetch& request, QuoteFetch& fetch, QuoteRows& rows,
                                                 std::list<std::string>& alerts) {
    // The user may have edited or deleted the investment while its quote was on the way: the
    // result counts only while the investment still asks that source, and the price goes into
    // the investment as the list holds it now.
    Stock stock("", "");
    if (list.Get(request.symbol, stock) != request.listed || stock.GetDataSource() != request.source)
        return Result::Stale;
    if (fetch.result == QuoteFetch::Result::NoSource)
        return Result::NoSource;
    if (fetch.result == QuoteFetch::Result::Failed || !fetch.source) {
        rows.SetItemToolTip(row, ""); // no source stands behind the "N/A" the row shows now
        return Result::Failed;
    }

    StockDataExtractor* source = fetch.source.get();
    StockPrice price(source->GetLastTrade(), Date::GetCurrentDate());
    price.SetChange(source->GetChange());
    stock.AddPrice(price);
    // A source that says nothing about the currency leaves the one known from before.
    if (!source->GetCurrency().empty())
        stock.SetCurrency(source->GetCurrency());
    list.Update(request.symbol, stock);
    stock.UpdateListRow(row, rows);
    rows.SetItemToolTip(row, ToolTip(fetch.answeredBy, stock.GetDataSource(), fetch.fellBack));
    stock.CheckAlerts(price.GetPrice(), alerts);
    return Result::Updated;
}

std::string StockQuoteUpdater::ToolTip(const std::string& answeredBy, const std::string& ownSource, bool fellBack) {
    std::string text = "Quoted by " + answeredBy;
    if (fellBack)
        text += " (" + ownSource + " failed)";
    return text;
}

} // namespace quillory
