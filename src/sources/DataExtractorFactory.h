#pragma once

#include <memory>
#include <string>
#include <vector>

#include "CurrencyDataExtractor.h"
#include "DataExtractor.h"
#include "StockDataExtractor.h"

namespace quillory {

// Creates quote sources by the display name an investment stores as its data source. Names are
// compared whole, byte for byte; an unknown name is logged and gives no object.
class DataExtractorFactory {
public:
    static std::unique_ptr<StockDataExtractor> CreateStockDataExtractor(const std::string& name);
    static std::unique_ptr<CurrencyDataExtractor> CreateCurrencyDataExtractor(const std::string& name);
    // The stock table first, then the currency table.
    static std::unique_ptr<DataExtractor> Create(const std::string& name);
    // Append the names in table order ("Yahoo Finance" first).
    static void GetStockDataExtractorNames(std::vector<std::string>& names);
    static void GetCurrencyDataExtractorNames(std::vector<std::string>& names);
    // The source new investments and quillory-quote use: "Automatic".
    static std::string GetDefaultStockDataExtractorName();
};

} // namespace quillory
