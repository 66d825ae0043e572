#include "model/StockPrice.h"

#include <cstring>
#include <string_view>

#include "foundation/DoubleText.h"
#include "foundation/Exception.h"
#include "foundation/StringUtils.h"
#include "markup/XMLDoc.h"

namespace quillory {

StockPrice::StockPrice() : date(Date::GetCurrentDate()) {}

StockPrice::StockPrice(double price, const Date& date) : price(price), date(date) {}

namespace {

char* WriteText(char* p, std::string_view text) {
    std::memcpy(p, text.data(), text.size());
    return p + text.size();
}

} // namespace

// Built in one buffer and appended once: a history holds thousands of these lines.
void StockPrice::AppendXMLText(std::string& out) const {
    char line[32 + Date::kXMLAttrMax + 2 * StringUtils::kDoubleTextMax];
    char* p = date.WriteXMLAttrString(WriteText(line, "<StockPrice Date=\""));
    p = StringUtils::WriteDouble(WriteText(p, "\" Price=\""), price);
    if (change != 0)
        p = StringUtils::WriteDouble(WriteText(p, "\" Change=\""), change);
    p = WriteText(p, "\"/>\r\n");
    out.append(line, p);
}

void StockPrice::ParseXML(const XMLDoc& doc, unsigned& index) {
    // The record starts from a blank entry (price 0, dated today). A valid date text sets all three
    // date fields, so "today" only shows when reading fails: the clock is read on that path alone,
    // not once for every entry of a large file.
    price = 0;
    change = 0;
    bool readingDate = false;
    std::string text;
    try {
        const XMLTag& tag = doc[index];
        if (tag.GetKind() != XMLTagKind::EMPTY || tag.GetName() != "StockPrice")
            throw XMLException("StockPrice::ParseXML() - Invalid tag: " + tag.GetName());
        tag.GetAttributeDouble("Price", price);
        tag.GetAttributeDouble("Change", change);
        text = tag.GetAttribute("Date");
        readingDate = true;
        Date parsed;
        parsed.ParseXMLAttrString(text);
        date = parsed;
    } catch (const XMLException&) {
        date = Date::GetCurrentDate();
        if (readingDate) {
            try {
                date.ParseXMLAttrString(text); // keeps the fields read before the failing one
            } catch (const XMLException&) {
            }
        }
        throw;
    }
    ++index;
}

} // namespace quillory
