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
    for (const auto& args :
         {std::vector<std::string>{"IBM"}, std::vector<std::string>{"--source", "Yahoo Finance", "IBM"}}) {
        ProgramResult r = Quote(args);
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
        {{"NOTRADE"}, 1, "YahooStock::Run() - Error finding last trade!"},
        {{"CUT"}, 1, "Invalid index!"}, // an error that escapes the source
        {{"--source", "yahoo finance", "IBM"},
         2,
         "DataExtractorFactory::CreateStockDataExtractor() - Unknown data extractor name - [yahoo finance]"},
        {{}, 2, "a symbol is needed"},
        {{"IBM", "MSFT"}, 2, "only one symbol"},
        {{"--bogus", "IBM"}, 2, "unknown option --bogus"},
        {{"--currency", "GBP"}, 2, "--currency needs two currency codes"},
        {{"--search", "IBM", "--source", "Bloomberg"}, 2, "takes no further arguments"},
        {{"--search", "  "}, 2, "You need to enter valid symbol first!"},
    };
    for (const Case& c : cases) {
        ProgramResult r = Quote(c.args);
        std::string shown = c.args.empty() ? "(no arguments)" : c.args.front();
        EXPECT_EQ(r.exitCode, c.exitCode) << shown << "\n" << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << shown << "\n" << r.err;
    }
    ProgramResult partial = Quote({"NOTRADE"});
    EXPECT_EQ(partial.out, "Symbol=[NOTRADE]\r\nCompanyName=[Halted Holdings Inc]\r\n")
        << "a failed run still shows how far it got";
    EXPECT_EQ(Quote({"CUT"}).out, "");
}

TEST_F(QuoteCommandTest, ListsSourcesAndHelp) {
    ProgramResult list = Quote({"--list-sources"});
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(list.out, "Yahoo Finance\nRussian Trade System\nIndia Times\nAMFI India\nMoney Central\nGoogle Finance\n"
                        "Yahoo Finance UK\nZagreb Stock Exchange\nMSN Money UK\nBloomberg\nFinam\n");
    ProgramResult help = Quote({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("quillory-quote --currency SRC TGT"), std::string::npos);
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
    ProgramResult r = Quote({"--currency", "GBP", "USD"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "SourceCurrency=[GBP]\r\nTargetCurrency=[USD]\r\nRate=[2]\r\n");
    ProgramResult missing = Quote({"--currency", "GBP", "CHF"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("YahooCurrency::Run() - Failed to retrieve investment currency!"), std::string::npos);
}

TEST_F(QuoteCommandTest, HonoursTheHttpProxy) {
    test::ScopedEnv hosts("QUILLORY_HOSTS", std::nullopt);
    test::ScopedEnv viaProxy("http_proxy", "http://127.0.0.1:" + std::to_string(server.Port("Yahoo Finance")));
    test::ScopedEnv noProxy("no_proxy", std::nullopt);
    test::ScopedEnv noProxyUpper("NO_PROXY", std::nullopt);
    ProgramResult r = Quote({"IBM"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(server.Requests("Yahoo Finance"), std::vector<std::string>{"http://finance.yahoo.com/q?s=IBM"});

    // A host in no_proxy is reached directly: here a local port where nothing listens.
    server.ClearRequests();
    test::ScopedEnv closed("QUILLORY_HOSTS", "Yahoo Finance=127.0.0.1:1");
    test::ScopedEnv bypass("no_proxy", "127.0.0.1");
    ProgramResult direct = Quote({"IBM"});
    EXPECT_EQ(direct.exitCode, 1);
    EXPECT_NE(direct.err.find("YahooStock::Run() - Error downloading page!"), std::string::npos) << direct.err;
    EXPECT_TRUE(server.Requests("Yahoo Finance").empty());
}

} // namespace
} // namespace quillory
