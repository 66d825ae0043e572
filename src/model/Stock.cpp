#include "model/Stock.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "foundation/AmountHelper.h"
#include "foundation/DoubleText.h"
#include "foundation/Exception.h"
#include "foundation/StringUtils.h"
#include "markup/XMLDoc.h"
#include "markup/XMLEscape.h"

namespace quillory {

namespace {

std::string FormatFixed2(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

} // namespace

Stock::Stock(std::string symbol, std::string name) : symbol(std::move(symbol)), name(std::move(name)) {}

StockPrice Stock::GetLastPrice() const {
    StockPrice last(0, Date());
    for (const StockPrice& entry : prices)
        if (entry.GetDate() > last.GetDate())
            last = entry;
    return last;
}

void Stock::AddPrice(const StockPrice& entry) {
    for (StockPrice& existing : prices) {
        if (existing.GetDate() == entry.GetDate()) {
            existing = entry;
            return;
        }
    }
    prices.push_back(entry);
}

void Stock::CheckAlerts(double price, std::list<std::string>& messages) const {
    if (alert.IsBelowLowerLimit(price))
        messages.push_back(symbol + " price is " + AmountHelper::FormatAmount(price) +
                           " which is below your limit of " + AmountHelper::FormatAmount(alert.GetLowerLimit()) + "!");
    if (alert.IsAboveUpperLimit(price))
        messages.push_back(symbol + " price is " + AmountHelper::FormatAmount(price) +
                           " which is above your limit of " + AmountHelper::FormatAmount(alert.GetUpperLimit()) + "!");
}

int Stock::InsertListRow(ListView& view) const {
    int row = view.InsertItem(0, symbol);
    if (row >= 0)
        UpdateListRow(row, view);
    return row;
}

void Stock::UpdateListRow(int row, ListView& view) const {
    view.SetItemText(row, 0, symbol);
    view.SetItemText(row, 1, name);
    StockPrice last = GetLastPrice();
    if (last.GetPrice() == 0) {
        view.SetItemText(row, 2, "N/A");
        view.SetItemText(row, 3, "N/A");
    } else {
        view.SetItemText(row, 2, FormatFixed2(last.GetPrice()));
        view.SetItemText(row, 3, FormatFixed2(last.GetChange()));
    }
}

void Stock::FillPriceHistory(ListView& view) const {
    view.DeleteAllItems();
    for (const StockPrice& entry : prices) {
        char day[64];
        const Date& date = entry.GetDate();
        std::snprintf(day, sizeof day, "%04d/%02d/%02d", date.GetYear(), date.GetMonth(), date.GetDay());
        int row = view.InsertItem(0, day);
        if (row >= 0)
            view.SetItemText(row, 1, FormatFixed2(entry.GetPrice()));
    }
}

namespace {

void AppendAttribute(std::string& out, const char* name, const std::string& value) {
    out += ' ';
    out += name;
    out += "=\"";
    out += value;
    out += '"';
}

} // namespace

void Stock::AppendXMLText(std::string& out) const {
    out += "<Stock";
    AppendAttribute(out, "Symbol", XMLEscape(symbol));
    if (!name.empty())
        AppendAttribute(out, "Name", XMLEscape(name));
    if (quantity != 0)
        AppendAttribute(out, "Quantity", StringUtils::ToString(quantity));
    AppendAttribute(out, "DataSource", XMLEscape(dataSource));
    if (!currency.empty())
        AppendAttribute(out, "Currency", XMLEscape(currency));
    out += ">\r\n";
    alert.AppendXMLText(out);
    out += "<StockPriceList>\r\n";
    for (const StockPrice& entry : prices)
        entry.AppendXMLText(out);
    out += "</StockPriceList>\r\n</Stock>\r\n";
}

void Stock::ParseXML(const XMLDoc& doc, unsigned& index) {
    *this = Stock();
    const XMLTag& start = doc[index];
    if (start.GetKind() != XMLTagKind::START || start.GetName() != "Stock")
        throw XMLException("Stock::ParseXML() - Invalid start tag: " + start.GetName());
    symbol = XMLUnescape(start.GetAttribute("Symbol"));
    name = XMLUnescape(start.GetAttribute("Name"));
    start.GetAttributeDouble("Quantity", quantity);
    dataSource = XMLUnescape(start.GetAttribute("DataSource"));
    currency = XMLUnescape(start.GetAttribute("Currency"));
    ++index;
    alert.ParseXML(doc, index);
    prices.ParseXML(doc, index);
    const XMLTag& end = doc[index];
    if (end.GetKind() != XMLTagKind::END || end.GetName() != "Stock")
        throw XMLException("Stock::ParseXML() - Invalid end tag: " + end.GetName());
    ++index;
}

} // namespace quillory
