#include <gtest/gtest.h>

#include "PageServer.h"
#include "TestSupport.h"
#include "sources/YahooCurrency.h"

namespace quillory {
namespace {

class YahooCurrencyTest : public testing::Test {
protected:
    test::PageServer server;
    test::LogCapture log;
};

TEST_F(YahooCurrencyTest, PairSymbolAndInversion) {
    struct Case {
        const char *source, *target, *request;
        double rate;
    } cases[] = {
        {"GBP", "USD", "/q?s=USDGBP=X", 2.0},  // 0.5 inverted
        {"EUR", "USD", "/q?s=EURUSD=X", 1.25}, // as quoted
        {"GBP", "EUR", "/q?s=EURGBP=X", 1.25}, // 0.8 inverted
        {"XAU", "USD", "/q?s=USDXAU=X", 0.0},  // a zero quote is not inverted
    };
    for (const Case& c : cases) {
        server.ClearRequests();
        YahooCurrency currency;
        currency.SetSourceCurrency(c.source);
        currency.SetTargetCurrency(c.target);
        ASSERT_TRUE(currency.Run()) << c.source << c.target;
        EXPECT_EQ(currency.GetRate(), c.rate) << c.source << c.target;
        EXPECT_EQ(server.Requests("Yahoo Finance"), std::vector<std::string>{c.request});
    }
}

TEST_F(YahooCurrencyTest, EqualCurrenciesNeedNoDownload) {
    YahooCurrency currency;
    currency.SetSourceCurrency("USD");
    currency.SetTargetCurrency("USD");
    ASSERT_TRUE(currency.Run());
    EXPECT_EQ(currency.GetParameter("Rate"), "1");
    EXPECT_TRUE(server.Requests("Yahoo Finance").empty());
}

TEST_F(YahooCurrencyTest, MissingCurrencyAndFailedPairAreLogged) {
    YahooCurrency currency;
    currency.SetSourceCurrency("GBP");
    EXPECT_FALSE(currency.Run());
    EXPECT_EQ(log.Texts(),
              std::vector<std::string>{"ERROR - YahooCurrency::Run() - Missing source or target currency!"});

    log.Clear();
    currency.SetTargetCurrency("CHF"); // no such pair page: the service's 404 is a failed download
    EXPECT_FALSE(currency.Run());
    ASSERT_FALSE(log.Texts().empty());
    EXPECT_EQ(log.Texts().back(), "ERROR - YahooCurrency::Run() - Failed to retrieve investment currency!");
    EXPECT_TRUE(log.Contains("HttpHelper::DownloadPage() - HTTP 404 from 127.0.0.1"));
    EXPECT_FALSE(currency.HasParameter("Rate"));
}

TEST_F(YahooCurrencyTest, InnerSourceUsesTheProxyHandedToTheCurrencySource) {
    test::ScopedEnv hosts("QUILLORY_HOSTS", std::nullopt);
    YahooCurrency currency;
    currency.SetProxy("127.0.0.1", static_cast<uint16_t>(server.Port("Yahoo Finance")));
    currency.SetSourceCurrency("EUR");
    currency.SetTargetCurrency("USD");
    ASSERT_TRUE(currency.Run());
    EXPECT_EQ(currency.GetRate(), 1.25);
    EXPECT_EQ(server.Requests("Yahoo Finance"), std::vector<std::string>{"http://finance.yahoo.com/q?s=EURUSD=X"});
}

} // namespace
} // namespace quillory
