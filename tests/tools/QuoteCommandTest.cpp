#include <gtest/gtest.h>

#include "PageServer.h"
#include "TestSupport.h"

namespace quillory {
namespace {

using test::ProgramResult;

class QuoteCommandTest : public testing::Test {
protected:
    test::PageServer server; // also points QUILLORY_HOSTS, which the program inherits, at itself
    test::ScopedEnv proxy{"http_proxy", std::nullopt};
    test::ScopedEnv proxyUpper{"HTTP_PROXY", std::nullopt};

    static ProgramResult Quote(std::vector<std::string> args) {
        args.insert(args.begin(), QUILLORY_QUOTE_PROGRAM);
        return test::RunProgram(args);
    }
};

TEST_F(QuoteCommandTest, RunsOneSourceAndPrintsItsParameters) {
    const std::string dump = "Symbol=[IBM]\r\nCompanyName=[Intl Business Machines & Co]\r\nLastTrade=[121.5]\r\n"
                             "LastTradeTime=[Nov 20 4:00PM EST]\r\nChange=[-0.48]\r\n";
    {
        ProgramResult r = Quote({"--source", "Yahoo Finance", "IBM"});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, dump) << "log lines stay off standard output";
        EXPECT_NE(r.err.find("YahooStock::Run() - Successfully downloaded quote for [IBM]"), std::string::npos)
            << r.err;
    }
    ProgramResult uk = Quote({"--source", "Yahoo Finance UK", "BARC.L"});
    EXPECT_EQ(uk.exitCode, 0) << uk.err;
    EXPECT_NE(uk.out.find("CompanyName=[Barclays PLC]\r\n"), std::string::npos) << uk.out;
}

TEST_F(QuoteCommandTest, ExitStatusTellsWhatHappened) {
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* err; // a part of standard error
    } cases[] = {
        {{"--source", "Yahoo Finance", "NOTRADE"}, 1, "YahooStock::Run() - Error finding last trade!"},
        {{"--source", "Yahoo Finance", "CUT"}, 1, "Invalid index!"}, // an error that escapes the source
        {{"--source", "yahoo finance", "IBM"},
         2,
         "DataExtractorFactory::CreateStockDataExtractor() - Unknown data extractor name - [yahoo finance]"},
        {{}, 2, "a symbol is needed"},
        {{"IBM", "MSFT"}, 2, "only one symbol"},
        {{"--bogus", "IBM"}, 2, "unknown option --bogus"},
        {{"--currency", "GBP"}, 2, "--currency needs two currency codes"},
        {{"--search", "IBM", "--source", "Bloomberg"}, 2, "takes no further arguments"},
        {{"--search", "  "}, 2, "You need to enter valid symbol first!"},
        {{"--find"}, 2, "--find needs a text"},
        {{"--find", "apple", "--source", "Bloomberg"}, 2, "takes no further arguments"},
        {{"--check-sources", "MSFT"}, 2, "takes no further arguments"},
        {{"--currency", "USD", "EUR", "--source", "Yahoo Finance"},
         2,
         "CreateCurrencyDataExtractor() - Unknown data extractor name - [Yahoo Finance]"},
    };
    for (const Case& c : cases) {
        ProgramResult r = Quote(c.args);
        std::string shown = c.args.empty() ? "(no arguments)" : c.args.front();
        EXPECT_EQ(r.exitCode, c.exitCode) << shown << "\n" << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << shown << "\n" << r.err;
    }
    ProgramResult partial = Quote({"--source", "Yahoo Finance", "NOTRADE"});
    EXPECT_EQ(partial.out, "Symbol=[NOTRADE]\r\nCompanyName=[Halted Holdings Inc]\r\n")
        << "a failed run still shows how far it got";
    EXPECT_EQ(Quote({"--source", "Yahoo Finance", "CUT"}).out, "");
}

