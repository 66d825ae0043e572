#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "PageServer.h"
#include "SourceLog.h"
#include "TestSupport.h"
#include "sources/LimunHr.h"

namespace quillory::test {
namespace {

using ::testing::ElementsAre;

TEST(LimunHrTest, SymbolNearTheTopGetsPriceButNoName) {
    PageServer server;
    LogCapture log;
    LimunHr source;
    source.SetSymbol("ZBRT");

    ASSERT_TRUE(source.Run());
    EXPECT_FALSE(source.HasParameter("CompanyName"));
    EXPECT_EQ(source.GetParameter("LastTrade"), "98.7");
    EXPECT_THAT(LinesFrom(log, "LimunHr::"),
                ElementsAre("ERROR - LimunHr::FindStock() - Can't find company name for symbol [ZBRT]"));
}

TEST(LimunHrTest, Failures) {
    struct Case {
        const char* symbol;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"  ", {}},
        {"shrt",
         {"ERROR - LimunHr::FindStock() - Can't find last price for symbol [SHRT]",
          "ERROR - LimunHr::Run() - Failed to find fund [SHRT] on page!"}},
        {"NOSUCH",
         {"ERROR - LimunHr::FindStock() - Can't find symbol [NOSUCH]",
          "ERROR - LimunHr::Run() - Failed to find fund [NOSUCH] on page!"}},
    };
    PageServer server;
    for (const Case& c : cases) {
        LogCapture log;
        LimunHr source;
        source.SetSymbol(c.symbol);
        EXPECT_FALSE(source.Run()) << c.symbol;
        EXPECT_EQ(LinesFrom(log, "LimunHr::"), c.lines) << c.symbol;
    }
}

TEST(LimunHrTest, DownloadFailureNamesTheUrl) {
    PageServer server;
    ScopedEnv hosts("QUILLORY_HOSTS", DeadHost("Zagreb Stock Exchange"));
    LogCapture log;
    LimunHr source;
    source.SetSymbol("ABF1");
    EXPECT_FALSE(source.Run());
    EXPECT_THAT(LinesFrom(log, "LimunHr::"),
                ElementsAre("ERROR - LimunHr::Run() - Failed to retrieve http://127.0.0.1:1/main.aspx?id=18"));
}

} // namespace
} // namespace quillory::test
