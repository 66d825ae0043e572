#include <gtest/gtest.h>

#include "PageServer.h"
#include "TestSupport.h"
#include "foundation/Exception.h"
#include "markup/XMLTagKind.h"
#include "sources/CurrencyDataExtractor.h"
#include "sources/ServiceHosts.h"
#include "sources/StockDataExtractor.h"

namespace quillory {
namespace {

// The smallest concrete source: fetches a URL, and exposes the shared search steps.
class PageFetcher : public StockDataExtractor {
public:
    std::string url;
    bool Run() override { return RetrievePage(url); }
    using DataExtractor::CutAtParenthesis;
    using DataExtractor::DecodedText;
    using DataExtractor::FindLabel;
    using DataExtractor::NextText;
    using DataExtractor::Token;
};

class RateHolder : public CurrencyDataExtractor {
public:
    bool Run() override { return false; }
};

TEST(DataExtractorTest, SettingANameAgainReplacesItsValueInPlace) {
    PageFetcher source;
    source.SetSymbol("IBM");
    source.SetParameter("Extra", "x");
    source.SetSymbol("MSFT");
    ASSERT_EQ(source.GetParameters().size(), 2u);
    EXPECT_EQ(source.GetParameters()[0], DataExtractor::Parameter("Symbol", "MSFT"));
    EXPECT_TRUE(source.HasParameter("Extra"));
    EXPECT_FALSE(source.HasParameter("symbol")) << "names are case-sensitive";
    EXPECT_EQ(source.GetParameter("Missing"), "");
}

TEST(DataExtractorTest, NumbersAndFlagsAreStoredAsText) {
    PageFetcher source;
    EXPECT_EQ(source.GetLastTrade(), 0.0) << "an absent number reads as 0";
    EXPECT_FALSE(source.IsNotTraded());

    source.SetLastTrade(0.1);
    EXPECT_EQ(source.GetParameter("LastTrade"), "0.1");
    source.SetLastTrade(1.0 / 3.0);
    EXPECT_EQ(source.GetParameter("LastTrade"), "0.3333333333333333");
    source.SetParameter("Count", int32_t{-42});
    EXPECT_EQ(source.GetParameter("Count"), "-42");

    source.SetNotTraded(false);
    EXPECT_EQ(source.GetParameter("NotTraded"), "FALSE");
    source.SetParameter("NotTraded", "true");
    EXPECT_FALSE(source.IsNotTraded());
    source.SetNotTraded(true);
    EXPECT_TRUE(source.IsNotTraded());

    RateHolder rate;
    rate.SetSourceCurrency("GBP");
    rate.SetTargetCurrency("USD");
    rate.SetRate(1.5);
    EXPECT_EQ(rate.GetRate(), 1.5);
    EXPECT_EQ(rate.GetParameter("SourceCurrency"), "GBP");
    EXPECT_EQ(rate.GetParameter("TargetCurrency"), "USD");
}

TEST(DataExtractorTest, DumpWritesEveryPairInOrderWithCrLf) {
    PageFetcher source;
    source.SetSymbol("IBM");
    source.SetCompanyName("A&B [x]");
    testing::internal::CaptureStdout();
    source.DumpParameters();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Symbol=[IBM]\r\nCompanyName=[A&B [x]]\r\n");
}

TEST(DataExtractorTest, RetrievePageParsesAndAFailedDownloadKeepsThePreviousTokens) {
    test::PageServer server;
    test::LogCapture log;
    PageFetcher source;
    source.url = ServiceHosts::BaseUrl("Yahoo Finance") + "/q?s=IBM";
    ASSERT_TRUE(source.Run());
    EXPECT_NE(source.GetPageText().find("Intl Business Machines"), std::string::npos);
    const unsigned tokens = source.GetDocument().GetTagCount();
    ASSERT_GT(tokens, 0u);

    // A label is a TEXT token read exactly: comments and other letter cases do not count.
    int label = source.FindLabel("Last Trade:");
    ASSERT_NE(label, -1);
    EXPECT_EQ(source.Token(label).GetKind(), XMLTagKind::TEXT);
    EXPECT_EQ(source.DecodedText(source.NextText(label)), "121.50");
    EXPECT_EQ(source.FindLabel({"No Such Label:", "Trade Time:"}), source.FindLabel("Trade Time:"));
    EXPECT_EQ(source.NextText(static_cast<int>(tokens) - 1), -1);
    EXPECT_THROW(source.Token(static_cast<int>(tokens)), XMLException);
    EXPECT_THROW(source.Token(-1), XMLException);

    source.url = "http://127.0.0.1:1/q?s=IBM"; // nothing listens on port 1
    EXPECT_FALSE(source.Run());
    EXPECT_EQ(source.GetDocument().GetTagCount(), tokens);
    EXPECT_TRUE(log.Contains("HttpHelper::DownloadPage() - Caught HttpException"));
}

TEST(DataExtractorTest, CompanyNameCutAtParenthesis) {
    struct Case {
        const char* text;
        const char* cut;
        bool changed;
    } cases[] = {
        {"Acme Corp (ACME)", "Acme Corp", true},
        {"Acme Corp(ACME)", "Acme Cor", true}, // the character before "(" always goes
        {"A (B) (C)", "A", true},
        {"(ACME) Acme", "(ACME) Acme", false},
        {"No parenthesis", "No parenthesis", false},
        {"X(", "", true},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(PageFetcher::CutAtParenthesis(text), c.changed) << c.text;
        EXPECT_EQ(text, c.cut) << c.text;
    }
}

} // namespace
} // namespace quillory
