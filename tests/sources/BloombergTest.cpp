#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "PageServer.h"
#include "SourceLog.h"
#include "TestSupport.h"
#include "foundation/Exception.h"
#include "sources/Bloomberg.h"

namespace quillory::test {
namespace {

using ::testing::ElementsAre;

TEST(BloombergTest, HeadingThatIsOnlyTheSymbolStaysWhole) {
    struct Case {
        const char* symbol;
        const char* name;
    };
    const Case cases[] = {
        {"IBM:LN", "IBM:LN"},     // the symbol alone
        {"IBM:GR", "IBM:GRX"},    // the symbol and one more character
        {"VFIAX:US", "VFIAX:US"}, // heading with blanks around it
    };
    PageServer server;
    for (const Case& c : cases) {
        Bloomberg source;
        source.SetSymbol(c.symbol);
        ASSERT_TRUE(source.Run()) << c.symbol;
        EXPECT_EQ(source.GetCompanyName(), c.name) << c.symbol;
    }
}

TEST(BloombergTest, FundPriceUnderNavStarAndChangeNotAvailable) {
    PageServer server;
    LogCapture log;
    Bloomberg source;
    source.SetSymbol("VFIAX:US");

    ASSERT_TRUE(source.Run());
    EXPECT_EQ(source.GetLastTrade(), 512.3);
    EXPECT_FALSE(source.HasParameter("Change"));
    EXPECT_EQ(source.GetChange(), 0);
}

TEST(BloombergTest, FailuresLogTheStepAndTheRun) {
    struct Case {
        const char* symbol;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {"ERROR - Bloomberg::Run() - Missing symbol!"}},
        {"XYZ:US",
         {"ERROR - Bloomberg::FindLastTrade() - Last trade tag not found!",
          "ERROR - Bloomberg::Run() - Error finding last trade!"}},
        // No route: the server's 404 answer is a failed download, not a page to search.
        {"NOSUCH", {"ERROR - Bloomberg::Run() - Error downloading page!"}},
    };
    PageServer server;
    for (const Case& c : cases) {
        LogCapture log;
        Bloomberg source;
        source.SetSymbol(c.symbol);
        EXPECT_FALSE(source.Run()) << c.symbol;
        EXPECT_EQ(LinesFrom(log, "Bloomberg::"), c.lines) << c.symbol;
    }
}

TEST(BloombergTest, DownloadFailure) {
    PageServer server;
    ScopedEnv hosts("QUILLORY_HOSTS", DeadHost("Bloomberg"));
    LogCapture log;
    Bloomberg source;
    source.SetSymbol("IBM:US");

    EXPECT_FALSE(source.Run());
    EXPECT_THAT(LinesFrom(log, "Bloomberg::"), ElementsAre("ERROR - Bloomberg::Run() - Error downloading page!"));
}

TEST(BloombergTest, HeadingAsLastTokenThrowsOutOfRun) {
    PageServer server;
    Bloomberg source;
    source.SetSymbol("CUT");
    EXPECT_THROW(source.Run(), XMLException);
}

} // namespace
} // namespace quillory::test
