#include "model/StockAlert.h"

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

void StockAlert::CreateXML(XMLDoc& doc) const {
    std::vector<XMLAttribute> attributes;
    attributes.reserve(4);
    attributes.emplace_back("UpperAlert", upperAlert);
    attributes.emplace_back("UpperLimit", StringUtils::ToString(upperLimit), true);
    attributes.emplace_back("LowerAlert", lowerAlert);
    attributes.emplace_back("LowerLimit", StringUtils::ToString(lowerLimit), true);
    doc.AddEmptyTag("StockAlert", attributes);
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
