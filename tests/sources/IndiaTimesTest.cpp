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
