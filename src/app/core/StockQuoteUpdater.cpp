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
    QuoteFetch fetch = FetchQuote(sources, stock.GetDataSource(), symbol, fallback, "StockQuoteUpdater::UpdateRow()");
    if (fetch.result == QuoteFetch::Result::NoSource)
        return Result::NoSource;
    if (fetch.result == QuoteFetch::Result::Failed) {
        rows.SetItemToolTip(row, ""); // no source stands behind the "N/A" the row shows now
        return Result::Failed;
    }
    StockDataExtractor* source = fetch.source.get();

    StockPrice price(source->GetLastTrade(), Date::GetCurrentDate());
    price.SetChange(source->GetChange());
    stock.AddPrice(price);
    list.Update(symbol, stock);
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
