#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "PageServer.h"
#include "SourceLog.h"
#include "TestSupport.h"
#include "sources/AmfiNav.h"
#include "sources/Automatic.h"
#include "sources/DataExtractorFactory.h"
#include "sources/EcbRates.h"
#include "sources/MoscowExchange.h"
#include "sources/ServiceHosts.h"
#include "sources/ServiceProxy.h"
#include "sources/SymbolSearch.h"
#include "sources/YahooChart.h"
#include "web/HttpHelper.h"

namespace quillory::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using Parameters = std::vector<DataExtractor::Parameter>;

// Each test starts with no host resting and nothing cached from another test's server.
class WebSourcesTest : public ::testing::Test {
protected:
    void SetUp() override { HttpHelper::ClearRests(); }
    void TearDown() override { HttpHelper::ClearRests(); }

    static std::unique_ptr<StockDataExtractor> Run(const std::string& sourceName, const std::string& symbol,
                                                   bool expectOk = true) {
        std::unique_ptr<StockDataExtractor> source = DataExtractorFactory::CreateStockDataExtractor(sourceName);
        source->SetSymbol(symbol);
        EXPECT_EQ(source->Run(), expectOk) << sourceName << " " << symbol;
        return source;
    }
};

const std::string kMoscowTail = ".json?iss.meta=off&iss.only=securities,marketdata&marketprice_board=1";

TEST_F(WebSourcesTest, EachServiceGivesPriceChangeNameAndCurrencyOverTlsAndPlainHttp) {
    struct Case {
        const char* source;
        const char* symbol;
        Parameters parameters;
    };
    const Case cases[] = {
        {"Yahoo Finance Chart",
         "MSFT",
         {{"Symbol", "MSFT"},
          {"CompanyName", "Microsoft Corporation"},
          {"LastTrade", "415.26"},
          {"Change", "5.14"}, // from previousClose, not chartPreviousClose
          {"ChangePercent", "1.2533"},
          {"Currency", "USD"},
          {"LastTradeTime", "2026-09-18T16:00:00-04:00"}}},
        // An integer price, no previousClose, no long name.
        {"Yahoo Finance Chart",
         "^GSPC",
         {{"Symbol", "^GSPC"},
          {"CompanyName", "S&P 500"},
          {"LastTrade", "4015"},
          {"Change", "14.5"},
          {"ChangePercent", "0.3625"},
          {"Currency", "USD"},
          {"LastTradeTime", "2026-09-18T16:13:02-04:00"}}},
        // No names at all: the symbol.
        {"Yahoo Finance Chart",
         "EURUSD=X",
         {{"Symbol", "EURUSD=X"},
          {"CompanyName", "EURUSD=X"},
          {"LastTrade", "1.1534"},
          {"Change", "0.0034"},
          {"ChangePercent", "0.2957"},
          {"Currency", "USD"},
          {"LastTradeTime", "2026-09-18T23:20:00+01:00"}}},
        {"Moscow Exchange",
         "SBER",
         {{"Symbol", "SBER"},
          {"CompanyName", "\xD0\xA1\xD0\xB1\xD0\xB5\xD1\x80\xD0\xB1\xD0\xB0\xD0\xBD\xD0\xBA"},
          {"LastTrade", "287.15"},
          {"Change", "1.65"},
          {"ChangePercent", "0.5779"},
          {"Currency", "RUB"}}},
        // Columns in another order, LAST and SHORTNAME null.
        {"Moscow Exchange",
         "GAZP",
         {{"Symbol", "GAZP"},
          {"CompanyName", "\xD0\x93\xD0\xB0\xD0\xB7\xD0\xBF\xD1\x80\xD0\xBE\xD0\xBC \xD0\x9F\xD0\x90\xD0\x9E "
                          "\xD0\xB0\xD0\xBE"},
          {"LastTrade", "131.2"},
          {"Change", "1.2"},
          {"ChangePercent", "0.9231"},
          {"Currency", "RUB"}}},
        // The six-field row; the line of 1226390 comes first and must not be taken.
        {"AMFI India NAV",
         "122639",
         {{"Symbol", "122639"},
          {"CompanyName", "Parag Parikh Flexi Cap Fund - Direct Plan - Growth"},
          {"LastTrade", "92.4871"},
          {"Currency", "INR"},
          {"LastTradeTime", "2026-09-19"}}},
        // The eight-field row: plan and option join the name.
        {"AMFI India NAV",
         "118955",
         {{"Symbol", "118955"},
          {"CompanyName", "HDFC Flexi Cap Fund - Direct Plan - Growth"},
          {"LastTrade", "2011.732"},
          {"Currency", "INR"},
          {"LastTradeTime", "2026-09-21"}}},
        {"AMFI India NAV",
         "1189",
         {{"Symbol", "1189"},
          {"CompanyName", "Short Code Fund - Regular Plan - IDCW"},
          {"LastTrade", "45"},
          {"Currency", "INR"},
          {"LastTradeTime", "2026-09-21"}}},
    };
    for (bool tls : {true, false}) {
        PageServer server(tls);
        for (const Case& c : cases) {
            LogCapture log;
            auto source = Run(c.source, c.symbol);
            EXPECT_EQ(source->GetParameters(), c.parameters) << c.source << " " << c.symbol << " tls " << tls;
            EXPECT_THAT(log.Texts(), IsEmpty());
        }
        // One download of the NAV file served the three funds.
        EXPECT_EQ(server.Requests("AMFI India NAV").size(), 1u);
        const std::vector<PageServer::Head> heads = server.Heads("Yahoo Finance Chart");
        ASSERT_FALSE(heads.empty());
        EXPECT_EQ(heads[0].requestLine, "GET /v8/finance/chart/MSFT?range=1d&interval=1d HTTP/1.0");
        EXPECT_EQ(heads[0].userAgent, "Mozilla/5.0 (X11; Linux x86_64) Quillory/1.7");
        EXPECT_EQ(heads[0].accept, "application/json");
        EXPECT_THAT(server.Requests("Yahoo Finance Chart"),
                    ElementsAre("/v8/finance/chart/MSFT?range=1d&interval=1d",
                                "/v8/finance/chart/%5EGSPC?range=1d&interval=1d",
                                "/v8/finance/chart/EURUSD%3DX?range=1d&interval=1d"));
        EXPECT_THAT(server.Requests("Moscow Exchange"),
                    ElementsAre("/iss/engines/stock/markets/shares/securities/SBER" + kMoscowTail,
                                "/iss/engines/stock/markets/shares/securities/GAZP" + kMoscowTail));
        EXPECT_EQ(server.Heads("AMFI India NAV").at(0).accept, "text/plain");
    }
}

