#include <gtest/gtest.h>

#include <algorithm>

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
        {{"--format", "xml", "IBM"}, 2, "unknown format xml"},
        {{"IBM", "--format"}, 2, "--format needs text, json or tsv"},
        {{"--find", "apple", "--format", "json"}, 2, "takes no further arguments"},
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

TEST_F(QuoteCommandTest, SeveralSymbolsInEachFormatInTheOrderGiven) {
    const std::string msft = "Symbol=[MSFT]\r\nCompanyName=[Microsoft Corporation]\r\nLastTrade=[415.26]\r\n"
                             "Change=[5.14]\r\nChangePercent=[1.2533]\r\nCurrency=[USD]\r\n"
                             "LastTradeTime=[2026-09-18T16:00:00-04:00]\r\nSource=[Yahoo Finance Chart]\r\n";
    const std::string sber = "Symbol=[SBER]\r\nCompanyName=[\xD0\xA1\xD0\xB1\xD0\xB5\xD1\x80\xD0\xB1\xD0\xB0\xD0\xBD"
                             "\xD0\xBA]\r\nLastTrade=[287.15]\r\nChange=[1.65]\r\nChangePercent=[0.5779]\r\n"
                             "Currency=[RUB]\r\nSource=[Moscow Exchange]\r\n";
    const std::string why =
        "Yahoo Finance Chart: No data found, symbol may be delisted; Moscow Exchange: unknown security";
    struct Case {
        const char* format;
        std::string out;
    } cases[] = {
        // Each symbol's block as one symbol prints it, a blank line between them.
        {"text", msft + "\r\nSymbol=[NOSUCH]\r\n\r\n" + sber},
        {"json",
         "{\"symbol\":\"MSFT\",\"name\":\"Microsoft Corporation\",\"price\":415.26,\"change\":5.14,"
         "\"change_percent\":1.2533,\"currency\":\"USD\",\"source\":\"Yahoo Finance Chart\","
         "\"time\":\"2026-09-18T16:00:00-04:00\"}\n"
         "{\"symbol\":\"NOSUCH\",\"name\":null,\"price\":null,\"change\":null,\"change_percent\":null,"
         "\"currency\":null,\"source\":\"Automatic\",\"time\":null,\"error\":\"" +
             why +
             "\"}\n"
             "{\"symbol\":\"SBER\",\"name\":\"\xD0\xA1\xD0\xB1\xD0\xB5\xD1\x80\xD0\xB1\xD0\xB0\xD0\xBD\xD0\xBA\","
             "\"price\":287.15,\"change\":1.65,\"change_percent\":0.5779,\"currency\":\"RUB\","
             "\"source\":\"Moscow Exchange\",\"time\":null}\n"},
        {"tsv",
         "symbol\tname\tprice\tchange\tchange_percent\tcurrency\tsource\ttime\terror\n"
         "MSFT\tMicrosoft Corporation\t415.26\t5.14\t1.2533\tUSD\tYahoo Finance Chart\t"
         "2026-09-18T16:00:00-04:00\t\n"
         "NOSUCH\t\t\t\t\t\tAutomatic\t\t" +
             why +
             "\n"
             "SBER\t\xD0\xA1\xD0\xB1\xD0\xB5\xD1\x80\xD0\xB1\xD0\xB0\xD0\xBD\xD0\xBA\t287.15\t1.65\t0.5779\tRUB\t"
             "Moscow Exchange\t\t\n"},
    };
    for (const Case& c : cases) {
        ProgramResult r = Quote({"--format", c.format, "MSFT", "NOSUCH", "SBER"});
        EXPECT_EQ(r.exitCode, 1) << c.format << ": one symbol failed\n" << r.err;
        EXPECT_EQ(r.out, c.out) << c.format;
    }
    ProgramResult all = Quote({"--format=text", "SBER", "MSFT"});
    EXPECT_EQ(all.exitCode, 0) << all.err;
    EXPECT_EQ(all.out, sber + "\r\n" + msft);
}

