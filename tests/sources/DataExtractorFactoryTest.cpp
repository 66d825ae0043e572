#include <gtest/gtest.h>

#include "TestSupport.h"
#include "sources/AmfiIndia.h"
#include "sources/AmfiNav.h"
#include "sources/Automatic.h"
#include "sources/Bloomberg.h"
#include "sources/DataExtractorFactory.h"
#include "sources/EcbRates.h"
#include "sources/Finam.h"
#include "sources/GoogleFinance.h"
#include "sources/IndiaTimes.h"
#include "sources/LimunHr.h"
#include "sources/MoneyCentral.h"
#include "sources/MoscowExchange.h"
#include "sources/MsnMoneyUk.h"
#include "sources/RussianTradeSystem.h"
#include "sources/YahooChart.h"
#include "sources/YahooCurrency.h"
#include "sources/YahooFinanceUk.h"
#include "sources/YahooStock.h"

namespace quillory {
namespace {

const std::vector<std::string> stockNames = {"Yahoo Finance", "Russian Trade System", "India Times", "AMFI India",
                                             "Money Central", "Google Finance", "Yahoo Finance UK",
                                             "Zagreb Stock Exchange", "MSN Money UK", "Bloomberg", "Finam",
                                             // Today's services, after the described ones.
                                             "Automatic", "Yahoo Finance Chart", "Moscow Exchange", "AMFI India NAV"};

TEST(DataExtractorFactoryTest, NameListsAreAppendedInTableOrder) {
    std::vector<std::string> names = {"already there"};
    DataExtractorFactory::GetStockDataExtractorNames(names);
    ASSERT_EQ(names.size(), 16u);
    EXPECT_EQ(names.front(), "already there");
    EXPECT_EQ(std::vector<std::string>(names.begin() + 1, names.end()), stockNames);

    std::vector<std::string> currencies;
    DataExtractorFactory::GetCurrencyDataExtractorNames(currencies);
    EXPECT_EQ(currencies, (std::vector<std::string>{"Yahoo Currency", "ECB Reference Rates", "Automatic"}));
    EXPECT_EQ(DataExtractorFactory::GetDefaultStockDataExtractorName(), "Automatic");
}

template <typename T> bool Is(const std::unique_ptr<StockDataExtractor>& source) {
    return dynamic_cast<T*>(source.get()) != nullptr;
}

TEST(DataExtractorFactoryTest, EveryNameCreatesItsOwnClass) {
    test::LogCapture log;
    struct Row {
        const char* name;
        bool (*is)(const std::unique_ptr<StockDataExtractor>&);
    } rows[] = {
        {"Yahoo Finance", &Is<YahooStock>},
        {"Russian Trade System", &Is<RussianTradeSystem>},
        {"India Times", &Is<IndiaTimes>},
        {"AMFI India", &Is<AmfiIndia>},
        {"Money Central", &Is<MoneyCentral>},
        {"Google Finance", &Is<GoogleFinance>},
        {"Yahoo Finance UK", &Is<YahooFinanceUk>},
        {"Zagreb Stock Exchange", &Is<LimunHr>},
        {"MSN Money UK", &Is<MsnMoneyUk>},
        {"Bloomberg", &Is<Bloomberg>},
        {"Finam", &Is<Finam>},
        {"Automatic", &Is<AutomaticSource>},
        {"Yahoo Finance Chart", &Is<YahooChart>},
        {"Moscow Exchange", &Is<MoscowExchange>},
        {"AMFI India NAV", &Is<AmfiNav>},
    };
    ASSERT_EQ(std::size(rows), stockNames.size());
    for (const Row& row : rows) {
        std::unique_ptr<StockDataExtractor> source = DataExtractorFactory::CreateStockDataExtractor(row.name);
        EXPECT_TRUE(row.is(source)) << row.name;
        EXPECT_NE(source.get(), DataExtractorFactory::CreateStockDataExtractor(row.name).get())
            << "a new object each time";
    }
    EXPECT_NE(dynamic_cast<YahooCurrency*>(DataExtractorFactory::CreateCurrencyDataExtractor("Yahoo Currency").get()),
              nullptr);
    EXPECT_NE(dynamic_cast<EcbRates*>(DataExtractorFactory::CreateCurrencyDataExtractor("ECB Reference Rates").get()),
              nullptr);
    EXPECT_NE(dynamic_cast<AutomaticCurrency*>(DataExtractorFactory::CreateCurrencyDataExtractor("Automatic").get()),
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
