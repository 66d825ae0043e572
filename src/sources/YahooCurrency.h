#pragma once

#include "CurrencyDataExtractor.h"

namespace quillory {

// "Yahoo Currency": the exchange rate of SourceCurrency in TargetCurrency, read as the last trade
// of Yahoo's pair symbol (such as EURUSD=X) by an inner YahooStock.
class YahooCurrency : public CurrencyDataExtractor {
public:
    ~YahooCurrency() override = default;

    bool Run() override;
};

} // namespace quillory
