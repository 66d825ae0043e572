#pragma once

#include "sources/StockDataExtractor.h"

namespace quillory {

// Quotes from The Economic Times: a company ID made only of digits asks for the summary page, any other
// symbol for the current-quote page. The name follows the h1 heading, the price follows the first strong
// tag and the change stands five tokens after that tag.
class IndiaTimes : public StockDataExtractor {
public:
    IndiaTimes() = default;
    ~IndiaTimes() override = default;

    bool Run() override;

    bool FindName();
    bool FindLastTrade();
    bool FindChange();

private:
    // The text token `offset` places after the first tag `tagName`, or -1 after logging why not.
    int TextAfter(const std::string& tagName, int offset, const std::string& missingText, const std::string& rangeText,
                  const std::string& kindText);
};

} // namespace quillory
