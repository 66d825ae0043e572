#include <gtest/gtest.h>

#include "PageServer.h"
#include "TestSupport.h"
#include "foundation/Exception.h"
#include "sources/YahooFinanceUk.h"
#include "sources/YahooQuotePage.h"
#include "sources/YahooStock.h"

namespace quillory {
namespace {

class YahooStockTest : public testing::Test {
protected:
    test::PageServer server;
    test::LogCapture log;

    template <typename Source> std::unique_ptr<Source> RunFor(const std::string& symbol, bool expected = true) {
        auto source = std::make_unique<Source>();
        source->SetSymbol(symbol);
        EXPECT_EQ(source->Run(), expected) << symbol;
        return source;
    }
};

TEST_F(YahooStockTest, ChangeSignComesFromADownArrowAndBlankCellsAreSkipped) {
    struct Case {
        const char* symbol;
        double lastTrade, change;
    } cases[] = {
        {"IBM", 121.5, -0.48},  // alt="Down", a "&nbsp;" text before the value
        {"MSFT", 1234.5, 0.48}, // alt="Up", a "&nbsp;" cell, "1,234.50"
        {"KO", 52.1, 0.48},     // no arrow at all
    };
    for (const Case& c : cases) {
        auto source = RunFor<YahooStock>(c.symbol);
        EXPECT_EQ(source->GetLastTrade(), c.lastTrade) << c.symbol;
        EXPECT_EQ(source->GetChange(), c.change) << c.symbol;
    }
}

TEST_F(YahooStockTest, LondonPricesInPenceBecomePounds) {
    struct Case {
        const char* symbol;
        const char* lastTrade;
    } cases[] = {
        {"VOD.L", "2.155"},                     // 215.50 pence
        {"P95.L", "0.95"},                      // at most 1: already pounds
        {"ONE.L", "1"},     {"vod.l", "215.5"}, // the suffix is case-sensitive
        {"A.L.L", "215.5"},                     // only a symbol whose first ".L" ends it qualifies
    };
    for (const Case& c : cases) {
        auto source = RunFor<YahooStock>(c.symbol);
        EXPECT_EQ(source->GetParameter("LastTrade"), c.lastTrade) << c.symbol;
        EXPECT_EQ(source->GetChange(), -1.25) << "lower-case alt text: " << c.symbol;
    }
    YahooStock source;
    source.SetSymbol(" VOD.L ");
    std::string text = "0.5";
    source.ConvertPenceToPounds(text);
    EXPECT_EQ(text, "0.5000") << "the symbol is trimmed and any qualifying price gets four decimals";
}

TEST_F(YahooStockTest, FundAndIndexPagesUseTheirOwnLabels) {
    auto fund = RunFor<YahooStock>("VFINX");
    EXPECT_EQ(fund->GetLastTrade(), 128.86);
    EXPECT_EQ(fund->GetChange(), 0.31);
    EXPECT_TRUE(log.Contains("YahooStock::FindLastTradeTime() - Tag with last trade time was not found!"));

    log.Clear();
    auto index = RunFor<YahooStock>("^DJI");
    EXPECT_EQ(index->GetLastTrade(), 11823.7);
    EXPECT_FALSE(index->HasParameter("Change"));
    EXPECT_EQ(log.Texts(),
              (std::vector<std::string>{"ERROR - YahooStock::FindChange() - Change value tag was not found!",
                                        "YahooStock::Run() - Successfully downloaded quote for [^DJI]"}));
}

TEST_F(YahooStockTest, FailuresAreLoggedInOrder) {
    struct Case {
        const char* symbol;
        std::vector<std::string> lines;
    } cases[] = {
        {"NOTRADE",
         {"ERROR - YahooStock::FindLastTrade() - Last trade tag not found!",
          "ERROR - YahooStock::Run() - Error finding last trade!"}},
        {"NOH1",
         {"ERROR - YahooStock::FindName() - Can't find h1 tag!", "ERROR - YahooStock::Run() - Error finding name!"}},
        {"H1TAG",
         {"ERROR - YahooStock::FindName() - Unexpected name tag!", "ERROR - YahooStock::Run() - Error finding name!"}},
        {"", {"ERROR - YahooStock::Run() - Missing symbol!"}},
    };
    for (const Case& c : cases) {
        log.Clear();
        RunFor<YahooStock>(c.symbol, false);
        EXPECT_EQ(log.Texts(), c.lines) << c.symbol;
    }
    YahooStock source;
    source.SetSymbol("NOTRADE");
    source.Run();
    EXPECT_EQ(source.GetCompanyName(), "Halted Holdings Inc") << "a failed run keeps what it had found";
    // The second NOTRADE run is answered from the page cache.
    EXPECT_EQ(server.Requests("Yahoo Finance").size(), 3u) << "no request without a symbol";
}

TEST_F(YahooStockTest, HeadingAsLastTokenRaisesOutOfRun) {
    YahooStock us;
    us.SetSymbol("CUT");
    EXPECT_THROW(us.Run(), XMLException);
    YahooFinanceUk uk;
    uk.SetSymbol("CUT.L");
    EXPECT_THROW(uk.Run(), XMLException);
}

TEST_F(YahooStockTest, DownloadFailureIsLogged) {
    test::ScopedEnv hosts("QUILLORY_HOSTS", "Yahoo Finance=127.0.0.1:1;Yahoo Finance UK=127.0.0.1:1");
    RunFor<YahooStock>("IBM", false);
    RunFor<YahooFinanceUk>("VOD.L", false);
    EXPECT_TRUE(log.Contains("ERROR - YahooStock::Run() - Error downloading page!"));
    EXPECT_TRUE(log.Contains("ERROR - YahooFinanceUk::Run() - Error downloading page!"));
}

TEST_F(YahooStockTest, SymbolWithALineBreakSendsNoRequest) {
    RunFor<YahooStock>("IBM HTTP/1.0\r\nX-Injected: 1\r\n\r\nGET /q?s=MSFT", false);
    EXPECT_EQ(log.Texts(), (std::vector<std::string>{
                               "ERROR - DataExtractor::RetrievePage() - Refusing a URL with control characters!",
                               "ERROR - YahooStock::Run() - Error downloading page!"}));
    EXPECT_TRUE(server.Requests("Yahoo Finance").empty());
}

TEST_F(YahooStockTest, UkPageFindsTheNameBySymbolAndKeepsPence) {
    struct Case {
        const char* symbol;
        const char* name;
        double lastTrade;
    } cases[] = {
        {"BP.L", "N/A", 415.2},             // the text found starts with "("
        {"BARC.L", "Barclays PLC", 182.45}, // heading text, cut at "("
    };
    for (const Case& c : cases) {
        auto source = RunFor<YahooFinanceUk>(c.symbol);
        EXPECT_EQ(source->GetCompanyName(), c.name) << c.symbol;
        EXPECT_EQ(source->GetLastTrade(), c.lastTrade) << c.symbol;
    }
    log.Clear();
    auto missing = RunFor<YahooFinanceUk>("NONAME.L", false);
    EXPECT_EQ(log.Texts(),
              (std::vector<std::string>{"ERROR - YahooFinanceUk::FindName() - Tag with company name was not found!",
                                        "ERROR - YahooFinanceUk::Run() - Error finding name!"}));
}

TEST(CleanQuoteNumberTest, KeepsTheNumber) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"1,234.5", "1234.5"},  {" 3.1% ", "3.1"}, {"(3.1%)", "3.1"}, {"+0.48 (0.39%)", "0.39"},
        {"1)2(3,4%", "1)2(34"}, // ")" before "(": the parentheses stay
        {"(12", "(12"},         {"", ""},
    };
    for (const Case& c : cases) {
        std::string text = c.in;
        CleanQuoteNumber(text);
        EXPECT_EQ(text, c.out) << c.in;
    }
}

} // namespace
} // namespace quillory
