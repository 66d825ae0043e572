#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "PageServer.h"
#include "SourceLog.h"
#include "TestSupport.h"
#include "sources/IndiaTimes.h"

namespace quillory::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(IndiaTimesTest, DigitsAskForTheSummaryOtherSymbolsForTheCurrentQuote) {
    struct Case {
        const char* symbol;
        const char* target;
        const char* name;
        const char* lastTrade;
        const char* change;
    };
    const Case cases[] = {
        {"13215", "/summary.cms?companyID=13215", "Reliance Industries Ltd.", "2412.35", "-18.4"},
        {"INFY", "/currentquote.cms?ticker=INFY&pagenumber=0&pagesize=30&matchcompanyname=false&Submit=+Go+",
         "Infosys Ltd", "1456.2", "12.05"},
    };
    PageServer server;
    for (const Case& c : cases) {
        server.ClearRequests();
        LogCapture log;
        IndiaTimes source;
        source.SetSymbol(c.symbol);
        ASSERT_TRUE(source.Run()) << c.symbol;
        EXPECT_THAT(server.Requests("India Times"), ElementsAre(c.target));
        EXPECT_EQ(source.GetCompanyName(), c.name);
        EXPECT_EQ(source.GetParameter("LastTrade"), c.lastTrade);
        EXPECT_EQ(source.GetParameter("Change"), c.change);
        EXPECT_THAT(LinesFrom(log, "IndiaTimes::"), IsEmpty());
    }
}

TEST(IndiaTimesTest, TooFewTokensAfterTheStrongTagFailTheChange) {
    PageServer server;
    LogCapture log;
    IndiaTimes source;
    source.SetSymbol("TATA");

    EXPECT_FALSE(source.Run());
    EXPECT_EQ(source.GetParameter("LastTrade"), "131.1");
    // The steps log at the plain level, not as errors.
    EXPECT_THAT(LinesFrom(log, "IndiaTimes::"), ElementsAre("IndiaTimes::FindChange() - Change is out of range!"));
}

TEST(IndiaTimesTest, FailuresWithoutARunLine) {
    PageServer server;
    {
        LogCapture log;
        IndiaTimes source;
        EXPECT_FALSE(source.Run());
        EXPECT_THAT(LinesFrom(log, "IndiaTimes::"), IsEmpty());
    }
    {
        LogCapture log;
        IndiaTimes source;
        source.SetSymbol("404");
        EXPECT_FALSE(source.Run()); // the service's 404 answer is a failed download, not a page
        EXPECT_THAT(LinesFrom(log, "IndiaTimes::"), IsEmpty());
        EXPECT_TRUE(log.Contains("HttpHelper::DownloadPage() - HTTP 404 from 127.0.0.1"));
    }
}

} // namespace
} // namespace quillory::test
