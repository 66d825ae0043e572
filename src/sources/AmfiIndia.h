#pragma once

#include <string>

#include "sources/StockDataExtractor.h"

namespace quillory {

// Net asset values of Indian mutual funds from the AMFI text file: lines of semicolon-separated fields,
// scheme code, scheme name, net asset value and more. The file is not markup and is never tokenized.
class AmfiIndia : public StockDataExtractor {
public:
    AmfiIndia() = default;
    ~AmfiIndia() override = default;

    bool Run() override;

    // Reads the line of the scheme `code` from `pageText`.
    bool FindFund(const std::string& code);
};

} // namespace quillory
