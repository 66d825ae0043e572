#include <gtest/gtest.h>

#include "TestSupport.h"
#include "sources/DataExtractorFactory.h"
#include "sources/YahooCurrency.h"
#include "sources/YahooFinanceUk.h"
#include "sources/YahooStock.h"

namespace quillory {
namespace {

const std::vector<std::string> stockNames = {
    "Yahoo Finance",    "Russian Trade System",  "India Times",  "AMFI India", "Money Central", "Google Finance",
    "Yahoo Finance UK", "Zagreb Stock Exchange", "MSN Money UK", "Bloomberg",  "Finam"};

TEST(DataExtractorFactoryTest, NameListsAreAppendedInTableOrder) {
    std::vector<std::string> names = {"already there"};
    DataExtractorFactory::GetStockDataExtractorNames(names);
    ASSERT_EQ(names.size(), 12u);
    EXPECT_EQ(names.front(), "already there");
    EXPECT_EQ(std::vector<std::string>(names.begin() + 1, names.end()), stockNames);

    std::vector<std::string> currencies;
    DataExtractorFactory::GetCurrencyDataExtractorNames(currencies);
    EXPECT_EQ(currencies, std::vector<std::string>{"Yahoo Currency"});
    EXPECT_EQ(DataExtractorFactory::GetDefaultStockDataExtractorName(), "Yahoo Finance");
}

TEST(DataExtractorFactoryTest, CreatesTheYahooSourcesByName) {
    test::LogCapture log;
    EXPECT_NE(dynamic_cast<YahooStock*>(DataExtractorFactory::CreateStockDataExtractor("Yahoo Finance").get()),
              nullptr);
    EXPECT_NE(dynamic_cast<YahooFinanceUk*>(DataExtractorFactory::CreateStockDataExtractor("Yahoo Finance UK").get()),
              nullptr);
    EXPECT_NE(dynamic_cast<YahooCurrency*>(DataExtractorFactory::CreateCurrencyDataExtractor("Yahoo Currency").get()),
              nullptr);
    EXPECT_TRUE(log.Lines().empty());
}

TEST(DataExtractorFactoryTest, UnknownNamesAreLoggedAsPlainMessages) {
    test::LogCapture log;
    for (const char* name : {"yahoo finance", "Yahoo Finance ", ""}) {
        log.Clear();
        EXPECT_EQ(DataExtractorFactory::CreateStockDataExtractor(name), nullptr);
        EXPECT_EQ(log.Texts(), std::vector<std::string>{
                                   std::string("DataExtractorFactory::CreateStockDataExtractor() - Unknown data "
                                               "extractor name - [") +
                                   name + "]"});
    }

    log.Clear();
    EXPECT_EQ(DataExtractorFactory::CreateCurrencyDataExtractor("Yahoo Finance"), nullptr);
    EXPECT_EQ(log.Texts(),
              std::vector<std::string>{"DataExtractorFactory::CreateCurrencyDataExtractor() - Unknown data "
                                       "extractor name - [Yahoo Finance]"});
}

TEST(DataExtractorFactoryTest, CreateTriesStockThenCurrency) {
    test::LogCapture log;
    std::unique_ptr<DataExtractor> currency = DataExtractorFactory::Create("Yahoo Currency");
    EXPECT_NE(dynamic_cast<YahooCurrency*>(currency.get()), nullptr);
    EXPECT_EQ(log.Texts(), std::vector<std::string>{"DataExtractorFactory::CreateStockDataExtractor() - Unknown data "
                                                    "extractor name - [Yahoo Currency]"});

    log.Clear();
    EXPECT_NE(dynamic_cast<YahooStock*>(DataExtractorFactory::Create("Yahoo Finance").get()), nullptr);
    EXPECT_TRUE(log.Lines().empty());

    EXPECT_EQ(DataExtractorFactory::Create("Nowhere"), nullptr);
    EXPECT_EQ(log.Texts(),
              (std::vector<std::string>{
                  "DataExtractorFactory::CreateStockDataExtractor() - Unknown data extractor name - [Nowhere]",
                  "DataExtractorFactory::CreateCurrencyDataExtractor() - Unknown data extractor name - [Nowhere]",
                  "DataExtractorFactory::Create() - Unknown data extractor name - [Nowhere]"}));
}

} // namespace
} // namespace quillory
