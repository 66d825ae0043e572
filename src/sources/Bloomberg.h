#pragma once

#include "sources/StockDataExtractor.h"

namespace quillory {

// Quotes from the Bloomberg quote page: the name follows the h1 heading, price and change follow their
// text labels. A symbol such as IBM:US is sent as IBM%3AUS.
class Bloomberg : public StockDataExtractor {
public:
    Bloomberg() = default;
    ~Bloomberg() override = default;

    bool Run() override;

    // The heading often repeats the symbol in front of the name ("IBM:US International Business Machines").
    bool FindName();
    bool FindLastTrade();
    // A change of "N.A." counts as found but leaves "Change" alone.
    bool FindChange();
};

} // namespace quillory