TEST_F(WebSourcesTest, FailuresAreClearAndLogged) {
    struct Case {
        const char* source;
        const char* symbol;
        const char* line;
    };
    const Case cases[] = {
        {"Yahoo Finance Chart", "NOSUCH", "ERROR - YahooChart::Run() - [NOSUCH] No data found, symbol may be delisted"},
        {"Yahoo Finance Chart", "NOPRICE", "ERROR - YahooChart::Run() - [NOPRICE] no price"},
        {"Yahoo Finance Chart", "HTML",
         "ERROR - YahooChart::Run() - [HTML] the answer is not a chart but \"<!DOCTYPE html> <html "
         "lang=\"en-us\"><head...\""},
        {"Moscow Exchange", "NOSUCH", "ERROR - MoscowExchange::Run() - [NOSUCH] unknown security"},
        {"AMFI India NAV", "100027", "ERROR - AmfiNav::Run() - [100027] no NAV for scheme 100027 (N.A.)"},
        {"AMFI India NAV", "12263", "ERROR - AmfiNav::Run() - [12263] unknown scheme code"},
        {"AMFI India NAV", "MSFT", "ERROR - AmfiNav::Run() - [MSFT] not a scheme code (digits only)"},
    };
    PageServer server(true);
    for (const Case& c : cases) {
        LogCapture log;
        auto source = Run(c.source, c.symbol, false);
        EXPECT_FALSE(source->HasParameter("LastTrade")) << c.symbol;
        std::vector<std::string> lines;
        for (const std::string& text : log.Texts())
            if (text.find("::Run()") != std::string::npos)
                lines.push_back(text);
        EXPECT_THAT(lines, ElementsAre(c.line));
    }
    // An unknown symbol is an answer: the second host is not asked.
    EXPECT_EQ(server.Requests("Yahoo Finance Chart").size(), 3u);
    EXPECT_EQ(server.Requests("AMFI India NAV").size(), 1u) << "one download; none for MSFT";
}

