#pragma once

#include "StockDataExtractor.h"

namespace quillory {

// "Yahoo Finance UK": the UK quote page. Same layout as the US page, but the name may also be
// found as "Company Name (SYMBOL)" anywhere on the page, and prices are taken as written.
class YahooFinanceUk : public StockDataExtractor {
public:
    ~YahooFinanceUk() override = default;

    bool Run() override;

    bool FindName();
    bool FindLastTrade();
    bool FindLastTradeTime();
    bool FindChange();
};

} // namespace quillory
