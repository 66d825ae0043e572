#include <cmath>
#include <list>
#include <string>

#include <gtest/gtest.h>

#include "FakeListView.h"
#include "TestSupport.h"
#include "model/Stock.h"

namespace quillory {
namespace {

StockPrice Entry(double price, double change, int year, int month, int day) {
    StockPrice entry(price, Date(year, month, day));
    entry.SetChange(change);
    return entry;
}

TEST(StockTest, NewInvestmentHasTheDocumentedDefaults) {
    Stock stock("MSFT", "Microsoft Corporation");
    EXPECT_EQ(stock.GetQuantity(), 0);
    EXPECT_EQ(stock.GetDataSource(), "Yahoo Finance");
    EXPECT_TRUE(stock.GetPrices().empty());
    EXPECT_FALSE(stock.GetAlert().IsUpperAlert());
    EXPECT_FALSE(stock.GetAlert().IsLowerAlert());

    test::ScopedClock clock(2010, 5, 3);
    EXPECT_EQ(StockPrice().GetDate(), Date(2010, 5, 3));
    EXPECT_EQ(StockPrice().GetPrice(), 0);
}

TEST(StockTest, CopiesAreIndependent) {
    Stock original("A", "a");
    original.AddPrice(Entry(1, 0, 2010, 1, 4));
    Stock copy = original;
    copy.AddPrice(Entry(2, 0, 2010, 1, 5));
    copy.GetAlert().SetUpper(true, 3);
    EXPECT_EQ(original.GetPrices().size(), 1u);
    EXPECT_FALSE(original.GetAlert().IsUpperAlert());
}

TEST(StockTest, LastPriceIsTheFirstEntryWithTheLatestDateAfter1971) {
    struct Case {
        const char* what;
        std::list<StockPrice> history;
        double price;
        Date date;
    };
    const Case cases[] = {
        {"empty history", {}, 0, Date()},
        {"only the default date", {Entry(5, 1, 1971, 1, 1)}, 0, Date()},
        {"the day after it", {Entry(5, 1, 1971, 1, 1), Entry(6, 1, 1971, 1, 2)}, 6, Date(1971, 1, 2)},
        {"latest wins whatever its position",
         {Entry(1, 0, 2010, 5, 3), Entry(3, 0, 2010, 5, 7), Entry(2, 0, 2010, 5, 4)},
         3,
         Date(2010, 5, 7)},
        {"first of two on the latest day", {Entry(7, 0, 2010, 5, 7), Entry(8, 0, 2010, 5, 7)}, 7, Date(2010, 5, 7)},
    };
    for (const Case& c : cases) {
        Stock stock("X", "x");
        for (const StockPrice& entry : c.history)
            stock.GetPrices().push_back(entry);
        StockPrice last = stock.GetLastPrice();
        EXPECT_EQ(last.GetPrice(), c.price) << c.what;
        EXPECT_EQ(last.GetDate(), c.date) << c.what;
    }
}

TEST(StockTest, AddPriceKeepsOneEntryPerDayInThePlaceOfTheFirst) {
    Stock stock("X", "x");
    stock.AddPrice(Entry(10, 1, 2010, 5, 3));
    stock.AddPrice(Entry(20, 2, 2010, 5, 4));
    stock.AddPrice(Entry(11, -1, 2010, 5, 3));
    ASSERT_EQ(stock.GetPrices().size(), 2u);
    const StockPrice& first = stock.GetPrices().front();
    EXPECT_EQ(first.GetPrice(), 11);
    EXPECT_EQ(first.GetChange(), -1);
    EXPECT_EQ(first.GetDate(), Date(2010, 5, 3));
    EXPECT_EQ(stock.GetPrices().back().GetPrice(), 20);
}

TEST(StockTest, AlertsFireOnlyStrictlyBeyondAnEnabledLimit) {
    struct Case {
        bool upperOn;
        double upper;
        bool lowerOn;
        double lower;
        double price;
        std::list<std::string> messages;
    };
    const double nan = std::nan("");
    const Case cases[] = {
        {true, 100, false, 0, 100, {}},
        {true, 100, false, 0, 100.01, {"MSFT price is 100.01 which is above your limit of 100.00!"}},
        {false, 100, false, 0, 500, {}},
        {false, 0, true, 50, 50, {}},
        {false, 0, true, 50, 49.99, {"MSFT price is 49.99 which is below your limit of 50.00!"}},
        {false, 0, false, 50, 1, {}},
        {true, 100, true, 50, nan, {}},
        {true, 1200, false, 0, 1234.5, {"MSFT price is 1,234.50 which is above your limit of 1,200.00!"}},
        // Limits crossed over: both fire, the lower one first.
        {true,
         40,
         true,
         60,
         50,
         {"MSFT price is 50.00 which is below your limit of 60.00!",
          "MSFT price is 50.00 which is above your limit of 40.00!"}},
    };
    for (const Case& c : cases) {
        Stock stock("MSFT", "Microsoft Corporation");
        stock.GetAlert().SetUpper(c.upperOn, c.upper);
        stock.GetAlert().SetLower(c.lowerOn, c.lower);
        std::list<std::string> messages = {"earlier"};
        stock.CheckAlerts(c.price, messages);
        std::list<std::string> expected = c.messages;
        expected.push_front("earlier");
        EXPECT_EQ(messages, expected) << "price " << c.price;
    }
}

TEST(StockTest, ListRowShowsLastPriceAndChangeOrNA) {
    struct Case {
        std::list<StockPrice> history;
        const char* price;
        const char* change;
    };
    const Case cases[] = {
        {{}, "N/A", "N/A"},
        {{Entry(0, 1.5, 2010, 5, 3)}, "N/A", "N/A"},
        {{Entry(1234.567, -0.125, 2010, 5, 3)}, "1234.57", "-0.12"},
        {{Entry(30.5, 0, 2010, 5, 3), Entry(0.004, 0, 2010, 5, 2)}, "30.50", "0.00"},
    };
    for (const Case& c : cases) {
        Stock stock("MSFT", "Microsoft Corporation");
        for (const StockPrice& entry : c.history)
            stock.GetPrices().push_back(entry);
        test::FakeListView view;
        view.InsertItem(0, "old");
        stock.UpdateListRow(0, view);
        EXPECT_EQ(view.rows[0], (std::vector<std::string>{"MSFT", "Microsoft Corporation", c.price, c.change}));
    }
}

TEST(StockTest, InsertedRowIsFilledWhereTheViewPutsIt) {
    test::FakeListView view(true);
    Stock("B", "b").InsertListRow(view);
    EXPECT_EQ(Stock("C", "c").InsertListRow(view), 1);
    EXPECT_EQ(Stock("A", "a").InsertListRow(view), 0);
    ASSERT_EQ(view.rows.size(), 3u);
    EXPECT_EQ(view.rows[0], (std::vector<std::string>{"A", "a", "N/A", "N/A"}));
    EXPECT_EQ(view.rows[1][1], "b");
    EXPECT_EQ(view.rows[2][1], "c");

    view.failInsert = true;
    EXPECT_LT(Stock("D", "d").InsertListRow(view), 0);
    EXPECT_EQ(view.rows.size(), 3u);
}

TEST(StockTest, PriceHistoryListsTheLastEntryOnTop) {
    Stock stock("X", "x");
    stock.GetPrices().push_back(Entry(30.5, 1, 2010, 5, 3));
    stock.GetPrices().push_back(Entry(31.255, 1, 2010, 5, 4));
    test::FakeListView view;
    view.InsertItem(0, "stale");
    stock.FillPriceHistory(view);
    ASSERT_EQ(view.rows.size(), 2u);
    EXPECT_EQ(view.rows[0], (std::vector<std::string>{"2010/05/04", "31.25"}));
    EXPECT_EQ(view.rows[1], (std::vector<std::string>{"2010/05/03", "30.50"}));
}

} // namespace
} // namespace quillory