TEST_F(WebSourcesTest, YahooAsksTheSecondHostAfterAServerError) {
    PageServer server;
    LogCapture log;
    Run("Yahoo Finance Chart", "DOWN", false);
    // With QUILLORY_HOSTS both hosts are the one fixture server.
    EXPECT_THAT(server.Requests("Yahoo Finance Chart"), ElementsAre("/v8/finance/chart/DOWN?range=1d&interval=1d",
                                                                    "/v8/finance/chart/DOWN?range=1d&interval=1d"));
}

TEST_F(WebSourcesTest, AutomaticTriesTheSourcesThatFitTheSymbolInOrder) {
    struct Order {
        const char* symbol;
        std::vector<std::string> sources;
    };
    const std::string yahoo = "Yahoo Finance Chart", moscow = "Moscow Exchange", amfi = "AMFI India NAV";
    const Order orders[] = {
        {"MSFT", {yahoo, moscow}}, {"SBER", {yahoo, moscow}}, {"122639", {yahoo, moscow, amfi}},
        {"SAP.DE", {yahoo}},       {"^GSPC", {yahoo}},        {"BTC-USD", {yahoo}},
        {"EURUSD=X", {yahoo}},     {"sber", {yahoo}},         {"7203.T", {yahoo}},
    };
    for (const Order& o : orders)
        EXPECT_EQ(AutomaticSource::Candidates(o.symbol), o.sources) << o.symbol;

    PageServer server(true);
    struct Case {
        const char* symbol;
        const char* answeredBy;
        const char* lastTrade;
    };
    const Case cases[] = {
        {"MSFT", "Yahoo Finance Chart", "415.26"},
        {"SBER", "Moscow Exchange", "287.15"},
        {"122639", "AMFI India NAV", "92.4871"},
    };
    for (const Case& c : cases) {
        auto source = Run("Automatic", c.symbol);
        EXPECT_EQ(source->GetParameter("Source"), c.answeredBy);
        EXPECT_EQ(source->GetParameter("LastTrade"), c.lastTrade);
    }
    EXPECT_EQ(server.Requests("Moscow Exchange").size(), 2u) << "SBER and 122639, not MSFT";

    LogCapture log;
    Run("Automatic", "NOSUCH", false);
    EXPECT_THAT(LinesFrom(log, "Automatic::"),
                ElementsAre("ERROR - Automatic::Run() - No source could quote [NOSUCH]: Yahoo Finance Chart: No data "
                            "found, symbol may be delisted; Moscow Exchange: unknown security"));
}

TEST_F(WebSourcesTest, ATooManyRequestsAnswerRestsTheHostAndAutomaticMovesOn) {
    PageServer server(true);
    LogCapture log;
    Run("Automatic", "BUSY", false);
    ASSERT_TRUE(HttpHelper::IsResting(ServiceHosts::BaseUrl("Yahoo Finance Chart") + "/"));
    auto sber = Run("Automatic", "SBER");
    EXPECT_EQ(sber->GetParameter("Source"), "Moscow Exchange");
    Run("Yahoo Finance Chart", "MSFT", false);
    // One request reached Yahoo: the one answered 429.
    EXPECT_THAT(server.Requests("Yahoo Finance Chart"), ElementsAre("/v8/finance/chart/BUSY?range=1d&interval=1d"));
    EXPECT_THAT(LinesFrom(log, "Automatic::Run() - No source could quote [BUSY]"), testing::SizeIs(1));
}

