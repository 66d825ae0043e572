// One good quote from every quote-page, exchange and fund-list source, made by its display name through
// the factory and fetched from its fixture page over HTTP. Each source's failures and odd pages stay in
// its own test file.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "PageServer.h"
#include "TestSupport.h"
#include "sources/DataExtractorFactory.h"
#include "sources/StockDataExtractor.h"

namespace quillory::test {
namespace {

struct HappyPath {
    const char* displayName;
    const char* symbol;
    // The request targets the service's server saw, in order.
    std::vector<std::string> requests;
    // Every parameter after the run, in the order the source set them, with its exact text.
    std::vector<DataExtractor::Parameter> parameters;
    // Parameters the page must not give (also covered by the whole list; named for the reader).
    std::vector<std::string> absent;
    // The whole log of the run: a good run logs no error from any layer.
    std::vector<std::string> log;
};

void PrintTo(const HappyPath& row, std::ostream* os) {
    *os << row.displayName << " [" << row.symbol << "]";
}

const HappyPath happyPaths[] = {
    {"Yahoo Finance",
     "IBM",
     {"/q?s=IBM"},
     {{"Symbol", "IBM"},
      {"CompanyName", "Intl Business Machines & Co"},
      {"LastTrade", "121.5"},
      {"LastTradeTime", "Nov 20 4:00PM EST"},
      {"Change", "-0.48"}},
     {},
     {"YahooStock::Run() - Successfully downloaded quote for [IBM]"}},
    // The heading holds a tag; the name is found by "Name (VOD.L)" further down. Prices stay in pence.
    {"Yahoo Finance UK",
     "VOD.L",
     {"/q?s=VOD.L"},
     {{"Symbol", "VOD.L"},
      {"CompanyName", "Vodafone Group & Co"},
      {"LastTrade", "215.5"},
      {"LastTradeTime", "16:35"},
      {"Change", "-1.25"}},
     {},
     {"YahooFinanceUk::Run() - Successfully downloaded quote for [VOD.L]"}},
    // The menu's "Price" link comes first, but "Price:" is the first label tried. The price is read from
    // "1,234.56 (2.5%)" and the page's RUR is RUB.
    {"Russian Trade System",
     "GAZP",
     {"/en/securityresults.html?code=GAZP"},
     {{"Symbol", "GAZP"},
      {"CompanyName", "OAO Gazprom"},
      {"LastTrade", "1234.56"},
      {"Currency", "RUB"},
      {"LastTradeTime", "01.03.2026 18:45"},
      {"ChangePercent", "+2.5%"}},
     {"NotTraded"},
     {}},
    // Digits ask for the summary page, other symbols for the current quote.
    {"India Times",
     "13215",
     {"/summary.cms?companyID=13215"},
     {{"Symbol", "13215"}, {"CompanyName", "Reliance Industries Ltd."}, {"LastTrade", "2412.35"}, {"Change", "-18.4"}},
     {},
     {}},
    {"India Times",
     "INFY",
     {"/currentquote.cms?ticker=INFY&pagenumber=0&pagesize=30&matchcompanyname=false&Submit=+Go+"},
     {{"Symbol", "INFY"}, {"CompanyName", "Infosys Ltd"}, {"LastTrade", "1456.2"}, {"Change", "12.05"}},
     {},
     {}},
    {"AMFI India",
     "120",
     {"/spages/NAV0.txt"},
     {{"Symbol", "120"}, {"CompanyName", "Beta Bond Fund - Direct Plan"}, {"LastTrade", "1023.0051"}},
     {},
     {}},
    // The page has an "s1" span before the heading too; the price search starts at the name.
    {"Money Central",
     "MSFT",
     {"/detail/stock_quote?Symbol=MSFT"},
     {{"Symbol", "MSFT"}, {"CompanyName", "Microsoft Corporation"}, {"LastTrade", "1027.35"}, {"Change", "-0.42"}},
     {},
     {}},
    // "&nbsp;" in the name becomes a blank and "(NASDAQ:ACME)" is cut off.
    {"Google Finance",
     "NASDAQ:ACME",
     {"/finance?q=NASDAQ%3AACME"},
     {{"Symbol", "NASDAQ:ACME"}, {"CompanyName", "Acme Corp"}, {"LastTrade", "1234.56"}, {"Change", "-1012.75"}},
     {"NotTraded"},
     {}},
    // Entered in lower case with blanks around; the table has upper case. The row carries the doubled quote
    // after "return false;" that would otherwise swallow its name and symbol cells. 1.234,56 is 1234.56.
    {"Zagreb Stock Exchange",
     " zmm ",
     {"/main.aspx?id=18"},
     {{"Symbol", " zmm "}, {"CompanyName", "Zagreb Money Market"}, {"LastTrade", "1234.56"}, {"Currency", "HRK"}},
     {},
     {}},
    // A share asks for the London symbol; the price follows the break in "Last&nbsp;215.50".
    {"MSN Money UK",
     "VOD",
     {"/investor/quotes/quotes.aspx?symbol=GB%3AVOD"},
     {{"Symbol", "VOD"},
      {"CompanyName", "Vodafone Group PLC & Subsidiaries"},
      {"LastTrade", "215.5"},
      {"Change", "-1002.25"}},
     {},
     {}},
    // The symbol in front of the name is dropped; the escaped symbol is only used for the request.
    {"Bloomberg",
     "IBM:US",
     {"/apps/quote?ticker=IBM%3AUS"},
     {{"Symbol", "IBM:US"},
      {"CompanyName", "International Business Machines Corp & Co"},
      {"LastTrade", "1234.5"},
      {"Change", "-2.25"}},
     {},
     {"Bloomberg::Run() - Successfully downloaded quote for [IBM:US]"}},
    // Lower case on our side, upper case on the page. The second list mentions the symbol first outside a
    // code row (and then in a row with another code): only that first mention counts there. The code is
    // found on the third list, and its quote page is named in hex.
    {"Finam",
     "gazp",
     {"/analysis/quoteonline00001/default.asp", "/analysis/quoteonline0000100001/default.asp",
      "/analysis/quoteonline000010001D/default.asp", "/analysis/quoteonline000030001E/default.asp"},
     {{"Symbol", "gazp"}, {"CompanyName", "Gazprom ao"}, {"LastTrade", "123.45"}, {"Currency", "RUB"}},
     {},
     {}},
};

class SourceHappyPathsTest : public testing::TestWithParam<HappyPath> {
protected:
    PageServer server;
    LogCapture log;
};

TEST_P(SourceHappyPathsTest, ReadsTheQuote) {
    const HappyPath& row = GetParam();
    std::unique_ptr<StockDataExtractor> source = DataExtractorFactory::CreateStockDataExtractor(row.displayName);
    ASSERT_NE(source, nullptr);
    source->SetSymbol(row.symbol);

    ASSERT_TRUE(source->Run());
    EXPECT_EQ(server.Requests(row.displayName), row.requests);
    EXPECT_EQ(source->GetParameters(), row.parameters);
    for (const std::string& name : row.absent)
        EXPECT_FALSE(source->HasParameter(name)) << name;
    // The typed getters read the same texts back.
    if (source->HasParameter("LastTrade")) {
        EXPECT_EQ(source->GetLastTrade(), std::strtod(source->GetParameter("LastTrade").c_str(), nullptr));
    }
    if (source->HasParameter("Change")) {
        EXPECT_EQ(source->GetChange(), std::strtod(source->GetParameter("Change").c_str(), nullptr));
    }
    EXPECT_EQ(log.Texts(), row.log);
}

std::string CaseName(const testing::TestParamInfo<HappyPath>& info) {
    std::string name;
    for (const char* part : {info.param.displayName, "_", info.param.symbol})
        for (const char* c = part; *c != '\0'; ++c)
            if (std::isalnum(static_cast<unsigned char>(*c)) || *c == '_')
                name += *c;
    return name;
}

INSTANTIATE_TEST_SUITE_P(EverySource, SourceHappyPathsTest, testing::ValuesIn(happyPaths), CaseName);

} // namespace
} // namespace quillory::test