TEST_F(QuoteCommandTest, FailedSymbolsKeepTheirPlace) {
    // CUT breaks off with an error: an empty text block, its error in the json line.
    std::vector<std::string> args = {"--source", "Yahoo Finance", "CUT", "NOTRADE", "IBM"};
    ProgramResult text = Quote(args);
    EXPECT_EQ(text.exitCode, 1);
    EXPECT_EQ(text.out, "\r\nSymbol=[NOTRADE]\r\nCompanyName=[Halted Holdings Inc]\r\n\r\nSymbol=[IBM]\r\n"
                        "CompanyName=[Intl Business Machines & Co]\r\nLastTrade=[121.5]\r\n"
                        "LastTradeTime=[Nov 20 4:00PM EST]\r\nChange=[-0.48]\r\n");
    EXPECT_NE(text.err.find("Invalid index!"), std::string::npos) << text.err;

    args.insert(args.begin(), {"--format", "json"});
    ProgramResult json = Quote(args);
    EXPECT_EQ(json.exitCode, 1);
    const char* nulls = "\"name\":null,\"price\":null,\"change\":null,\"change_percent\":null,\"currency\":null,"
                        "\"source\":\"Yahoo Finance\",\"time\":null,";
    EXPECT_EQ(json.out, std::string("{\"symbol\":\"CUT\",") + nulls +
                            "\"error\":\"Exception - XMLTag & XMLDoc::operator [] () - Invalid index!\"}\n"
                            "{\"symbol\":\"NOTRADE\"," +
                            nulls +
                            "\"error\":\"no quote found\"}\n"
                            "{\"symbol\":\"IBM\",\"name\":\"Intl Business Machines & Co\",\"price\":121.5,"
                            "\"change\":-0.48,\"change_percent\":null,\"currency\":null,\"source\":\"Yahoo Finance\","
                            "\"time\":\"Nov 20 4:00PM EST\"}\n");
}

TEST_F(QuoteCommandTest, AFieldNeverBreaksItsRowOrLine) {
    const std::string symbol = "A\tB\nC";
    ProgramResult tsv = Quote({"--format", "tsv", symbol});
    EXPECT_EQ(tsv.exitCode, 1);
    const size_t header = tsv.out.find('\n') + 1;
    const std::string row = tsv.out.substr(header);
    EXPECT_EQ(row.rfind("A B C\t\t\t\t\t\tAutomatic\t\t", 0), 0u) << row;
    EXPECT_EQ(std::count(row.begin(), row.end(), '\t'), 8) << row;
    EXPECT_EQ(std::count(row.begin(), row.end(), '\n'), 1) << row;

    ProgramResult json = Quote({"--format", "json", symbol});
    EXPECT_EQ(json.out.rfind("{\"symbol\":\"A\\tB\\nC\",", 0), 0u) << json.out;
    EXPECT_EQ(std::count(json.out.begin(), json.out.end(), '\n'), 1) << json.out;
}

TEST_F(QuoteCommandTest, OutputKeepsTheOrderGivenWhenTheFirstAnswersLast) {
    // The service holds SLOW's answer until it has answered MSFT (and gives up with a 504 when
    // MSFT never comes while SLOW waits): both downloads run at once, SLOW ends last.
    ProgramResult r = Quote({"--source", "Yahoo Finance Chart", "--format", "tsv", "SLOW", "MSFT"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "symbol\tname\tprice\tchange\tchange_percent\tcurrency\tsource\ttime\terror\n"
                     "SLOW\tSlowpoke Holdings AG\t12.5\t0.5\t4.1667\tEUR\tYahoo Finance Chart\t"
                     "2026-09-18T17:50:00+02:00\t\n"
                     "MSFT\tMicrosoft Corporation\t415.26\t5.14\t1.2533\tUSD\tYahoo Finance Chart\t"
                     "2026-09-18T16:00:00-04:00\t\n");
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
