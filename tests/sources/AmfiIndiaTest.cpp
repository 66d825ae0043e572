#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "PageServer.h"
#include "SourceLog.h"
#include "TestSupport.h"
#include "sources/AmfiIndia.h"

namespace quillory::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(AmfiIndiaTest, ReadsNameAndValueFromTheSchemeLine) {
    struct Case {
        const char* code;
        const char* name;
        const char* lastTrade;
    };
    const Case cases[] = {
        // The line of scheme 1010 comes first; 101 must not take it.
        {"101", "Acme Liquid Fund", "12.3456"},
        {"1010", "Acme Equity Fund - Growth", "45.6789"},
    };
    PageServer server;
    for (const Case& c : cases) {
        LogCapture log;
        AmfiIndia source;
        source.SetSymbol(c.code);
        ASSERT_TRUE(source.Run()) << c.code;
        EXPECT_EQ(source.GetCompanyName(), c.name);
        EXPECT_EQ(source.GetParameter("LastTrade"), c.lastTrade);
        EXPECT_THAT(LinesFrom(log, "AmfiIndia::"), IsEmpty());
    }
    // Both runs read the one file; the second is answered from the page cache.
    EXPECT_THAT(server.Requests("AMFI India"), ElementsAre("/spages/NAV0.txt"));
}

TEST(AmfiIndiaTest, Failures) {
    struct Case {
        const char* code;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"555",
         {"ERROR - AmfiIndia::FindFund() - Number of tokens for fund [555] is less than 5",
          "ERROR - AmfiIndia::Run() - Failed to find fund [555] on page!"}},
        {"999",
         {"ERROR - AmfiIndia::FindFund() - Can't find fund [999]",
          "ERROR - AmfiIndia::Run() - Failed to find fund [999] on page!"}},
    };
    PageServer server;
    for (const Case& c : cases) {
        LogCapture log;
        AmfiIndia source;
        source.SetSymbol(c.code);
        EXPECT_FALSE(source.Run()) << c.code;
        EXPECT_EQ(LinesFrom(log, "AmfiIndia::"), c.lines) << c.code;
    }
}

TEST(AmfiIndiaTest, DownloadFailureNamesTheUrl) {
    PageServer server;
    ScopedEnv hosts("QUILLORY_HOSTS", DeadHost("AMFI India"));
    LogCapture log;
    AmfiIndia source;
    source.SetSymbol("120");
    EXPECT_FALSE(source.Run());
    EXPECT_THAT(LinesFrom(log, "AmfiIndia::"),
                ElementsAre("ERROR - AmfiIndia::Run() - Failed to retrieve http://127.0.0.1:1/spages/NAV0.txt"));
}

} // namespace
} // namespace quillory::test
