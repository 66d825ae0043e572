#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "PageServer.h"
#include "SourceLog.h"
#include "TestSupport.h"
#include "sources/MoneyCentral.h"

namespace quillory::test {
namespace {

using ::testing::ElementsAre;

TEST(MoneyCentralTest, EveryStepIsRequired) {
    struct Case {
        const char* symbol;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {"ERROR - MoneyCentral::Run() - Missing symbol!"}},
        // Name and price are found, but without the change the run fails.
        {"CTSO", {"ERROR - MoneyCentral::FindChange() - Did not find span tag!"}},
        {"FABR", {"ERROR - MoneyCentral::FindLastTrade() - Tag does not have text!"}},
        {"NOSUCH", {"ERROR - MoneyCentral::Run() - Failed to retrieve page!"}}, // the 404 answer
    };
    PageServer server;
    for (const Case& c : cases) {
        LogCapture log;
        MoneyCentral source;
        source.SetSymbol(c.symbol);
        EXPECT_FALSE(source.Run()) << c.symbol;
        EXPECT_EQ(LinesFrom(log, "MoneyCentral"), c.lines) << c.symbol;
    }
}

TEST(MoneyCentralTest, MissingChangeLeavesWhatWasFound) {
    PageServer server;
    MoneyCentral source;
    source.SetSymbol("CTSO");
    ASSERT_FALSE(source.Run());
    EXPECT_EQ(source.GetCompanyName(), "Contoso Ltd");
    EXPECT_EQ(source.GetParameter("LastTrade"), "15.2");
    EXPECT_FALSE(source.HasParameter("Change"));
}

TEST(MoneyCentralTest, DownloadFailure) {
    PageServer server;
    ScopedEnv hosts("QUILLORY_HOSTS", DeadHost("Money Central"));
    LogCapture log;
    MoneyCentral source;
    source.SetSymbol("MSFT");
    EXPECT_FALSE(source.Run());
    EXPECT_THAT(LinesFrom(log, "MoneyCentral"), ElementsAre("ERROR - MoneyCentral::Run() - Failed to retrieve page!"));
}

} // namespace
} // namespace quillory::test
