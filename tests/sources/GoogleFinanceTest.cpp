#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "PageServer.h"
#include "SourceLog.h"
#include "TestSupport.h"
#include "sources/GoogleFinance.h"

namespace quillory::test {
namespace {

using ::testing::ElementsAre;

TEST(GoogleFinanceTest, ServiceHeadingMeansUnknownSymbol) {
    PageServer server;
    LogCapture log;
    GoogleFinance source;
    source.SetSymbol("NOSUCH");

    EXPECT_FALSE(source.Run());
    EXPECT_THAT(LinesFrom(log, "GoogleFinance::"),
                ElementsAre("ERROR - GoogleFinance::FindName() - Investment name is not known to Google!"));
    EXPECT_FALSE(source.HasParameter("CompanyName"));
}

TEST(GoogleFinanceTest, PageWithoutPriceIsNotTraded) {
    PageServer server;
    LogCapture log;
    GoogleFinance source;
    source.SetSymbol("ACMEW");

    // Without the price span the change is read from the first text of the page (the title), giving 0.
    ASSERT_TRUE(source.Run());
    EXPECT_EQ(source.GetCompanyName(), "Acme Corp Warrants");
    EXPECT_EQ(source.GetParameter("NotTraded"), "TRUE");
    EXPECT_FALSE(source.HasParameter("LastTrade"));
    EXPECT_EQ(source.GetParameter("Change"), "0");
    EXPECT_THAT(LinesFrom(log, "GoogleFinance::"),
                ElementsAre("ERROR - GoogleFinance::FindLastTrade() - Did not find span tag!"));
}

TEST(GoogleFinanceTest, MissingSymbolAndFailedDownload) {
    PageServer server;
    {
        LogCapture log;
        GoogleFinance source;
        EXPECT_FALSE(source.Run());
        EXPECT_THAT(LinesFrom(log, "GoogleFinance::"), ElementsAre("ERROR - GoogleFinance::Run() - Missing symbol!"));
    }
    {
        ScopedEnv hosts("QUILLORY_HOSTS", DeadHost("Google Finance"));
        LogCapture log;
        GoogleFinance source;
        source.SetSymbol("ACME CORP");
        EXPECT_FALSE(source.Run());
        EXPECT_THAT(LinesFrom(log, "GoogleFinance::"),
                    ElementsAre("ERROR - GoogleFinance::Run() - Failed to retrieve page "
                                "http://127.0.0.1:1/finance?q=ACME%20CORP"));
    }
}

} // namespace
} // namespace quillory::test
