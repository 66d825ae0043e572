#pragma once

#include <cstdint>
#include <string>

#include "markup/XMLPersistable.h"

namespace quillory {

// A time of day. Out-of-range values are logged but kept; only the XML readers throw.
class Time : public XMLPersistable {
public:
    Time() = default;
    Time(uint8_t hour, uint8_t minute, uint8_t second);
    Time(const Time&) = default;
    Time& operator=(const Time&) = default;
    ~Time() override = default;

    uint8_t GetHour() const { return hour; }
    uint8_t GetMinute() const { return minute; }
    uint8_t GetSecond() const { return second; }

    static Time GetCurrentTime();
    // Seconds from `other` to this time of day; times of day do not wrap at midnight.
    int SecondsFrom(const Time& other) const;

    std::string CreateXMLAttrString() const; // "09:05:03"
    void ParseXMLAttrString(const std::string& text);

    void CreateXML(XMLDoc& doc) const override;
    void ParseXML(const XMLDoc& doc, unsigned& index) override;

private:
    uint8_t hour = 0;
    uint8_t minute = 0;
    uint8_t second = 0;
};

} // namespace quillory