TEST_F(QuoteCommandTest, ListsSourcesAndHelp) {
    ProgramResult list = Quote({"--list-sources"});
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(list.out, "Yahoo Finance\nRussian Trade System\nIndia Times\nAMFI India\nMoney Central\nGoogle Finance\n"
                        "Yahoo Finance UK\nZagreb Stock Exchange\nMSN Money UK\nBloomberg\nFinam\n"
                        "Automatic\nYahoo Finance Chart\nMoscow Exchange\nAMFI India NAV\n");
    ProgramResult help = Quote({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("quillory-quote [--source NAME] --currency SRC TGT"), std::string::npos);
    EXPECT_NE(help.out.find("quillory-quote --check-sources"), std::string::npos);
}

TEST_F(QuoteCommandTest, SearchEndsOnTheFirstSourceInByteOrderThatKnowsTheName) {
    // Only the UK page knows BARC.L; every source before it in byte order fails first.
    ProgramResult found = Quote({"--search", " BARC.L "});
    EXPECT_EQ(found.exitCode, 0) << found.err;
    EXPECT_EQ(found.out.rfind("Source=[Yahoo Finance UK]\r\nSymbol=[BARC.L]\r\nCompanyName=[Barclays PLC]\r\n", 0), 0u)
        << found.out;
    EXPECT_EQ(server.Requests("Yahoo Finance"), std::vector<std::string>{"/q?s=BARC.L"});

    ProgramResult none = Quote({"--search", "ZZZZ"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("None of the existing data sources could find a name for ZZZZ!"), std::string::npos);
}

TEST_F(QuoteCommandTest, CurrencyRate) {
    ProgramResult r = Quote({"--source", "Yahoo Currency", "--currency", "GBP", "USD"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "SourceCurrency=[GBP]\r\nTargetCurrency=[USD]\r\nRate=[2]\r\n");
    ProgramResult missing = Quote({"--currency", "GBP", "CHF", "--source", "Yahoo Currency"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("YahooCurrency::Run() - Failed to retrieve investment currency!"), std::string::npos);
}

TEST_F(QuoteCommandTest, HonoursTheHttpProxy) {
    test::ScopedEnv hosts("QUILLORY_HOSTS", std::nullopt);
    test::ScopedEnv viaProxy("http_proxy", "http://127.0.0.1:" + std::to_string(server.Port("Yahoo Finance")));
    test::ScopedEnv noProxy("no_proxy", std::nullopt);
    test::ScopedEnv noProxyUpper("NO_PROXY", std::nullopt);
    ProgramResult r = Quote({"--source", "Yahoo Finance", "IBM"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(server.Requests("Yahoo Finance"), std::vector<std::string>{"http://finance.yahoo.com/q?s=IBM"});

    // A host in no_proxy is reached directly: here a local port where nothing listens.
    server.ClearRequests();
    test::ScopedEnv closed("QUILLORY_HOSTS", "Yahoo Finance=127.0.0.1:1");
    test::ScopedEnv bypass("no_proxy", "127.0.0.1");
    ProgramResult direct = Quote({"--source", "Yahoo Finance", "IBM"});
    EXPECT_EQ(direct.exitCode, 1);
    EXPECT_NE(direct.err.find("YahooStock::Run() - Error downloading page!"), std::string::npos) << direct.err;
    EXPECT_TRUE(server.Requests("Yahoo Finance").empty());
}

TEST_F(QuoteCommandTest, TodaysSourcesByNameAndAutomaticByDefault) {
    struct Case {
        std::vector<std::string> args;
        const char* out;
    } cases[] = {
        {{"MSFT"},
         "Symbol=[MSFT]\r\nCompanyName=[Microsoft Corporation]\r\nLastTrade=[415.26]\r\nChange=[5.14]\r\n"
         "ChangePercent=[1.2533]\r\nCurrency=[USD]\r\nLastTradeTime=[2026-09-18T16:00:00-04:00]\r\n"
         "Source=[Yahoo Finance Chart]\r\n"},
        {{"--source", "Yahoo Finance Chart", "^GSPC"},
         "Symbol=[^GSPC]\r\nCompanyName=[S&P 500]\r\nLastTrade=[4015]\r\nChange=[14.5]\r\nChangePercent=[0.3625]\r\n"
         "Currency=[USD]\r\nLastTradeTime=[2026-09-18T16:13:02-04:00]\r\n"},
        {{"--source", "Moscow Exchange", "GAZP"},
         "Symbol=[GAZP]\r\nCompanyName=[\xD0\x93\xD0\xB0\xD0\xB7\xD0\xBF\xD1\x80\xD0\xBE\xD0\xBC "
         "\xD0\x9F\xD0\x90\xD0\x9E \xD0\xB0\xD0\xBE]\r\nLastTrade=[131.2]\r\nChange=[1.2]\r\n"
         "ChangePercent=[0.9231]\r\nCurrency=[RUB]\r\n"},
        {{"--source", "AMFI India NAV", "118955"},
         "Symbol=[118955]\r\nCompanyName=[HDFC Flexi Cap Fund - Direct Plan - Growth]\r\nLastTrade=[2011.732]\r\n"
         "Currency=[INR]\r\nLastTradeTime=[2026-09-21]\r\n"},
        {{"SBER"},
         "Symbol=[SBER]\r\nCompanyName=[\xD0\xA1\xD0\xB1\xD0\xB5\xD1\x80\xD0\xB1\xD0\xB0\xD0\xBD\xD0\xBA]\r\n"
         "LastTrade=[287.15]\r\nChange=[1.65]\r\nChangePercent=[0.5779]\r\nCurrency=[RUB]\r\n"
         "Source=[Moscow Exchange]\r\n"},
        {{"--currency", "EUR", "USD"},
         "SourceCurrency=[EUR]\r\nTargetCurrency=[USD]\r\nRate=[1.1534]\r\nSource=[Yahoo Finance Chart]\r\n"},
        {{"--source", "ECB Reference Rates", "--currency", "EUR", "GBP"},
         "SourceCurrency=[EUR]\r\nTargetCurrency=[GBP]\r\nRate=[0.86675]\r\nDate=[2026-09-21]\r\n"},
    };
    for (const Case& c : cases) {
        ProgramResult r = Quote(c.args);
        EXPECT_EQ(r.exitCode, 0) << c.args.back() << "\n" << r.err;
        EXPECT_EQ(r.out, c.out) << c.args.back();
    }
    // No Yahoo pair page for USD in JPY: the ECB's cross rate.
    ProgramResult cross = Quote({"--currency", "USD", "JPY"});
    EXPECT_EQ(cross.exitCode, 0) << cross.err;
    EXPECT_NE(cross.out.find("Source=[ECB Reference Rates]\r\n"), std::string::npos) << cross.out;

    ProgramResult none = Quote({"NOSUCH"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.err.find("Automatic::Run() - No source could quote [NOSUCH]: Yahoo Finance Chart: No data found, "
                            "symbol may be delisted; Moscow Exchange: unknown security"),
              std::string::npos)
        << none.err;
}

TEST_F(QuoteCommandTest, FindPrintsCandidatesTabSeparated) {
    ProgramResult r = Quote({"--find", "apple"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "AAPL\tApple Inc.\tNASDAQ\tEquity\nAPC.DE\tAPPLE INC\tXETRA\tEquity\n");
    ProgramResult none = Quote({"--find", "zzqqy"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.out, "");
}

TEST_F(QuoteCommandTest, CheckSourcesPrintsATableAndFailsCleanly) {
    ProgramResult r = Quote({"--check-sources"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Source ", 0), 0u) << r.out;
    for (const char* part : {"Yahoo Finance Chart   MSFT      415.26 USD (Microsoft Corporation)",
                             "Moscow Exchange       SBER      287.15 RUB",
                             "AMFI India NAV        122639    92.4871 INR", "ECB Reference Rates   USD->EUR  0.867"})
        EXPECT_NE(r.out.find(part), std::string::npos) << part << "\n" << r.out;

    // Every service unreachable: four failed rows and exit status 1.
    test::ScopedEnv dead("QUILLORY_HOSTS", "Yahoo Finance Chart=127.0.0.1:1;Moscow Exchange=127.0.0.1:1;"
                                           "AMFI India NAV=127.0.0.1:1;ECB Reference Rates=127.0.0.1:1");
    ProgramResult failed = Quote({"--check-sources"});
    EXPECT_EQ(failed.exitCode, 1);
    size_t rows = 0;
    for (size_t at = failed.out.find("failed: "); at != std::string::npos; at = failed.out.find("failed: ", at + 1))
        ++rows;
    EXPECT_EQ(rows, 4u) << failed.out;
}

} // namespace
} // namespace quillory
