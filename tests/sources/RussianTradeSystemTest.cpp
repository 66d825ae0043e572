#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "PageServer.h"
#include "SourceLog.h"
#include "TestSupport.h"
#include "sources/RussianTradeSystem.h"

namespace quillory::test {
namespace {

using ::testing::ElementsAre;

TEST(RussianTradeSystemTest, DashPriceIsNotTraded) {
    PageServer server;
    LogCapture log;
    RussianTradeSystem source;
    source.SetSymbol("LKOH");

    ASSERT_TRUE(source.Run());
    EXPECT_EQ(source.GetCompanyName(), "Lukoil");
    EXPECT_EQ(source.GetParameter("NotTraded"), "TRUE");
    EXPECT_EQ(source.GetParameter("LastTrade"), "0");
    EXPECT_EQ(source.GetCurrency(), "USD");
    // The optional rows are missing: logged, and the run still succeeds.
    EXPECT_THAT(LinesFrom(log, "RussianTradeSystem::"),
                ElementsAre("ERROR - RussianTradeSystem::FindLastTradeTime() - Date: text was not found!",
                            "ERROR - RussianTradeSystem::FindLastTradeTime() - Change, % last close: - text was not "
                            "found!"));
}

TEST(RussianTradeSystemTest, MissingCurrencyFailsAfterNameAndPrice) {
    PageServer server;
    LogCapture log;
    RussianTradeSystem source;
    source.SetSymbol("SBER");

    EXPECT_FALSE(source.Run());
    EXPECT_EQ(source.GetCompanyName(), "Sberbank");
    EXPECT_EQ(source.GetParameter("LastTrade"), "12345.6"); // from 12.345,6 under "ASK"
    EXPECT_THAT(LinesFrom(log, "RussianTradeSystem::"),
                ElementsAre("ERROR - RussianTradeSystem::FindLastTradeTime() - Currency: - text was not found!",
                            "ERROR - RussianTradeSystem::Run() - Error finding currency!"));
}

TEST(RussianTradeSystemTest, FailuresBeforeThePage) {
    PageServer server;
    {
        LogCapture log;
        RussianTradeSystem source;
        EXPECT_FALSE(source.Run());
        EXPECT_THAT(LinesFrom(log, "RussianTradeSystem::"),
                    ElementsAre("ERROR - RussianTradeSystem::Run() - Symbol parameter does not exist!"));
    }
    {
        ScopedEnv hosts("QUILLORY_HOSTS", DeadHost("Russian Trade System"));
        LogCapture log;
        RussianTradeSystem source;
        source.SetSymbol("GAZP");
        EXPECT_FALSE(source.Run());
        EXPECT_THAT(LinesFrom(log, "RussianTradeSystem::"),
                    ElementsAre("ERROR - RussianTradeSystem::Run() - RetrievePage failed!"));
    }
}

TEST(RussianTradeSystemTest, CleanPriceTakesTheLastSeparatorAsDecimalPoint) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"1 234,56", "1234.56"},
        {"1,234.56", "1234.56"},
        {"12.345,6", "12345.6"},
        {"1,234", "1.234"},
        {"1,234.56 (2.5%)", "1234.56"},
        {"-", "-"},
        {"100", "100"},
        {"(n/a)", ""},
    };
    for (const Case& c : cases) {
        std::string text = c.in;
        RussianTradeSystem::CleanPrice(text);
        EXPECT_EQ(text, c.out) << c.in;
    }
}

} // namespace
} // namespace quillory::test
