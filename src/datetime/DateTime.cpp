#include "DateTime.h"

#include "foundation/Exception.h"
#include "foundation/StringUtils.h"

namespace quillory {

DateTime DateTime::GetCurrentDateTime() {
    Date today = Date::GetCurrentDate();
    return DateTime(today, Time::GetCurrentTime());
}

int32_t DateTime::SecondsFrom(const DateTime& other) const {
    long long seconds = static_cast<long long>(date.DaysFrom(other.date)) * 86400 + time.SecondsFrom(other.time);
    return static_cast<int32_t>(seconds);
}

std::string DateTime::CreateXMLAttrString() const {
    return date.CreateXMLAttrString() + " " + time.CreateXMLAttrString();
}

void DateTime::ParseXMLAttrString(const std::string& text) {
    if (text.size() != 19)
        throw XMLException("DateTime::ParseXMLAttrString() - Invalid DateTime format!");
    date.ParseXMLAttrString(text.substr(0, 10));
    time.ParseXMLAttrString(text.substr(11, 8));
}

void DateTime::CreateXML(XMLDoc& doc) const {
    doc.AddEmptyTag("DateTime", {XMLAttribute("Value", CreateXMLAttrString(), true)});
}

void DateTime::ParseXML(const XMLDoc& doc, unsigned& index) {
    const XMLTag& tag = doc[index];
    if (tag.GetName() != "DateTime" || tag.GetKind() != XMLTagKind::EMPTY)
        throw XMLException("DateTime::ParseXML() - Invalid start tag!");
    std::string value = tag.GetAttribute("Value");
    StringUtils::Trim(value);
    if (value.empty())
        throw XMLException("DateTime::ParseXML() - invalid date representation!");
    if (tag.GetAttributes().size() > 1)
        throw XMLException("DateTime::ParseXML() - unexpected attribute!");
    ParseXMLAttrString(value);
    ++index;
}

} // namespace quillory
