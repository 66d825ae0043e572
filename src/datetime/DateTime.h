#pragma once

#include <string>

#include "datetime/Date.h"
#include "datetime/Time.h"

namespace quillory {

// A local timestamp: a Date and a Time.
class DateTime : public XMLPersistable {
public:
    DateTime() = default;
    DateTime(const Date& date, const Time& time) : date(date), time(time) {}
    DateTime(const DateTime&) = default;
    DateTime& operator=(const DateTime&) = default;
    ~DateTime() override = default;

    const Date& GetDate() const { return date; }
    const Time& GetTime() const { return time; }

    // Reads the clock twice, date first.
    static DateTime GetCurrentDateTime();
    // Seconds from `other` to this timestamp: positive when `other` is earlier.
    int32_t SecondsFrom(const DateTime& other) const;

    std::string CreateXMLAttrString() const; // "2010-05-07 09:05:03"
    void ParseXMLAttrString(const std::string& text);

    void CreateXML(XMLDoc& doc) const override;
    void ParseXML(const XMLDoc& doc, unsigned& index) override;

private:
    Date date;
    Time time;
};

} // namespace quillory
