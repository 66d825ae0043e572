#include <gtest/gtest.h>

#include "TestSupport.h"
#include "datetime/DateTime.h"
#include "foundation/Exception.h"

using namespace quillory;
using namespace quillory::test;

namespace {

template <typename T> std::string ParseError(const std::string& markup) {
    XMLDoc doc;
    doc.Parse(markup);
    unsigned index = 0;
    T value;
    try {
        value.ParseXML(doc, index);
    } catch (const XMLException& e) {
        return e.Message();
    }
    return "ok " + value.CreateXMLAttrString();
}

template <typename T> std::string AttrError(T& value, const std::string& text) {
    try {
        value.ParseXMLAttrString(text);
    } catch (const XMLException& e) {
        return e.Message();
    }
    return "ok";
}

} // namespace

TEST(TimeTest, ConstructionLogsTheFirstBadFieldAndKeepsValues) {
    {
        LogCapture capture;
        Time t(24, 0, 0);
        EXPECT_EQ(t.GetHour(), 24);
        EXPECT_EQ(capture.Texts(), std::vector<std::string>{"ERROR - Time::Time() - Invalid hour!"});
    }
    {
        LogCapture capture;
        Time t(10, 60, 60);
        EXPECT_EQ(t.CreateXMLAttrString(), "10:60:60");
        EXPECT_EQ(capture.Texts(), std::vector<std::string>{"ERROR - Time::Time() - Invalid minute!"});
    }
}

TEST(TimeTest, AttributeText) {
    Time t;
    EXPECT_EQ(AttrError(t, "23:59:59"), "ok");
    EXPECT_EQ(t.CreateXMLAttrString(), "23:59:59");
    EXPECT_EQ(AttrError(t, "24:00:00"), "Time::CreateXMLAttrString() - Invalid hour!");
    EXPECT_EQ(t.GetHour(), 24); // stored before the check
    EXPECT_EQ(AttrError(t, "9:05:03"), "Time::ParseXMLAttrString() - Invalid string!");
    EXPECT_EQ(AttrError(t, "10:61:00"), "Time::CreateXMLAttrString() - Invalid minute!");
    EXPECT_EQ(AttrError(t, "10:00:75"), "Time::CreateXMLAttrString() - Invalid second!");
    EXPECT_EQ(AttrError(t, "-1:00:00"), "Time::CreateXMLAttrString() - Invalid hour!");
}

TEST(TimeTest, Differences) {
    EXPECT_EQ(Time(0, 0, 10).SecondsFrom(Time(23, 59, 50)), -86380);
    EXPECT_EQ(DateTime(Date(2010, 5, 8), Time(0, 0, 10)).SecondsFrom(DateTime(Date(2010, 5, 7), Time(23, 59, 50))), 20);
    EXPECT_EQ(DateTime(Date(2010, 5, 7), Time(0, 0, 0)).SecondsFrom(DateTime(Date(2010, 5, 8), Time(0, 1, 1))), -86461);
}

TEST(TimeTest, CurrentTimeComesFromTheClock) {
    ScopedClock clock(2010, 5, 7, 9, 5, 3);
    EXPECT_EQ(Time::GetCurrentTime().CreateXMLAttrString(), "09:05:03");
    DateTime before = DateTime::GetCurrentDateTime();
    EXPECT_EQ(before.CreateXMLAttrString(), "2010-05-07 09:05:03");
    clock.Advance(61);
    EXPECT_EQ(DateTime::GetCurrentDateTime().SecondsFrom(before), 61);
}

TEST(TimeTest, DateTimeText) {
    DateTime stamp;
    EXPECT_EQ(AttrError(stamp, "2010-05-07T09:05:03"), "ok");
    EXPECT_EQ(stamp.CreateXMLAttrString(), "2010-05-07 09:05:03");
    EXPECT_EQ(AttrError(stamp, "2010-05-07 9:05:03"), "DateTime::ParseXMLAttrString() - Invalid DateTime format!");
    EXPECT_EQ(AttrError(stamp, "2010-00-07 09:05:03"), "Date::CreateXMLAttrString() - Invalid month!");
}

TEST(TimeTest, Elements) {
    XMLDoc doc;
    Time(9, 5, 3).CreateXML(doc);
    DateTime(Date(2010, 5, 7), Time(9, 5, 3)).CreateXML(doc);
    std::string text;
    doc.CreateText(text);
    EXPECT_EQ(text, "<Time value=\"09:05:03\"/>\r\n<DateTime Value=\"2010-05-07 09:05:03\"/>\r\n");

    struct Case {
        const char* markup;
        const char* result;
    } times[] = {
        {"<Time value=\" 09:05:03\r\n\"/>", "ok 09:05:03"},
        {"<Time Value=\"09:05:03\"/>", "Time::ParseXML() - Invalid time representation!"},
        {"<Time value=\"09:05:03\" x=\"1\"/>", "Time::ParseXML() - unexpected attribute!"},
        {"<Time value=\"09:05:03\">", "Time::ParseXML() - Invalid start tag!"},
    };
    for (const Case& c : times)
        EXPECT_EQ(ParseError<Time>(c.markup), c.result) << c.markup;

    struct Case stamps[] = {
        {"<DateTime Value=\"2010-05-07 09:05:03\"/>", "ok 2010-05-07 09:05:03"},
        {"<DateTime Value=\"\"/>", "DateTime::ParseXML() - invalid date representation!"},
        {"<DateTime Value=\"2010-05-07 09:05:03\" x=\"\"/>", "DateTime::ParseXML() - unexpected attribute!"},
        {"<DateTime Value=\"2010-05-07\"/>", "DateTime::ParseXMLAttrString() - Invalid DateTime format!"},
        {"<Date Value=\"2010-05-07 09:05:03\"/>", "DateTime::ParseXML() - Invalid start tag!"},
    };
    for (const Case& c : stamps)
        EXPECT_EQ(ParseError<DateTime>(c.markup), c.result) << c.markup;
}
