#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "PageServer.h"
#include "SourceLog.h"
#include "TestSupport.h"
#include "sources/MsnMoneyUk.h"

namespace quillory::test {
namespace {

using ::testing::ElementsAre;

TEST(MsnMoneyUkTest, FundPriceFollowsNetAssetValueEvenAfterAnEarlierBreak) {
    PageServer server;
    MsnMoneyUk source;
    source.SetSymbol("ACMEF");

    ASSERT_TRUE(source.Run());
    EXPECT_EQ(source.GetCompanyName(), "Acme UK Growth Fund Acc");
    EXPECT_EQ(source.GetParameter("LastTrade"), "1234.56");
    EXPECT_EQ(source.GetParameter("Change"), "3.1");
}

TEST(MsnMoneyUkTest, UnreadablePriceIsZeroAndMissingChangeIsOnlyLogged) {
    PageServer server;
    LogCapture log;
    MsnMoneyUk source;
    source.SetSymbol("SUSP");

    ASSERT_TRUE(source.Run());
    EXPECT_EQ(source.GetCompanyName(), "Suspended Holdings PLC");
    EXPECT_EQ(source.GetParameter("LastTrade"), "0");
    EXPECT_FALSE(source.HasParameter("Change"));
    EXPECT_THAT(LinesFrom(log, "MsnMoneyUk::"),
                ElementsAre("ERROR - MsnMoneyUk::FindChange() - Did not find span tag!"));
}

TEST(MsnMoneyUkTest, Failures) {
    PageServer server;
    {
        LogCapture log;
        MsnMoneyUk source;
        EXPECT_FALSE(source.Run());
        EXPECT_THAT(LinesFrom(log, "MsnMoneyUk::"), ElementsAre("ERROR - MsnMoneyUk::Run() - Missing symbol!"));
    }
    {
        LogCapture log;
        MsnMoneyUk source;
        source.SetSymbol("NOSUCH"); // the service's 404 answer is a failed download, not a page
        EXPECT_FALSE(source.Run());
        EXPECT_THAT(LinesFrom(log, "MsnMoneyUk::"),
                    ElementsAre("ERROR - MsnMoneyUk::Run() - Failed to retrieve page!"));
    }
    {
        ScopedEnv hosts("QUILLORY_HOSTS", DeadHost("MSN Money UK"));
        LogCapture log;
        MsnMoneyUk source;
        source.SetSymbol("VOD");
        EXPECT_FALSE(source.Run());
        EXPECT_THAT(LinesFrom(log, "MsnMoneyUk::"),
                    ElementsAre("ERROR - MsnMoneyUk::Run() - Failed to retrieve page!"));
    }
}

} // namespace
} // namespace quillory::test
