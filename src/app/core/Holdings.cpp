#include "app/core/Holdings.h"

#include <cmath>
#include <cstdio>
#include <map>

#include "foundation/AmountHelper.h"

namespace quillory::Holdings {

namespace {

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The price before today's change, or 0 when there is none to divide by.
double PreviousPrice(const StockPrice& last) {
    const double previous = last.GetPrice() - last.GetChange();
    return std::isfinite(previous) && previous != 0 ? previous : 0;
}

std::string SignedAmount(double value) {
    const std::string text = AmountHelper::FormatAmount(value);
    return value > 0 ? "+" + text : text;
}

} // namespace

std::string ChangePercentText(const Stock& stock) {
    const StockPrice last = stock.GetLastPrice();
    const double previous = PreviousPrice(last);
    if (last.GetPrice() == 0 || previous == 0)
        return "N/A";
    return Format("%.2f%%", last.GetChange() / previous * 100);
}

std::string ValueText(const Stock& stock) {
    if (stock.GetQuantity() == 0)
        return "";
    const double price = stock.GetLastPrice().GetPrice();
    if (price == 0)
        return "N/A";
    return Format("%.2f", stock.GetQuantity() * price);
}

bool AnyHolding(const std::list<Stock>& stocks) {
    for (const Stock& stock : stocks)
        if (stock.GetQuantity() != 0)
            return true;
    return false;
}

std::vector<CurrencyTotal> TotalsPerCurrency(const std::list<Stock>& stocks) {
    std::map<std::string, CurrencyTotal> byCurrency;
    for (const Stock& stock : stocks) {
        const StockPrice last = stock.GetLastPrice();
        if (stock.GetQuantity() == 0 || last.GetPrice() == 0)
            continue;
        CurrencyTotal& total = byCurrency[stock.GetCurrency()];
        total.currency = stock.GetCurrency();
        total.value += stock.GetQuantity() * last.GetPrice();
        total.change += stock.GetQuantity() * last.GetChange();
    }
    std::vector<CurrencyTotal> totals;
    for (auto& [currency, total] : byCurrency)
        totals.push_back(total);
    return totals;
}

std::string TotalsText(const std::vector<CurrencyTotal>& totals) {
    if (totals.empty())
        return "";
    std::string text = "Holdings:";
    for (const CurrencyTotal& total : totals) {
        text += totals.size() > 1 && &total != &totals.front() ? "  " : " ";
        text += AmountHelper::FormatAmount(total.value);
        if (!total.currency.empty())
            text += " " + total.currency;
        text += " (" + SignedAmount(total.change);
        const double before = total.value - total.change;
        if (before != 0 && std::isfinite(before))
            text += ", " + (total.change > 0 ? std::string("+") : std::string()) +
                    Format("%.2f%%", total.change / before * 100);
        text += ")";
    }
    return text;
}

std::string TrayToolTip(const std::vector<const Stock*>& rows, std::size_t maxChars) {
    std::string text = "Quillory";
    std::size_t shown = 0;
    for (const Stock* stock : rows) {
        const StockPrice last = stock->GetLastPrice();
        std::string line = "\n" + stock->GetSymbol() + " ";
        if (last.GetPrice() == 0)
            line += "N/A";
        else
            line += Format("%.2f", last.GetPrice()) + " " + ChangePercentText(*stock);
        // Room is kept for the line that counts what did not fit.
        const std::size_t left = rows.size() - shown - 1;
        const std::size_t reserve = left > 0 ? 24 : 0;
        if (text.size() + line.size() + reserve > maxChars)
            break;
        text += line;
        ++shown;
    }
    if (shown < rows.size())
        text += "\n(" + std::to_string(rows.size() - shown) + " more)";
    return text;
}

} // namespace quillory::Holdings
