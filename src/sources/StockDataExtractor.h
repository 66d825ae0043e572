#pragma once

#include <string>

#include "DataExtractor.h"

namespace quillory {

// Base of every source that quotes an investment: typed access to the stock parameters.
class StockDataExtractor : public DataExtractor {
public:
    ~StockDataExtractor() override = default;

    void SetSymbol(const std::string& symbol) { SetParameter("Symbol", symbol); }
    std::string GetSymbol() const { return GetParameter("Symbol"); }
    void SetCompanyName(const std::string& name) { SetParameter("CompanyName", name); }
    std::string GetCompanyName() const { return GetParameter("CompanyName"); }
    void SetLastTrade(double value) { SetParameter("LastTrade", value); }
    double GetLastTrade() const;
    void SetChange(double value) { SetParameter("Change", value); }
    double GetChange() const;
    void SetCurrency(const std::string& currency) { SetParameter("Currency", currency); }
    std::string GetCurrency() const { return GetParameter("Currency"); }
    // Stored as "TRUE"/"FALSE"; only the exact text "TRUE" reads as true.
    void SetNotTraded(bool notTraded) { SetParameter("NotTraded", notTraded ? "TRUE" : "FALSE"); }
    bool IsNotTraded() const { return GetParameter("NotTraded") == "TRUE"; }
};

} // namespace quillory
