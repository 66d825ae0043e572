#pragma once

#include <cstdint>

#include "sources/StockDataExtractor.h"

namespace quillory {

// Quotes from the MSN Money UK page, asked for the symbol on the London market ("GB:" + symbol). The name
// follows the heading div, the price follows the "Net Asset Value" label (funds) or the first empty br tag,
// and the change is the text of the next span. The steps share `cursor` and must run in that order.
class MsnMoneyUk : public StockDataExtractor {
public:
    MsnMoneyUk() = default;
    ~MsnMoneyUk() override = default;

    bool Run() override;

    bool FindName();
    bool FindLastTrade();
    bool FindChange();

private:
    int32_t cursor = 0;
};

} // namespace quillory
