#pragma once

#include <cstdint>

#include "sources/StockDataExtractor.h"

namespace quillory {

// Quotes from the MSN Money (US) stock quote page: the name follows the h1 heading, the price is the text of
// the span of class "s1" and the change the text of the next span. All three must be found; the steps share
// `cursor` and must run in that order.
class MoneyCentral : public StockDataExtractor {
public:
    MoneyCentral() = default;
    ~MoneyCentral() override = default;

    bool Run() override;

    bool FindName();
    bool FindLastTrade();
    bool FindChange();

private:
    int32_t cursor = 0;
};

} // namespace quillory
