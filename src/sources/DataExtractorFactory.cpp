#include "DataExtractorFactory.h"

#include "YahooCurrency.h"
#include "YahooFinanceUk.h"
#include "YahooStock.h"
#include "foundation/Log.h"

#if __has_include("AmfiIndia.h")
#include "AmfiIndia.h"
#define QUILLORY_HAS_AmfiIndia 1
#endif
#if __has_include("Bloomberg.h")
#include "Bloomberg.h"
#define QUILLORY_HAS_Bloomberg 1
#endif
#if __has_include("Finam.h")
#include "Finam.h"
#define QUILLORY_HAS_Finam 1
#endif
#if __has_include("GoogleFinance.h")
#include "GoogleFinance.h"
#define QUILLORY_HAS_GoogleFinance 1
#endif
#if __has_include("IndiaTimes.h")
#include "IndiaTimes.h"
#define QUILLORY_HAS_IndiaTimes 1
#endif
#if __has_include("LimunHr.h")
#include "LimunHr.h"
#define QUILLORY_HAS_LimunHr 1
#endif
#if __has_include("MoneyCentral.h")
#include "MoneyCentral.h"
#define QUILLORY_HAS_MoneyCentral 1
#endif
#if __has_include("MsnMoneyUk.h")
#include "MsnMoneyUk.h"
#define QUILLORY_HAS_MsnMoneyUk 1
#endif
#if __has_include("RussianTradeSystem.h")
#include "RussianTradeSystem.h"
#define QUILLORY_HAS_RussianTradeSystem 1
#endif

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
#ifdef QUILLORY_HAS_RussianTradeSystem
    {"Russian Trade System", &MakeStock<RussianTradeSystem>},
#else
    {"Russian Trade System", nullptr},
#endif
#ifdef QUILLORY_HAS_IndiaTimes
    {"India Times", &MakeStock<IndiaTimes>},
#else
    {"India Times", nullptr},
#endif
#ifdef QUILLORY_HAS_AmfiIndia
    {"AMFI India", &MakeStock<AmfiIndia>},
#else
    {"AMFI India", nullptr},
#endif
#ifdef QUILLORY_HAS_MoneyCentral
    {"Money Central", &MakeStock<MoneyCentral>},
#else
    {"Money Central", nullptr},
#endif
#ifdef QUILLORY_HAS_GoogleFinance
    {"Google Finance", &MakeStock<GoogleFinance>},
#else
    {"Google Finance", nullptr},
#endif
    {"Yahoo Finance UK", &MakeStock<YahooFinanceUk>},
#ifdef QUILLORY_HAS_LimunHr
    {"Zagreb Stock Exchange", &MakeStock<LimunHr>},
#else
    {"Zagreb Stock Exchange", nullptr},
#endif
#ifdef QUILLORY_HAS_MsnMoneyUk
    {"MSN Money UK", &MakeStock<MsnMoneyUk>},
#else
    {"MSN Money UK", nullptr},
#endif
#ifdef QUILLORY_HAS_Bloomberg
    {"Bloomberg", &MakeStock<Bloomberg>},
#else
    {"Bloomberg", nullptr},
#endif
#ifdef QUILLORY_HAS_Finam
    {"Finam", &MakeStock<Finam>},
#else
    {"Finam", nullptr},
#endif
};

} // namespace

std::unique_ptr<StockDataExtractor> DataExtractorFactory::CreateStockDataExtractor(const std::string& name) {
    for (const StockRow& row : stockTable)
        if (name == row.name && row.create)
            return row.create();
    LogMessage("DataExtractorFactory::CreateStockDataExtractor() - Unknown data extractor name - [" + name + "]");
    return nullptr;
}

std::unique_ptr<CurrencyDataExtractor> DataExtractorFactory::CreateCurrencyDataExtractor(const std::string& name) {
    if (name == "Yahoo Currency")
        return std::make_unique<YahooCurrency>();
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
    names.emplace_back("Yahoo Currency");
}

std::string DataExtractorFactory::GetDefaultStockDataExtractorName() {
    return "Yahoo Finance";
}

} // namespace quillory
