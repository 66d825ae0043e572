#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "CoreFakes.h"
#include "FakeSources.h"
#include "PageServer.h"
#include "TaskFakes.h"
#include "TestSupport.h"
#include "app/core/StockQuoteUpdater.h"
#include "app/core/UpdateCycle.h"
#include "foundation/NumericFormat.h"

namespace quillory {
namespace {

using ::testing::ElementsAre;

// The update pass over a real investment list and fake quote sources.
class StockQuoteUpdaterTest : public ::testing::Test {
protected:
    void SetUp() override { NumericFormat::SetDefault(NumericFormat('.', ',', 2)); }

    void AddInvestment(const std::string& symbol, const std::string& source = "Yahoo Finance") {
        Stock stock(symbol, symbol + " Inc.");
        stock.SetDataSource(source);
        list.Add(stock);
        stock.InsertListRow(window);
    }
    void RunPass() {
        cycle.UpdateQuotes();
        runner.RunAll();
    }
    Stock Get(const std::string& symbol) {
        Stock stock;
        list.Get(symbol, stock);
        return stock;
    }

    test::ScopedClock clock{2026, 12, 9, 14, 5, 9};
    test::MemorySettingsStore store;
    test::FakeAutostart autostart;
    QuilloryApp app{store, autostart};
    test::FakeWindow window;
    test::FakeSourceWorld world;
    StockList list;
    StockQuoteUpdater updater{list, world.Sources({"Yahoo Finance", "Bloomberg"})};
    test::ManualTaskRunner runner;
    UpdateCycle cycle{app, window, updater, runner};
    test::MessageBoxRecorder boxes;
    test::LogCapture log;
};

TEST_F(StockQuoteUpdaterTest, QuoteBecomesTodaysPriceAndRewritesTheRow) {
    AddInvestment("MSFT");
    world.Add("Yahoo Finance", "MSFT", {"Microsoft", 30.5, -0.25});
    RunPass();

    EXPECT_EQ(window.rows[0], (std::vector<std::string>{"MSFT", "MSFT Inc.", "30.50", "-0.25"}));
    Stock stock = Get("MSFT");
    ASSERT_EQ(stock.GetPrices().size(), 1u);
    EXPECT_EQ(stock.GetLastPrice().GetPrice(), 30.5);
    EXPECT_EQ(stock.GetLastPrice().GetChange(), -0.25);
    EXPECT_EQ(stock.GetLastPrice().GetDate().GetDay(), 9);
    EXPECT_EQ(stock.GetName(), "MSFT Inc.") << "the pass does not rename";
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(StockQuoteUpdaterTest, TheReportedCurrencyIsKeptAndSilenceKeepsTheOldOne) {
    AddInvestment("SAP.DE");
    AddInvestment("MSFT");
    world.Add("Yahoo Finance", "SAP.DE", {"SAP SE", 210.5, 1, "", "EUR"});
    world.Add("Yahoo Finance", "MSFT", {"Microsoft", 30.5, 0});
    RunPass();
    EXPECT_EQ(Get("SAP.DE").GetCurrency(), "EUR");
    EXPECT_EQ(Get("MSFT").GetCurrency(), "");

    world.quotes[{"Yahoo Finance", "SAP.DE"}].currency = "";
    RunPass();
    EXPECT_EQ(Get("SAP.DE").GetCurrency(), "EUR");
}

TEST_F(StockQuoteUpdaterTest, TwoRowsWithOneSymbolUpdateTheSameInvestmentTwice) {
    AddInvestment("MSFT");
    Stock(std::string("MSFT"), "").InsertListRow(window); // a second row, no second investment
    world.Add("Yahoo Finance", "MSFT", {"Microsoft", 30.5, 0.1});
    RunPass();

    EXPECT_THAT(world.runs, ElementsAre("Yahoo Finance:MSFT", "Yahoo Finance:MSFT"));
    EXPECT_EQ(Get("MSFT").GetPrices().size(), 1u) << "the second run replaces the day's entry";
    EXPECT_EQ(window.rows[1][2], "30.50");
}

TEST_F(StockQuoteUpdaterTest, UnknownSourceKeepsDotsAndStaysOutOfTheFailures) {
    AddInvestment("AAA", "Nowhere Finance");
    AddInvestment("BBB");
    RunPass();

    EXPECT_EQ(window.rows[0][2], "...");
    EXPECT_EQ(window.rows[0][3], "...");
    EXPECT_EQ(window.rows[1][2], "N/A");
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(boxes.Boxes()[0].text,
              "Unable to create data extractor for AAA! Try to update it in the propertied of investment.");
    EXPECT_EQ(boxes.Boxes()[1].text, "Quillory failed to download quotes for BBB.\nTry to use different data source, "
                                     "check your Internet connection and try again!");
    EXPECT_TRUE(Get("AAA").GetPrices().empty());
}

TEST_F(StockQuoteUpdaterTest, LastTradeOfZeroIsRecordedAndShownAsNotAvailableWithoutFailure) {
    AddInvestment("ZERO");
    world.Add("Yahoo Finance", "ZERO", {"Zero Corp", 0, 0});
    RunPass();

    EXPECT_EQ(window.rows[0][2], "N/A");
    EXPECT_EQ(window.rows[0][3], "N/A");
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(Get("ZERO").GetPrices().size(), 1u);
}

TEST_F(StockQuoteUpdaterTest, ErrorOutOfASourceIsAFailedRunAndKeepsTheHistory) {
    AddInvestment("GOOG");
    world.throwing.push_back("GOOG");
    RunPass();

    EXPECT_EQ(window.rows[0][2], "N/A");
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_NE(boxes.Boxes()[0].text.find("for GOOG."), std::string::npos);
    EXPECT_TRUE(Get("GOOG").GetPrices().empty());
    EXPECT_TRUE(log.Contains("connection reset"));
}

TEST_F(StockQuoteUpdaterTest, CrossedLimitsQueueAlertTextsAndStartTheBlink) {
    Stock stock("MSFT", "Microsoft");
    stock.GetAlert().SetUpper(true, 1200);
    stock.GetAlert().SetLower(true, 1300); // crossed over: both fire, the lower first
    list.Add(stock);
    stock.InsertListRow(window);
    world.Add("Yahoo Finance", "MSFT", {"Microsoft", 1234.5, 3});
    RunPass();

    EXPECT_THAT(cycle.GetPendingAlerts(), ElementsAre("MSFT price is 1,234.50 which is below your limit of 1,300.00!",
                                                      "MSFT price is 1,234.50 which is above your limit of 1,200.00!"));
    EXPECT_EQ(window.timers[2], 500);
}

// An investment on a source that no longer answers is quoted by "Automatic" in the same pass,
// unless the option is off; the row's tooltip says who answered.
TEST_F(StockQuoteUpdaterTest, AFailingSourceFallsBackToAutomatic) {
    StockQuoteUpdater withAutomatic{list, world.Sources({"Yahoo Finance", "Bloomberg", "Automatic"})};
    UpdateCycle pass{app, window, withAutomatic, runner};
    AddInvestment("MSFT");              // its own source answers
    AddInvestment("OLD", "Bloomberg");  // its own source fails, Automatic answers
    AddInvestment("GONE", "Bloomberg"); // nobody answers
    AddInvestment("AUTO", "Automatic"); // fails, and is not asked twice
    world.Add("Yahoo Finance", "MSFT", {"Microsoft", 30.5, 0.1});
    world.Add("Automatic", "OLD", {"Old Corp", 12.25, -0.5, "Yahoo Finance Chart"});
    pass.UpdateQuotes();
    runner.RunAll();

    // Rows in symbol order: AUTO, GONE, MSFT, OLD.
    EXPECT_THAT(world.runs, ElementsAre("Automatic:AUTO", "Bloomberg:GONE", "Automatic:GONE", "Yahoo Finance:MSFT",
                                        "Bloomberg:OLD", "Automatic:OLD"));
    EXPECT_EQ(window.rows[3], (std::vector<std::string>{"OLD", "OLD Inc.", "12.25", "-0.50"}));
    EXPECT_EQ(Get("OLD").GetLastPrice().GetPrice(), 12.25);
    EXPECT_EQ(Get("OLD").GetDataSource(), "Bloomberg") << "the investment keeps its own source";
    EXPECT_EQ(window.toolTips[3], "Quoted by Yahoo Finance Chart (Bloomberg failed)");
    EXPECT_EQ(window.toolTips[2], "Quoted by Yahoo Finance");
    EXPECT_EQ(window.toolTips[1], "") << "a failed row names no source";
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_NE(boxes.Boxes()[0].text.find("for AUTO, GONE."), std::string::npos) << boxes.Boxes()[0].text;

    world.runs.clear();
    withAutomatic.SetFallback(false);
    pass.UpdateQuotes();
    runner.RunAll();
    EXPECT_THAT(world.runs, ElementsAre("Automatic:AUTO", "Bloomberg:GONE", "Yahoo Finance:MSFT", "Bloomberg:OLD"));
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_NE(boxes.Boxes()[1].text.find("for AUTO, GONE, OLD."), std::string::npos) << boxes.Boxes()[1].text;
}

TEST_F(StockQuoteUpdaterTest, InvestmentEditedWhileItsQuoteIsOnTheWayKeepsTheEditAndGetsThePrice) {
    AddInvestment("MSFT");
    world.Add("Yahoo Finance", "MSFT", {"Microsoft", 30.5, 0.5});
    cycle.UpdateQuotes();
    Stock edited = Get("MSFT");
    edited.SetName("Microsoft Corporation");
    edited.GetAlert().SetUpper(true, 30);
    list.Update("MSFT", edited);
    runner.RunAll();

    Stock stock = Get("MSFT");
    EXPECT_EQ(stock.GetName(), "Microsoft Corporation");
    EXPECT_EQ(stock.GetLastPrice().GetPrice(), 30.5);
    EXPECT_EQ(window.rows[0], (std::vector<std::string>{"MSFT", "Microsoft Corporation", "30.50", "0.50"}));
    EXPECT_EQ(cycle.GetPendingAlerts().size(), 1u) << "the alert set meanwhile counts";
}

TEST_F(StockQuoteUpdaterTest, QuoteOfAnInvestmentDeletedOrMovedToAnotherSourceMeanwhileIsDropped) {
    AddInvestment("GONE");
    AddInvestment("MOVED");
    world.Add("Yahoo Finance", "GONE", {"Gone", 1, 0});
    cycle.UpdateQuotes();
    list.Remove("GONE"); // the row stays in this fake window: only the list tells
    Stock moved = Get("MOVED");
    moved.SetDataSource("Bloomberg");
    list.Update("MOVED", moved);
    runner.RunAll();

    EXPECT_FALSE(list.Contains("GONE")) << "a deleted investment must not come back";
    EXPECT_TRUE(Get("MOVED").GetPrices().empty());
    EXPECT_TRUE(boxes.Boxes().empty()) << "the old source's failure is not the investment's any more";
    EXPECT_EQ(window.rows[1][2], "...");
}

} // namespace
} // namespace quillory

// The real sources against the fixture services: the described Yahoo page has no ^GSPC, the chart
// has; with the option off the row fails.
TEST(StockSourcesTest, RealPassFallsBackFromADescribedSource) {
    quillory::test::PageServer server;
    quillory::test::LogCapture log;
    for (bool fallback : {true, false}) {
        quillory::QuoteFetch fetch =
            quillory::FetchQuote(quillory::StockSources::Default(), "Yahoo Finance", "^GSPC", fallback, "Test");
        if (!fallback) {
            EXPECT_EQ(fetch.result, quillory::QuoteFetch::Result::Failed);
            continue;
        }
        ASSERT_EQ(fetch.result, quillory::QuoteFetch::Result::Updated);
        EXPECT_EQ(fetch.answeredBy, "Yahoo Finance Chart");
        EXPECT_TRUE(fetch.fellBack);
        EXPECT_EQ(fetch.source->GetParameter("LastTrade"), "4015");
    }
    EXPECT_TRUE(log.Contains("Test - [^GSPC] Yahoo Finance failed; quoted by Yahoo Finance Chart instead"));
    EXPECT_EQ(server.Requests("Yahoo Finance").size(), 2u);
    EXPECT_EQ(server.Requests("Yahoo Finance Chart").size(), 1u);
}

TEST(StockSourcesTest, RealSourcesGetTheProxyFromTheEnvironment) {
    quillory::test::ScopedEnv proxy("http_proxy", "http://127.0.0.1:3128");
    quillory::test::ScopedEnv noProxy("no_proxy", std::nullopt);
    quillory::test::ScopedEnv noProxyUpper("NO_PROXY", std::nullopt);
    auto source = quillory::StockSources::Default().create("Yahoo Finance");
    ASSERT_TRUE(source);
    EXPECT_EQ(source->GetProxyHost(), "127.0.0.1");
    EXPECT_EQ(source->GetProxyPort(), 3128);
}