TEST_F(WebSourcesTest, EcbGivesCrossRatesThroughTheEuro) {
    struct Case {
        const char* source;
        const char* target;
        double rate;
    };
    const Case cases[] = {
        {"EUR", "USD", 1.1534},
        {"USD", "EUR", 1 / 1.1534},
        {"USD", "JPY", 171.42 / 1.1534},
        {"GBP", "INR", 101.1585 / 0.86675},
        {"CHF", "CHF", 1.0},
    };
    PageServer server(true);
    for (const Case& c : cases) {
        EcbRates ecb;
        ecb.SetSourceCurrency(c.source);
        ecb.SetTargetCurrency(c.target);
        ASSERT_TRUE(ecb.Run()) << c.source << c.target;
        EXPECT_DOUBLE_EQ(ecb.GetRate(), c.rate) << c.source << c.target;
        EXPECT_EQ(ecb.GetParameter("Date"), "2026-09-21");
    }
    LogCapture log;
    EcbRates unknown;
    unknown.SetSourceCurrency("USD");
    unknown.SetTargetCurrency("XYZ");
    EXPECT_FALSE(unknown.Run());
    EXPECT_THAT(LinesFrom(log, "EcbRates::"),
                ElementsAre("ERROR - EcbRates::Run() - [USD->XYZ] no reference rate for XYZ"));
    EXPECT_EQ(server.Requests("ECB Reference Rates").size(), 1u);
    EXPECT_EQ(server.Heads("ECB Reference Rates").at(0).accept, "text/xml");
}

TEST_F(WebSourcesTest, AutomaticCurrencyAsksYahooThenTheEcb) {
    PageServer server(true);
    AutomaticCurrency fromYahoo;
    fromYahoo.SetSourceCurrency("EUR");
    fromYahoo.SetTargetCurrency("USD");
    ASSERT_TRUE(fromYahoo.Run());
    EXPECT_EQ(fromYahoo.GetParameter("Rate"), "1.1534");
    EXPECT_EQ(fromYahoo.GetParameter("Source"), "Yahoo Finance Chart");

    AutomaticCurrency fromEcb; // Yahoo has no USDJPY=X fixture: 404
    fromEcb.SetSourceCurrency("USD");
    fromEcb.SetTargetCurrency("JPY");
    ASSERT_TRUE(fromEcb.Run());
    EXPECT_DOUBLE_EQ(fromEcb.GetRate(), 171.42 / 1.1534);
    EXPECT_EQ(fromEcb.GetParameter("Source"), "ECB Reference Rates");
}

TEST_F(WebSourcesTest, SymbolSearchListsCandidates) {
    PageServer server(true);
    std::vector<SymbolSearch::Candidate> found;
    std::string reason;
    ASSERT_TRUE(SymbolSearch::Find("apple", found, reason)) << reason;
    ASSERT_EQ(found.size(), 2u) << "the entry without a symbol is left out";
    EXPECT_EQ(found[0].symbol, "AAPL");
    EXPECT_EQ(found[0].name, "Apple Inc.");
    EXPECT_EQ(found[0].exchange, "NASDAQ");
    EXPECT_EQ(found[0].type, "Equity");
    EXPECT_EQ(found[1].symbol, "APC.DE");
    EXPECT_EQ(found[1].name, "APPLE INC") << "no long name: the short one";

    ASSERT_TRUE(SymbolSearch::Find("zzqqy", found, reason));
    EXPECT_THAT(found, IsEmpty());
    EXPECT_FALSE(SymbolSearch::Find("no such route", found, reason));
    EXPECT_THAT(reason, HasSubstr("404"));
    EXPECT_THAT(server.Requests("Yahoo Finance Chart"),
                ElementsAre("/v1/finance/search?q=apple&quotesCount=10&newsCount=0",
                            "/v1/finance/search?q=zzqqy&quotesCount=10&newsCount=0",
                            "/v1/finance/search?q=no%20such%20route&quotesCount=10&newsCount=0"));
}

