#include "app/core/HistoryChartData.h"

#include <algorithm>

#include "foundation/StringUtils.h"

namespace quillory::HistoryChartData {

namespace {

std::vector<const StockPrice*> ByDate(const StockPriceList& prices) {
    std::vector<const StockPrice*> entries;
    for (const StockPrice& entry : prices)
        entries.push_back(&entry);
    std::stable_sort(entries.begin(), entries.end(),
                     [](const StockPrice* a, const StockPrice* b) { return a->GetDate() < b->GetDate(); });
    return entries;
}

int RangeDays(Range range) {
    switch (range) {
    case Range::Month:
        return 31;
    case Range::SixMonths:
        return 183;
    case Range::Year:
        return 366;
    case Range::All:
        break;
    }
    return -1;
}

} // namespace

const std::vector<std::string>& RangeNames() {
    static const std::vector<std::string> names = {"1 month", "6 months", "1 year", "all"};
    return names;
}

std::vector<Point> SeriesPoints(const StockPriceList& prices, Range range) {
    const std::vector<const StockPrice*> entries = ByDate(prices);
    std::vector<Point> points;
    if (entries.empty())
        return points;
    const Date latest = entries.back()->GetDate();
    const int days = RangeDays(range);
    for (const StockPrice* entry : entries)
        if (days < 0 || latest.DaysFrom(entry->GetDate()) < days)
            points.push_back({entry->GetDate(), entry->GetPrice()});
    return points;
}

std::vector<LimitLine> LimitLines(const StockAlert& alert) {
    std::vector<LimitLine> lines;
    if (alert.IsUpperAlert())
        lines.push_back({true, alert.GetUpperLimit()});
    if (alert.IsLowerAlert())
        lines.push_back({false, alert.GetLowerLimit()});
    return lines;
}

std::string Csv(const StockPriceList& prices) {
    std::string text = "Date,Price,Change\n";
    for (const StockPrice* entry : ByDate(prices)) {
        text += entry->GetDate().CreateXMLAttrString();
        text += ',';
        text += StringUtils::ToString(entry->GetPrice());
        text += ',';
        text += StringUtils::ToString(entry->GetChange());
        text += '\n';
    }
    return text;
}

} // namespace quillory::HistoryChartData
