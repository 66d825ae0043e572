#pragma once

#include <string>

#include "DataExtractor.h"

namespace quillory {

// Base of the sources that give an exchange rate: typed access to the currency parameters.
class CurrencyDataExtractor : public DataExtractor {
public:
    ~CurrencyDataExtractor() override = default;

    void SetSourceCurrency(const std::string& code) { SetParameter("SourceCurrency", code); }
    std::string GetSourceCurrency() const { return GetParameter("SourceCurrency"); }
    void SetTargetCurrency(const std::string& code) { SetParameter("TargetCurrency", code); }
    std::string GetTargetCurrency() const { return GetParameter("TargetCurrency"); }
    void SetRate(double rate) { SetParameter("Rate", rate); }
    double GetRate() const;
};

} // namespace quillory
