#pragma once

#include <cstdint>

#include "sources/StockDataExtractor.h"

namespace quillory {

// Quotes from the Google Finance page: the name follows the first h3 heading, the price is the text of the
// span of class "pr" and the change is the next text after it. The three steps share `cursor` and must run
// in that order.
class GoogleFinance : public StockDataExtractor {
public:
    GoogleFinance() = default;
    ~GoogleFinance() override = default;

    bool Run() override;

    bool FindName();
    bool FindLastTrade();
    bool FindChange();

private:
    int32_t cursor = 0;
};

} // namespace quillory
