#include <gtest/gtest.h>

#include "TestSupport.h"
#include "datetime/Date.h"
#include "foundation/Exception.h"

using namespace quillory;
using namespace quillory::test;

namespace {

std::string Text(const Date& d) {
    return d.CreateXMLAttrString();
}

// Parses one token of markup as a Date element.
Date ParseElement(const std::string& markup, unsigned& index) {
    XMLDoc doc;
    doc.Parse(markup);
    Date date;
    date.ParseXML(doc, index);
    return date;
}

std::string ElementError(const std::string& markup) {
    unsigned index = 0;
    try {
        ParseElement(markup, index);
    } catch (const XMLException& e) {
        return e.Message();
    }
    return "no error";
}

} // namespace

TEST(DateTest, ConstructionValidatesAndFallsBack) {
    struct Case {
        int y, m, d;
        const char* text;
        const char* logged; // nullptr: nothing logged
    } cases[] = {
        {0, 0, 0, "1971-01-01", nullptr},
        {2010, 2, 29, "1971-01-01", "Date::Date - Invalid day!"},
        {2008, 2, 29, "2008-02-29", nullptr},
        {2000, 2, 29, "2000-02-29", nullptr},
        {1900, 2, 29, "1971-01-01", "Date::Date - Invalid day!"},
        {-1, 5, 5, "1971-01-01", "Date::Date - Invalid year!"},
        {0, 5, 5, "0000-05-05", nullptr},
        {2010, 13, 1, "1971-01-01", "Date::Date - Invalid month!"},
        {2010, 4, 31, "1971-01-01", "Date::Date - Invalid day!"},
        {2010, 12, 31, "2010-12-31", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        LogCapture capture;
        EXPECT_EQ(Text(Date(c.y, c.m, c.d)), c.text);
        if (c.logged)
            EXPECT_EQ(capture.Texts(), std::vector<std::string>{std::string("ERROR - ") + c.logged});
        else
            EXPECT_TRUE(capture.Lines().empty());
    }
    LogCapture capture;
    EXPECT_EQ(Date::GetDaysInMonth(13, 2010), 0);
    EXPECT_EQ(capture.Texts(), std::vector<std::string>{"ERROR - Invalid month!"});
}

TEST(DateTest, CurrentDateComesFromTheClock) {
    ScopedClock clock(2010, 5, 7, 23, 59, 59);
    EXPECT_EQ(Text(Date::GetCurrentDate()), "2010-05-07");
    clock.Advance(1);
    EXPECT_EQ(Text(Date::GetCurrentDate()), "2010-05-08");
}

TEST(DateTest, ComparisonAndDaysFrom) {
    Date a(2010, 5, 7), b(2009, 12, 31), c(2010, 5, 7);
    EXPECT_TRUE(a > b);
    EXPECT_TRUE(b < a);
    EXPECT_TRUE(a == c);
    EXPECT_FALSE(a < c);
    EXPECT_FALSE(c < a);
    EXPECT_TRUE(a <= c);
    EXPECT_FALSE(a > c);

    EXPECT_EQ(Date(2010, 3, 1).DaysFrom(Date(2010, 2, 1)), 28);
    EXPECT_EQ(Date(2010, 2, 1).DaysFrom(Date(2010, 3, 1)), -28);
    EXPECT_EQ(Date(2038, 1, 19).DaysFrom(Date(1970, 1, 1)), 24855);
    EXPECT_EQ(Date(2001, 3, 1).DaysFrom(Date(2000, 2, 28)), 367); // leap day of 2000 counted
}

TEST(DateTest, AttributeTextKeepsFieldsReadBeforeAnError) {
    Date d;
    d.ParseXMLAttrString("2010/05/07");
    EXPECT_EQ(Text(d), "2010-05-07");
    d.ParseXMLAttrString("2010-13-45"); // ranges are not checked here
    EXPECT_EQ(d.GetMonth(), 13);
    EXPECT_EQ(d.GetDay(), 45);

    struct Case {
        const char* text;
        const char* error;
        const char* after; // fields read before the failing one keep their new values
    } cases[] = {
        {"10-05-07", "Date::CreateXMLAttrString() - Invalid date attribute!", "1999-09-09"},
        {"0000-05-07", "Date::CreateXMLAttrString() - Invalid year!", "0000-09-09"},
        {"2011-00-07", "Date::CreateXMLAttrString() - Invalid month!", "2011-00-09"},
        {"2012-03-xx", "Date::CreateXMLAttrString() - Invalid day!", "2012-03-00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Date partial(1999, 9, 9);
        try {
            partial.ParseXMLAttrString(c.text);
            ADD_FAILURE() << "no exception";
        } catch (const XMLException& e) {
            EXPECT_EQ(e.Message(), c.error);
        }
        EXPECT_EQ(Text(partial), c.after);
    }
    Date odd;
    odd.ParseXMLAttrString("20x0-01-01");
    EXPECT_EQ(odd.GetYear(), 20);
}

TEST(DateTest, ElementRoundTripAndErrors) {
    XMLDoc doc;
    Date(2010, 5, 7).CreateXML(doc);
    std::string text;
    doc.CreateText(text);
    EXPECT_EQ(text, "<Date Value=\"2010-05-07\"/>\r\n");

    unsigned index = 0;
    EXPECT_EQ(Text(ParseElement("<Date Value=\" 2010-05-07 \"/>", index)), "2010-05-07");
    EXPECT_EQ(index, 1u);

    EXPECT_EQ(ElementError("<Date Value=\"2010-05-07\" Other=\"x\"/>"), "Date::ParseXML() - unexpected attribute!");
    EXPECT_EQ(ElementError("<Date/>"), "Date::ParseXML() - invalid date representation!");
    EXPECT_EQ(ElementError("<Date Value=\"2010-5-7\"/>"), "Date::ParseXML() - invalid date representation!");
    EXPECT_EQ(ElementError("<Date Value=\"2010-05-07\"></Date>"), "Date::ParseXML() - Invalid start tag!");
    EXPECT_EQ(ElementError("<date Value=\"2010-05-07\"/>"), "Date::ParseXML() - Invalid start tag!");
    EXPECT_EQ(ElementError("<Date Value=\"0000-05-07\"/>"), "Date::CreateXMLAttrString() - Invalid year!");
    EXPECT_EQ(ElementError(""), "XMLTag & XMLDoc::operator [] () const - Invalid index!");
}
