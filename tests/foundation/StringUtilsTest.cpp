#include <gtest/gtest.h>

#include <list>

#include "foundation/StringUtils.h"

using namespace quillory;
using Pieces = std::vector<std::string>;

TEST(StringUtilsTest, ToStringUsesFixedFormats) {
    EXPECT_EQ(StringUtils::ToString(0.1), "0.1");
    EXPECT_EQ(StringUtils::ToString(1.0 / 3), "0.3333333333333333");
    EXPECT_EQ(StringUtils::ToString(30.0), "30");
    EXPECT_EQ(StringUtils::ToString(-0.25), "-0.25");
    EXPECT_EQ(StringUtils::ToString(int32_t(-2147483647 - 1)), "-2147483648");
    EXPECT_DOUBLE_EQ(StringUtils::ToDouble("12.5xyz"), 12.5);
    EXPECT_EQ(StringUtils::ToDouble("x"), 0);
}

TEST(StringUtilsTest, Trim) {
    std::string a = " \t\r\n abc d \n";
    StringUtils::Trim(a);
    EXPECT_EQ(a, "abc d");
    std::string b = " \r\n\t ";
    StringUtils::Trim(b);
    EXPECT_EQ(b, "");
}

TEST(StringUtilsTest, SplitKeepsEmptyPiecesAndQuotes) {
    Pieces out;
    StringUtils::Split("a,,b", ",", out, false);
    EXPECT_EQ(out, (Pieces{"a", "", "b"}));
    StringUtils::Split("x,\"y,z\",'p,q'", ",", out, true); // appends
    EXPECT_EQ(out, (Pieces{"a", "", "b", "x", "\"y,z\"", "'p", "q'"}));
    StringUtils::Split("", ",", out, true);
    EXPECT_TRUE(out.empty());
    std::list<std::string> list{"old"};
    StringUtils::Split("1;2", ";", list, false);
    EXPECT_EQ(list, (std::list<std::string>{"old", "1", "2"}));
}

TEST(StringUtilsTest, CaseReplaceAndDigits) {
    std::string s = "aBc\xc3\xa9-z";
    StringUtils::ToUpper(s);
    EXPECT_EQ(s, "ABC\xc3\xa9-Z"); // bytes outside ASCII never change
    StringUtils::ToLower(s);
    EXPECT_EQ(s, "abc\xc3\xa9-z");

    std::string blanks = "a   b";
    EXPECT_EQ(StringUtils::ReplaceAll(blanks, "  ", " "), 1);
    EXPECT_EQ(blanks, "a  b");
    std::string aa = "aaa";
    EXPECT_EQ(StringUtils::ReplaceAll(aa, "a", "aa"), 3);
    EXPECT_EQ(aa, "aaaaaa");
    EXPECT_EQ(StringUtils::ReplaceAll(aa, "", "x"), 0);
    std::string chars = "1.234.5";
    EXPECT_EQ(StringUtils::ReplaceChar(chars, '.', ','), 2);
    EXPECT_EQ(chars, "1,234,5");

    EXPECT_TRUE(StringUtils::IsDigits(""));
    EXPECT_TRUE(StringUtils::IsDigits("0123"));
    EXPECT_FALSE(StringUtils::IsDigits("12a"));
}

TEST(UnicodeUtilsTest, Utf16ToUtf8) {
    EXPECT_EQ(UnicodeUtils::Unicode2Ansi(u"abc"), "abc");
    EXPECT_EQ(UnicodeUtils::Unicode2Ansi(u"\u00e9\u20ac"), "\xc3\xa9\xe2\x82\xac");
    EXPECT_EQ(UnicodeUtils::Unicode2Ansi(u"\U0001F600"), "\xf0\x9f\x98\x80");
    EXPECT_EQ(UnicodeUtils::Unicode2Ansi(std::u16string(1, char16_t(0xD800))), "");
}
