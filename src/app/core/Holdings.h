#pragma once

#include <cstddef>
#include <list>
#include <string>
#include <vector>

#include "model/Stock.h"

namespace quillory {

// What the main window shows about holdings: the "Change %" and "Value" cells of a row, the
// totals per currency in the status line and the tray icon's tooltip.
namespace Holdings {

// "-0.36%" from the latest entry's price and change; "N/A" without a price or a previous price.
std::string ChangePercentText(const Stock& stock);
// Quantity x latest price, "%.2f"; empty for no holding, "N/A" for a holding without a price.
std::string ValueText(const Stock& stock);
bool AnyHolding(const std::list<Stock>& stocks);

struct CurrencyTotal {
    std::string currency; // empty for investments no source gave a currency for
    double value = 0;     // sum of quantity x latest price
    double change = 0;    // sum of quantity x latest change: how much the total moved today
};
// One total per currency, in the byte order of the codes; holdings without a price count nothing.
std::vector<CurrencyTotal> TotalsPerCurrency(const std::list<Stock>& stocks);
// "Holdings: 12,345.67 USD (+120.50, +0.98%)  800.00 EUR (-4.00, -0.50%)"; empty without holdings.
std::string TotalsText(const std::vector<CurrencyTotal>& totals);

// "Quillory" and one line per investment in list order ("MSFT 411.20 -0.36%"), as many as fit in
// `maxChars`; the lines left out are counted on a last line.
std::string TrayToolTip(const std::vector<const Stock*>& rows, std::size_t maxChars = 480);

} // namespace Holdings

} // namespace quillory
