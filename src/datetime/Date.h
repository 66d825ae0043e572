#pragma once

#include <string>

#include "markup/XMLPersistable.h"

namespace quillory {

// A calendar day without time of day or zone. Never throws from construction: an invalid value is
// logged and replaced by the default date 1971-01-01. Only the XML readers throw.
class Date : public XMLPersistable {
public:
    Date() = default;
    Date(int year, int month, int day);
    Date(const Date&) = default;
    Date& operator=(const Date&) = default;
    ~Date() override = default;

    int GetYear() const { return year; }
    int GetMonth() const { return month; }
    int GetDay() const { return day; }

    static Date GetCurrentDate();
    static bool IsLeapYear(int year);
    static int GetDaysInMonth(int month, int year); // 0 (logged) for a month outside 1..12

    bool operator==(const Date& other) const;
    bool operator<(const Date& other) const;
    bool operator<=(const Date& other) const;
    bool operator>(const Date& other) const;

    // Whole days from `other` to this date (this minus other), by calendar arithmetic.
    int DaysFrom(const Date& other) const;

    std::string CreateXMLAttrString() const; // "2010-05-07"
    // The same text into a buffer of at least kXMLAttrMax characters; returns its end.
    static constexpr int kXMLAttrMax = 48;
    char* WriteXMLAttrString(char* out) const;
    // Reads "yyyy-mm-dd" back; each field is stored as soon as it is read, so a failure keeps the
    // fields read before it.
    void ParseXMLAttrString(const std::string& text);

    void CreateXML(XMLDoc& doc) const override;
    void ParseXML(const XMLDoc& doc, unsigned& index) override;

private:
    int year = 1971;
    int month = 1;
    int day = 1;
};

} // namespace quillory
