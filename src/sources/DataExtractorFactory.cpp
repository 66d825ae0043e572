#include "DataExtractorFactory.h"

#include "AmfiIndia.h"
#include "AmfiNav.h"
#include "Automatic.h"
#include "Bloomberg.h"
#include "EcbRates.h"
#include "Finam.h"
#include "GoogleFinance.h"
#include "IndiaTimes.h"
#include "LimunHr.h"
#include "MoneyCentral.h"
#include "MoscowExchange.h"
#include "MsnMoneyUk.h"
#include "RussianTradeSystem.h"
#include "YahooChart.h"
#include "YahooCurrency.h"
#include "YahooFinanceUk.h"
#include "YahooStock.h"
#include "foundation/Log.h"

namespace quillory {

namespace {

template <typename T> std::unique_ptr<StockDataExtractor> MakeStock() {
    return std::make_unique<T>();
}

struct StockRow {
    const char* name;
    std::unique_ptr<StockDataExtractor> (*create)();
};

// The order is the order of the source list the user sees before sorting.
const StockRow stockTable[] = {
    {"Yahoo Finance", &MakeStock<YahooStock>},
    {"Russian Trade System", &MakeStock<RussianTradeSystem>},
    {"India Times", &MakeStock<IndiaTimes>},
    {"AMFI India", &MakeStock<AmfiIndia>},
    {"Money Central", &MakeStock<MoneyCentral>},
    {"Google Finance", &MakeStock<GoogleFinance>},
    {"Yahoo Finance UK", &MakeStock<YahooFinanceUk>},
    {"Zagreb Stock Exchange", &MakeStock<LimunHr>},
    {"MSN Money UK", &MakeStock<MsnMoneyUk>},
    {"Bloomberg", &MakeStock<Bloomberg>},
    {"Finam", &MakeStock<Finam>},
    // Today's services, which new investments use.
    {AutomaticSource::kName, &MakeStock<AutomaticSource>},
    {YahooChart::kName, &MakeStock<YahooChart>},
    {MoscowExchange::kName, &MakeStock<MoscowExchange>},
    {AmfiNav::kName, &MakeStock<AmfiNav>},
};

template <typename T> std::unique_ptr<CurrencyDataExtractor> MakeCurrency() {
    return std::make_unique<T>();
}

struct CurrencyRow {
    const char* name;
    std::unique_ptr<CurrencyDataExtractor> (*create)();
};

const CurrencyRow currencyTable[] = {
    {"Yahoo Currency", &MakeCurrency<YahooCurrency>},
    {EcbRates::kName, &MakeCurrency<EcbRates>},
    {AutomaticCurrency::kName, &MakeCurrency<AutomaticCurrency>},
};

} // namespace

std::unique_ptr<StockDataExtractor> DataExtractorFactory::CreateStockDataExtractor(const std::string& name) {
    for (const StockRow& row : stockTable)
        if (name == row.name)
            return row.create();
    LogMessage("DataExtractorFactory::CreateStockDataExtractor() - Unknown data extractor name - [" + name + "]");
    return nullptr;
}

std::unique_ptr<CurrencyDataExtractor> DataExtractorFactory::CreateCurrencyDataExtractor(const std::string& name) {
    for (const CurrencyRow& row : currencyTable)
        if (name == row.name)
            return row.create();
    LogMessage("DataExtractorFactory::CreateCurrencyDataExtractor() - Unknown data extractor name - [" + name + "]");
    return nullptr;
}

std::unique_ptr<DataExtractor> DataExtractorFactory::Create(const std::string& name) {
    if (std::unique_ptr<DataExtractor> stock = CreateStockDataExtractor(name))
        return stock;
    if (std::unique_ptr<DataExtractor> currency = CreateCurrencyDataExtractor(name))
        return currency;
    LogMessage("DataExtractorFactory::Create() - Unknown data extractor name - [" + name + "]");
    return nullptr;
}

void DataExtractorFactory::GetStockDataExtractorNames(std::vector<std::string>& names) {
    for (const StockRow& row : stockTable)
        names.emplace_back(row.name);
}

void DataExtractorFactory::GetCurrencyDataExtractorNames(std::vector<std::string>& names) {
    for (const CurrencyRow& row : currencyTable)
        names.emplace_back(row.name);
}

std::string DataExtractorFactory::GetDefaultStockDataExtractorName() {
    return AutomaticSource::kName;
}

} // namespace quillory
