#pragma once

#include <string>

#include "WebStockSource.h"

namespace quillory {

// "AMFI India NAV": today's net asset values of every Indian mutual fund scheme in one text file of
// semicolon lines. The symbol is the numeric scheme code. Fills CompanyName, LastTrade, Currency
// and LastTradeTime (the NAV's date). One download serves every scheme asked for within the page
// cache's minute, so a pass over many funds fetches the file once.
class AmfiNav : public WebStockSource {
public:
    static constexpr const char* kName = "AMFI India NAV";
    static constexpr const char* kPath = "/spages/NAVAll.txt";

    ~AmfiNav() override = default;

    bool Run() override;

    // Finds the scheme's row in the file: either "code;ISIN;ISIN;name;NAV;date" or
    // "code;ISIN;ISIN;name;plan;option;NAV;date"; header, category and company lines are passed
    // over. False with `reason` for an unknown code or a NAV that is no number ("N.A.").
    bool ReadAnswer(const std::string& body, std::string& reason);
};

} // namespace quillory
