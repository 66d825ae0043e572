#pragma once

#include <string>

#include "sources/StockDataExtractor.h"

namespace quillory {

// Fund prices in kuna from the Limun fund table, one page listing every fund. In a fund row the name cell
// stands eight tokens before the symbol cell and the price is the fifth text after it.
class LimunHr : public StockDataExtractor {
public:
    LimunHr() = default;
    ~LimunHr() override = default;

    bool Run() override;

    // Reads the row of `symbol` (already upper case) from `document`.
    bool FindStock(const std::string& symbol);
};

} // namespace quillory
