#pragma once

#include <string>

#include "sources/StockDataExtractor.h"

namespace quillory {

// Quotes from Finam (Russian market). The instrument code is looked up on up to five code-list pages, where
// each instrument is an input element carrying the code, followed three tokens later by its symbol; the
// quote page of that code then gives name and price in roubles.
class Finam : public StockDataExtractor {
public:
    Finam() = default;
    ~Finam() override = default;

    bool Run() override;

    // Downloads one code-list page and reads the code of the symbol (letter case ignored) into `code`.
    bool FindCode(const std::string& url, std::string& code);
    // Downloads the quote page of the code, whose path carries the code as four or more hex digits.
    bool RetrieveQuotePage(const std::string& code);
    bool FindName();
    bool FindLastTrade();
};

} // namespace quillory
