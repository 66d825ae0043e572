#pragma once

#include <initializer_list>
#include <string>

#include "sources/StockDataExtractor.h"

namespace quillory {

// Quotes from the RTS exchange's English security page: labelled rows, each value the first text after its
// label, with several spellings tried per label. A price of "-" means no trade today.
class RussianTradeSystem : public StockDataExtractor {
public:
    RussianTradeSystem() = default;
    ~RussianTradeSystem() override = default;

    bool Run() override;

    // The index of the first of `labels` (tried in order) that the page holds as a text token, or -1.
    int FindFirstLabel(std::initializer_list<const char*> labels);
    bool FindName();
    bool FindLastTrade();
    // Required: a page without a currency label fails the run. "RUR" is reported as "RUB".
    bool FindCurrency();
    bool FindLastTradeTime();
    bool FindChangePercent();

    // Turns an exchange-style number into C notation: blanks and a trailing "(...)" go, the last "." or ","
    // is the decimal point and every other one a thousands separator. "1 234,56" and "1,234.56 (2.5%)" both
    // give "1234.56"; a single separator is always the decimal one, so "1,234" gives "1.234".
    static void CleanPrice(std::string& text);
};

} // namespace quillory
