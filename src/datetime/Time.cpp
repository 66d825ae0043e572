#include "Time.h"

#include <cstdio>
#include <cstdlib>

#include "foundation/Clock.h"
#include "foundation/Exception.h"
#include "foundation/Log.h"
#include "foundation/StringUtils.h"

namespace quillory {

Time::Time(uint8_t h, uint8_t m, uint8_t s) : hour(h), minute(m), second(s) {
    if (hour > 23)
        LogError("Time::Time() - Invalid hour!");
    else if (minute > 59)
        LogError("Time::Time() - Invalid minute!");
    else if (second > 59)
        LogError("Time::Time() - Invalid second!");
}

Time Time::GetCurrentTime() {
    std::tm local{};
    if (!Clock::ToLocal(Clock::Now(), local)) {
        LogError("Time::GetCurrentTime() - localtime returned NULL pointer!");
        return Time();
    }
    return Time(static_cast<uint8_t>(local.tm_hour), static_cast<uint8_t>(local.tm_min),
                static_cast<uint8_t>(local.tm_sec));
}

int Time::SecondsFrom(const Time& other) const {
    return (second + 60 * minute + 3600 * hour) - (other.second + 60 * other.minute + 3600 * other.hour);
}

std::string Time::CreateXMLAttrString() const {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", hour, minute, second);
    return buffer;
}

void Time::ParseXMLAttrString(const std::string& text) {
    if (text.size() != 8)
        throw XMLException("Time::ParseXMLAttrString() - Invalid string!");
    hour = static_cast<uint8_t>(std::atoi(text.substr(0, 2).c_str()));
    if (hour > 23)
        throw XMLException("Time::CreateXMLAttrString() - Invalid hour!");
    minute = static_cast<uint8_t>(std::atoi(text.substr(3, 2).c_str()));
    if (minute > 59)
        throw XMLException("Time::CreateXMLAttrString() - Invalid minute!");
    second = static_cast<uint8_t>(std::atoi(text.substr(6, 2).c_str()));
    if (second > 59)
        throw XMLException("Time::CreateXMLAttrString() - Invalid second!");
}

void Time::CreateXML(XMLDoc& doc) const {
    doc.AddEmptyTag("Time", {XMLAttribute("value", CreateXMLAttrString(), true)});
}

void Time::ParseXML(const XMLDoc& doc, unsigned& index) {
    const XMLTag& tag = doc[index];
    if (tag.GetName() != "Time" || tag.GetKind() != XMLTagKind::EMPTY)
        throw XMLException("Time::ParseXML() - Invalid start tag!");
    std::string value = tag.GetAttribute("value");
    StringUtils::Trim(value);
    if (value.size() != 8)
        throw XMLException("Time::ParseXML() - Invalid time representation!");
    if (tag.GetAttributes().size() >= 2)
        throw XMLException("Time::ParseXML() - unexpected attribute!");
    ParseXMLAttrString(value);
    ++index;
}

} // namespace quillory