// The proxies we support speak plain http: an https service is reached directly, a service the
// hosts send to plain http goes through the proxy like the quote pages.
TEST_F(WebSourcesTest, OnlyPlainHttpGoesThroughTheProxy) {
    ScopedEnv noProxy("no_proxy", std::nullopt);
    ScopedEnv noProxyUpper("NO_PROXY", std::nullopt);
    for (bool tls : {true, false}) {
        PageServer server(tls);
        // The Yahoo Finance port serves as the proxy: it records the absolute request target.
        ScopedEnv proxy("http_proxy", "http://127.0.0.1:" + std::to_string(server.Port("Yahoo Finance")));
        YahooChart chart;
        chart.SetSymbol("MSFT");
        ServiceProxy::Apply(chart, YahooChart::kName);
        EXPECT_EQ(chart.GetProxyHost(), "127.0.0.1");
        chart.Run();
        const std::string absolute = "http://127.0.0.1:" + std::to_string(server.Port("Yahoo Finance Chart")) +
                                     "/v8/finance/chart/MSFT?range=1d&interval=1d";
        if (tls) {
            EXPECT_TRUE(chart.HasParameter("LastTrade"));
            EXPECT_THAT(server.Requests("Yahoo Finance"), IsEmpty());
            EXPECT_EQ(server.Requests("Yahoo Finance Chart").size(), 1u);
        } else {
            EXPECT_THAT(server.Requests("Yahoo Finance"), ElementsAre(absolute));
        }
    }
}

// The readers on their own: bodies of the wrong shape are failures, never exceptions.
TEST(WebReadersTest, BodiesOfAnotherShapeFail) {
    const char* const bodies[] = {
        "",
        "<html><body>Service Unavailable</body></html>",
        "null",
        "[]",
        "{\"chart\":{\"result\":[{\"meta\":{\"regularMarketPrice\":\"415.26\"}}],\"error\":null}}",
        "{\"chart\":{\"result\":[7],\"error\":null}}",
        "{\"chart\":{\"result\":null,\"error\":{\"code\":5}}}",
        "{\"securities\":{\"columns\":\"SECID\",\"data\":[[\"SBER\"]]}}",
        "{\"securities\":{\"columns\":[\"SECID\",\"LAST\"],\"data\":[[\"SBER\"],\"x\",[1,\"287\"]]}}",
        "{\"quotes\":{\"symbol\":\"AAPL\"}}",
        "{\"chart\":{\"result\":[{\"meta\":{\"regularMarketPrice\":1e999}}]}}",
    };
    for (const char* body : bodies) {
        std::string reason;
        YahooChart chart;
        chart.SetSymbol("X");
        EXPECT_FALSE(chart.ReadAnswer(body, reason)) << body;
        EXPECT_FALSE(reason.empty());
        MoscowExchange moscow;
        moscow.SetSymbol("X");
        EXPECT_FALSE(moscow.ReadAnswer(body, reason)) << body;
        std::vector<SymbolSearch::Candidate> candidates;
        EXPECT_FALSE(SymbolSearch::ReadAnswer(body, candidates, reason)) << body;
        EcbRates ecb;
        ecb.SetSourceCurrency("USD");
        ecb.SetTargetCurrency("EUR");
        EXPECT_FALSE(ecb.ReadAnswer(body, reason)) << body;
        AmfiNav amfi;
        amfi.SetSymbol("122639");
        EXPECT_FALSE(amfi.ReadAnswer(body, reason)) << body;
    }
}

TEST(WebReadersTest, AmfiRowsReadWithOrWithoutBomAndCarriageReturns) {
    const char* const files[] = {
        "122639;INF879O01027;-;Parag Parikh Flexi Cap Fund;92.4871;19-Sep-2026",
        "\xEF\xBB\xBF"
        "122639;INF879O01027;-;Parag Parikh Flexi Cap Fund;92.4871;19-Sep-2026\r\n",
        "Scheme Code;A;B;C;D;E;F;G\r\n122639;INF879O01027;-;Parag Parikh Flexi Cap Fund;;;92.4871;19-Sep-2026\r\n",
    };
    for (const char* file : files) {
        AmfiNav amfi;
        amfi.SetSymbol("122639");
        std::string reason;
        ASSERT_TRUE(amfi.ReadAnswer(file, reason)) << file;
        EXPECT_EQ(amfi.GetCompanyName(), "Parag Parikh Flexi Cap Fund");
        EXPECT_EQ(amfi.GetParameter("LastTrade"), "92.4871");
        EXPECT_EQ(amfi.GetParameter("LastTradeTime"), "2026-09-19");
    }
}

} // namespace
} // namespace quillory::test
