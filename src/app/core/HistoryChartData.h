#pragma once

#include <string>
#include <vector>

#include "datetime/Date.h"
#include "model/StockAlert.h"
#include "model/StockPriceList.h"

namespace quillory {

// What the investment dialog's chart draws and what "Export..." writes, from a price history.
namespace HistoryChartData {

enum class Range { Month, SixMonths, Year, All };
// "1 month", "6 months", "1 year", "all", in the order of Range.
const std::vector<std::string>& RangeNames();

struct Point {
    Date date;
    double price;
};
// The entries of `range` before the history's latest date, oldest first. The range counts back
// from the latest entry rather than from today, so a history not updated for a while still shows.
std::vector<Point> SeriesPoints(const StockPriceList& prices, Range range);

struct LimitLine {
    bool upper;
    double value;
};
// A horizontal line for each enabled limit: upper first.
std::vector<LimitLine> LimitLines(const StockAlert& alert);

// "Date,Price,Change" and one line per entry, oldest first, ISO dates, numbers in the C locale.
std::string Csv(const StockPriceList& prices);

} // namespace HistoryChartData

} // namespace quillory
