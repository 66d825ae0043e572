#pragma once

#include <string>

#include "StockDataExtractor.h"

namespace quillory {

// "Yahoo Finance": the US quote page. The name is the text right after the first h1 heading; the
// last trade, trade time and change are the texts after their row labels.
class YahooStock : public StockDataExtractor {
public:
    ~YahooStock() override = default;

    bool Run() override;

    bool FindName();
    bool FindLastTrade();
    bool FindLastTradeTime();
    bool FindChange();
    // London symbols (ending in ".L") are quoted in pence: a price above 1 is divided by 100, and
    // any price of such a symbol is rewritten with four decimals.
    void ConvertPenceToPounds(std::string& text);
};

} // namespace quillory
