#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "PageServer.h"
#include "SourceLog.h"
#include "TestSupport.h"
#include "foundation/Exception.h"
#include "sources/Finam.h"

namespace quillory::test {
namespace {

using ::testing::ElementsAre;

const char* const list1 = "/analysis/quoteonline00001/default.asp";
const char* const list2 = "/analysis/quoteonline0000100001/default.asp";
const char* const list3 = "/analysis/quoteonline000010001D/default.asp";
const char* const list4 = "/analysis/quoteonline0000100002/default.asp";
const char* const list5 = "/analysis/quoteonline000010000C/default.asp";

TEST(FinamTest, FourDigitCodeAndPriceWithThousandsBlank) {
    PageServer server;
    Finam source;
    source.SetSymbol("LKOH");

    // Blanks group the thousands: "1 234,5" is 1234.5, not 1.
    ASSERT_TRUE(source.Run());
    EXPECT_THAT(server.Requests("Finam"), ElementsAre(list1, "/analysis/quoteonline00003004D2/default.asp"));
    EXPECT_EQ(source.GetCompanyName(), "Lukoil & Co");
    EXPECT_EQ(source.GetParameter("LastTrade"), "1234.5");
    EXPECT_EQ(source.GetCurrency(), "RUB");
}

TEST(FinamTest, SymbolOnNoListRequestsNoQuotePage) {
    PageServer server;
    LogCapture log;
    Finam source;
    source.SetSymbol("NOSUCH");

    EXPECT_FALSE(source.Run());
    EXPECT_THAT(server.Requests("Finam"), ElementsAre(list1, list2, list3, list4, list5));
    EXPECT_THAT(LinesFrom(log, "Finam::"),
                ElementsAre("ERROR - Finam::Run() - Code for the symbol [NOSUCH] was not found!"));
}

TEST(FinamTest, OtherFailures) {
    struct Case {
        const char* symbol;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {"ERROR - Finam::Run() - Symbol parameter does not exist!"}},
        // Code 8 is found, but the service has no quote page for it: its 404 is a failed download.
        {"ROSN", {"ERROR - Finam::Run() - Failed to get a page for the code was not found!"}},
    };
    PageServer server;
    for (const Case& c : cases) {
        LogCapture log;
        Finam source;
        source.SetSymbol(c.symbol);
        EXPECT_FALSE(source.Run()) << c.symbol;
        EXPECT_EQ(LinesFrom(log, "Finam::"), c.lines) << c.symbol;
    }
}

TEST(FinamTest, SymbolAmongFirstTokensOfAListThrowsOutOfRun) {
    PageServer server;
    Finam source;
    source.SetSymbol("EARLY");
    EXPECT_THROW(source.Run(), XMLException);
}

} // namespace
} // namespace quillory::test
