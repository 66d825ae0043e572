#include "model/StockAlert.h"

#include "foundation/DoubleText.h"
#include "foundation/Exception.h"
#include "foundation/StringUtils.h"
#include "markup/XMLDoc.h"

namespace quillory {

void StockAlert::SetUpper(bool enabled, double limit) {
    upperAlert = enabled;
    upperLimit = limit;
}

void StockAlert::SetLower(bool enabled, double limit) {
    lowerAlert = enabled;
    lowerLimit = limit;
}

bool StockAlert::IsAboveUpperLimit(double price) const {
    return upperAlert && price > upperLimit;
}

bool StockAlert::IsBelowLowerLimit(double price) const {
    return lowerAlert && price < lowerLimit;
}

void StockAlert::AppendXMLText(std::string& out) const {
    out += "<StockAlert UpperAlert=\"";
    out += upperAlert ? "TRUE" : "FALSE";
    out += "\" UpperLimit=\"";
    StringUtils::AppendDouble(out, upperLimit);
    out += "\" LowerAlert=\"";
    out += lowerAlert ? "TRUE" : "FALSE";
    out += "\" LowerLimit=\"";
    StringUtils::AppendDouble(out, lowerLimit);
    out += "\"/>\r\n";
}

void StockAlert::ParseXML(const XMLDoc& doc, unsigned& index) {
    *this = StockAlert();
    const XMLTag& tag = doc[index];
    if (tag.GetKind() != XMLTagKind::EMPTY || tag.GetName() != "StockAlert")
        throw XMLException("StockAlert::ParseXML() - Invalid tag: " + tag.GetName());
    tag.GetAttributeBool("UpperAlert", upperAlert);
    tag.GetAttributeDouble("UpperLimit", upperLimit);
    tag.GetAttributeBool("LowerAlert", lowerAlert);
    tag.GetAttributeDouble("LowerLimit", lowerLimit);
    ++index;
}

} // namespace quillory
