#include "Date.h"

#include <algorithm>
#include <cstdio>

#include "foundation/Clock.h"
#include "foundation/Exception.h"
#include "foundation/Log.h"
#include "foundation/StringUtils.h"

namespace quillory {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

// C atoi of a fixed slice of the text, without a temporary copy: the data file holds a date per
// price entry.
int AtoiSlice(const std::string& text, size_t pos, size_t length) {
    size_t i = pos, end = pos + length;
    while (i < end && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    int value = 0;
    for (; i < end && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10 + (text[i] - '0');
    return negative ? -value : value;
}

} // namespace

Date::Date(int y, int m, int d) {
    if (y == 0 && m == 0 && d == 0)
        return;
    if (y < 0) {
        LogError("Date::Date - Invalid year!");
        return;
    }
    if (m < 1 || m > 12) {
        LogError("Date::Date - Invalid month!");
        return;
    }
    if (d < 1 || d > GetDaysInMonth(m, y)) {
        LogError("Date::Date - Invalid day!");
        return;
    }
    year = y;
    month = m;
    day = d;
}

Date Date::GetCurrentDate() {
    std::tm local{};
    if (!Clock::ToLocal(Clock::Now(), local)) {
        LogError("Date::GetCurrentDate() - time is NULL!");
        return Date();
    }
    return Date(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

bool Date::IsLeapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int Date::GetDaysInMonth(int m, int y) {
    switch (m) {
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12:
        return 31;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    case 2:
        return IsLeapYear(y) ? 29 : 28;
    default:
        LogError("Invalid month!");
        return 0;
    }
}

bool Date::operator==(const Date& o) const {
    return year == o.year && month == o.month && day == o.day;
}

bool Date::operator<(const Date& o) const {
    if (year != o.year)
        return year < o.year;
    if (month != o.month)
        return month < o.month;
    return day < o.day;
}

bool Date::operator<=(const Date& o) const {
    return *this < o || *this == o;
}

bool Date::operator>(const Date& o) const {
    return !(*this <= o);
}

int Date::DaysFrom(const Date& other) const {
    return static_cast<int>(
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
        DaysFromCivil(other.year, static_cast<unsigned>(other.month), static_cast<unsigned>(other.day)));
}

std::string Date::CreateXMLAttrString() const {
    char buffer[kXMLAttrMax];
    return std::string(buffer, WriteXMLAttrString(buffer));
}

// "%04d-%02d-%02d", by hand for the dates a data file holds: a save writes millions of them.
char* Date::WriteXMLAttrString(char* out) const {
    if (year < 0 || year > 9999 || month < 0 || month > 99 || day < 0 || day > 99) {
        const int n = std::snprintf(out, kXMLAttrMax, "%04d-%02d-%02d", year, month, day);
        return out + std::min(n, kXMLAttrMax - 1);
    }
    const auto two = [](char* p, int value) {
        *p++ = static_cast<char>('0' + value / 10);
        *p++ = static_cast<char>('0' + value % 10);
        return p;
    };
    char* p = two(two(out, year / 100), year % 100);
    *p++ = '-';
    p = two(p, month);
    *p++ = '-';
    return two(p, day);
}

void Date::ParseXMLAttrString(const std::string& text) {
    if (text.size() != 10)
        throw XMLException("Date::CreateXMLAttrString() - Invalid date attribute!");
    year = AtoiSlice(text, 0, 4);
    if (year == 0)
        throw XMLException("Date::CreateXMLAttrString() - Invalid year!");
    month = AtoiSlice(text, 5, 2);
    if (month == 0)
        throw XMLException("Date::CreateXMLAttrString() - Invalid month!");
    day = AtoiSlice(text, 8, 2);
    if (day == 0)
        throw XMLException("Date::CreateXMLAttrString() - Invalid day!");
}

void Date::CreateXML(XMLDoc& doc) const {
    doc.AddEmptyTag("Date", {XMLAttribute("Value", CreateXMLAttrString(), true)});
}

void Date::ParseXML(const XMLDoc& doc, unsigned& index) {
    const XMLTag& tag = doc[index];
    if (tag.GetName() != "Date" || tag.GetKind() != XMLTagKind::EMPTY)
        throw XMLException("Date::ParseXML() - Invalid start tag!");
    std::string value = tag.GetAttribute("Value");
    StringUtils::Trim(value);
    if (value.size() != 10)
        throw XMLException("Date::ParseXML() - invalid date representation!");
    if (tag.GetAttributes().size() >= 2)
        throw XMLException("Date::ParseXML() - unexpected attribute!");
    ParseXMLAttrString(value);
    ++index;
}

} // namespace quillory
