#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "CoreFakes.h"
#include "app/core/ColumnLayout.h"
#include "app/core/HistoryChartData.h"
#include "app/core/Holdings.h"
#include "foundation/NumericFormat.h"

namespace quillory {
namespace {

Stock Holding(const std::string& symbol, double quantity, const std::string& currency, double price, double change) {
    Stock stock(symbol, symbol + " Inc.");
    stock.SetQuantity(quantity);
    stock.SetCurrency(currency);
    StockPrice older(price * 0.9, Date(2026, 12, 8));
    stock.AddPrice(older);
    StockPrice last(price, Date(2026, 12, 9));
    last.SetChange(change);
    stock.AddPrice(last);
    return stock;
}

class HoldingsTest : public testing::Test {
protected:
    HoldingsTest() { NumericFormat::SetDefault(NumericFormat('.', ',', 2)); }
};

TEST_F(HoldingsTest, RowCellsShowChangePercentAndValue) {
    struct Case {
        Stock stock;
        std::string percent;
        std::string value;
    };
    const Case cases[] = {
        {Holding("MSFT", 10, "USD", 110, 10), "10.00%", "1100.00"},
        {Holding("SAP.DE", 2.5, "EUR", 99, -1), "-1.00%", "247.50"},
        {Holding("GOOG", 0, "USD", 50, 0), "0.00%", ""},
        {Stock("NEW", ""), "N/A", ""},                 // no price yet
        {Holding("ZERO", 1, "", 5, 5), "N/A", "5.00"}, // nothing to divide by
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Holdings::ChangePercentText(c.stock), c.percent) << c.stock.GetSymbol();
        EXPECT_EQ(Holdings::ValueText(c.stock), c.value) << c.stock.GetSymbol();
    }
    Stock unpriced("NEW", "");
    unpriced.SetQuantity(3);
    EXPECT_EQ(Holdings::ValueText(unpriced), "N/A");
}

TEST_F(HoldingsTest, TotalsArePerCurrencyWithTodaysChange) {
    std::list<Stock> stocks = {Holding("MSFT", 10, "USD", 110, 10), Holding("SAP.DE", 2, "EUR", 100, -2),
                               Holding("AAPL", 1, "USD", 1000, -20), Holding("GOOG", 0, "USD", 50, 1),
                               Holding("OLD", 4, "", 25, 0)};
    const auto totals = Holdings::TotalsPerCurrency(stocks);
    ASSERT_EQ(totals.size(), 3u);
    EXPECT_EQ(totals[0].currency, "");
    EXPECT_EQ(totals[1].currency, "EUR");
    EXPECT_DOUBLE_EQ(totals[1].value, 200);
    EXPECT_DOUBLE_EQ(totals[1].change, -4);
    EXPECT_EQ(totals[2].currency, "USD");
    EXPECT_DOUBLE_EQ(totals[2].value, 2100);
    EXPECT_DOUBLE_EQ(totals[2].change, 80);
    EXPECT_EQ(Holdings::TotalsText(totals),
              "Holdings: 100.00 (0.00, 0.00%)  200.00 EUR (-4.00, -1.96%)  2,100.00 USD (+80.00, +3.96%)");
    EXPECT_TRUE(Holdings::AnyHolding(stocks));
    EXPECT_EQ(Holdings::TotalsText(Holdings::TotalsPerCurrency({Holding("GOOG", 0, "USD", 50, 1)})), "");
    EXPECT_FALSE(Holdings::AnyHolding({Holding("GOOG", 0, "USD", 50, 1)}));
}

TEST_F(HoldingsTest, TrayToolTipListsAsManyInvestmentsAsFit) {
    std::vector<Stock> stocks;
    for (int i = 0; i < 30; ++i)
        stocks.push_back(Holding("SYM" + std::to_string(i), 0, "USD", 100 + i, 1));
    stocks.push_back(Stock("NEW", ""));
    std::vector<const Stock*> rows;
    for (const Stock& stock : stocks)
        rows.push_back(&stock);

    EXPECT_EQ(Holdings::TrayToolTip({rows[0], rows[30]}), "Quillory\nSYM0 100.00 1.01%\nNEW N/A");
    const std::string tip = Holdings::TrayToolTip(rows, 120);
    EXPECT_LE(tip.size(), 120u);
    EXPECT_EQ(tip.rfind("Quillory\nSYM0 100.00 1.01%\nSYM1 101.00 1.00%\n", 0), 0u);
    // Every investment is either on a line or counted on the last one.
    const auto lines = static_cast<int>(std::count(tip.begin(), tip.end(), '\n'));
    EXPECT_EQ(tip.substr(tip.rfind('\n')), "\n(" + std::to_string(31 - (lines - 1)) + " more)") << tip;
    EXPECT_EQ(Holdings::TrayToolTip({}), "Quillory");
}

TEST(ColumnLayoutTest, DefaultWidthsFitTheTextSavedWidthsWin) {
    const ColumnLayout::TextWidth sevenPerChar = [](const std::string& text) {
        return static_cast<int>(text.size()) * 7;
    };
    EXPECT_EQ(ColumnLayout::DefaultWidth(2, sevenPerChar), 9 * 7 + ColumnLayout::kPadding); // "-12345.67"
    EXPECT_EQ(ColumnLayout::DefaultWidth(0, sevenPerChar), 8 * 7 + ColumnLayout::kPadding);
    EXPECT_EQ(ColumnLayout::DefaultWidth(4, sevenPerChar), 8 * 7 + ColumnLayout::kPadding); // header = sample

    test::MemorySettingsStore store;
    test::FakeAutostart autostart;
    QuilloryApp app(store, autostart);
    store.values[{"Window", "Column1"}] = 100;
    store.values[{"Window", "Column2"}] = 55;
    store.values[{"Window", "Column5"}] = 0; // a column the user closed stays closed
    const std::vector<int> widths = ColumnLayout::Widths(app, sevenPerChar);
    EXPECT_EQ(widths, (std::vector<int>{72, 100, 55, 79, 72, 0}));
}

StockPriceList History() {
    StockPriceList prices;
    // Out of order, as a file edited by hand or an old import may hold them.
    const struct {
        Date date;
        double price;
        double change;
    } entries[] = {{Date(2026, 12, 9), 411.25, -1.5},
                   {Date(2025, 12, 9), 300, 0},
                   {Date(2026, 11, 9), 400, 2},
                   {Date(2026, 11, 8), 0.1, 0.30000000000000004},
                   {Date(2026, 6, 10), 350.5, 0}};
    for (const auto& e : entries) {
        StockPrice price(e.price, e.date);
        price.SetChange(e.change);
        prices.push_back(price);
    }
    return prices;
}

TEST(HistoryChartDataTest, SeriesIsInDateOrderWithinTheRange) {
    using HistoryChartData::Range;
    const StockPriceList prices = History();
    auto dates = [&](Range range) {
        std::vector<std::string> texts;
        for (const auto& point : HistoryChartData::SeriesPoints(prices, range))
            texts.push_back(point.date.CreateXMLAttrString());
        return texts;
    };
    EXPECT_EQ(dates(Range::All),
              (std::vector<std::string>{"2025-12-09", "2026-06-10", "2026-11-08", "2026-11-09", "2026-12-09"}));
    EXPECT_EQ(dates(Range::Month), (std::vector<std::string>{"2026-11-09", "2026-12-09"}));
    EXPECT_EQ(dates(Range::SixMonths),
              (std::vector<std::string>{"2026-06-10", "2026-11-08", "2026-11-09", "2026-12-09"}));
    EXPECT_EQ(dates(Range::Year).size(), 5u);
    EXPECT_EQ(HistoryChartData::SeriesPoints(prices, Range::All).back().price, 411.25);
    EXPECT_TRUE(HistoryChartData::SeriesPoints(StockPriceList(), Range::All).empty());
}

TEST(HistoryChartDataTest, LimitLinesOnlyForEnabledLimits) {
    StockAlert alert;
    EXPECT_TRUE(HistoryChartData::LimitLines(alert).empty());
    alert.SetLower(true, 300);
    alert.SetUpper(false, 500);
    auto lines = HistoryChartData::LimitLines(alert);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_FALSE(lines[0].upper);
    EXPECT_EQ(lines[0].value, 300);
    alert.SetUpper(true, 500);
    lines = HistoryChartData::LimitLines(alert);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[0].upper);
    EXPECT_EQ(lines[0].value, 500);
}

TEST(HistoryChartDataTest, CsvExportBytes) {
    EXPECT_EQ(HistoryChartData::Csv(History()), "Date,Price,Change\n"
                                                "2025-12-09,300,0\n"
                                                "2026-06-10,350.5,0\n"
                                                "2026-11-08,0.1,0.3\n"
                                                "2026-11-09,400,2\n"
                                                "2026-12-09,411.25,-1.5\n");
    EXPECT_EQ(HistoryChartData::Csv(StockPriceList()), "Date,Price,Change\n");
}

} // namespace
} // namespace quillory
