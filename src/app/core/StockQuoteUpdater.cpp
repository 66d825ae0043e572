#include "app/core/StockQuoteUpdater.h"

#include <utility>

#include "datetime/Date.h"
#include "model/Stock.h"
#include "model/StockPrice.h"

namespace quillory {

StockQuoteUpdater::StockQuoteUpdater(StockList& list, StockSources sources) : list(list), sources(std::move(sources)) {}

RowQuoteUpdater::Result StockQuoteUpdater::UpdateRow(int row, const std::string& symbol, QuoteRows& rows,
                                                     std::list<std::string>& alerts) {
    Stock stock("", "");
    list.Get(symbol, stock);
    QuoteFetch fetch = FetchQuote(sources, stock.GetDataSource(), symbol, false, "StockQuoteUpdater::UpdateRow()");
    if (fetch.result == QuoteFetch::Result::NoSource)
        return Result::NoSource;
    if (fetch.result == QuoteFetch::Result::Failed)
        return Result::Failed;
    StockDataExtractor* source = fetch.source.get();

    StockPrice price(source->GetLastTrade(), Date::GetCurrentDate());
    price.SetChange(source->GetChange());
    stock.AddPrice(price);
    list.Update(symbol, stock);
    stock.UpdateListRow(row, rows);
    stock.CheckAlerts(price.GetPrice(), alerts);
    return Result::Updated;
}

} // namespace quillory
