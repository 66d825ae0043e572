#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ReferenceTokenizer.h"
#include "foundation/Exception.h"
#include "markup/XMLEscape.h"
#include "markup/XMLTag.h"

namespace quillory {
namespace {

// The reference tokenizer cuts attributes with its own splitter; it must honour both quotes.
TEST(ReferenceTokenizer, SplitQuotedHonoursBothQuotes) {
    EXPECT_EQ(reference::SplitQuoted("", " ", true), std::vector<std::string>{""});
    EXPECT_EQ(reference::SplitQuoted("a  b", " ", true), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(reference::SplitQuoted("a='x y' b=\"p 'q\"", " ", true),
              (std::vector<std::string>{"a='x y'", "b=\"p 'q\""}));
    EXPECT_EQ(reference::SplitQuoted("a='x y'", " ", false), (std::vector<std::string>{"a='x", "y'"}));
    EXPECT_EQ(reference::SplitQuoted("unterminated 'a b", " ", true),
              (std::vector<std::string>{"unterminated", "'a b"}));
}

TEST(XMLAttribute, ConstructorsSetValueAndHasValue) {
    struct Case {
        XMLAttribute attribute;
        const char* value;
        bool hasValue;
    };
    const char* nullText = nullptr;
    const Case cases[] = {
        {XMLAttribute(), "", true},
        {XMLAttribute("x", "literal"), "literal", true}, // a string literal is text, not a bool
        {XMLAttribute("x", ""), "", true},
        {XMLAttribute("x", nullText), "", false},
        {XMLAttribute("x", nullptr), "", false},
        {XMLAttribute("x", std::string("s"), false), "s", false},
        {XMLAttribute("x", std::string("s")), "s", true},
        {XMLAttribute("x", 30.5), "30.5", true},
        {XMLAttribute("x", 0.1), "0.1", true},
        {XMLAttribute("x", -0.25), "-0.25", true},
        {XMLAttribute("x", 1e21), "1e+21", true},
        {XMLAttribute("x", 10), "10", true},
        {XMLAttribute("x", true), "TRUE", true},
        {XMLAttribute("x", false), "FALSE", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(c.attribute.GetValue(), c.value);
        EXPECT_EQ(c.attribute.HasValue(), c.hasValue);
        EXPECT_EQ(c.attribute.GetQuote(), '"');
    }
}

TEST(XMLAttribute, RendersWithItsQuoteAndWithoutEscaping) {
    std::string out = "stale";
    XMLAttribute("a", "x<y").CreateText(out);
    EXPECT_EQ(out, "a=\"x<y\"");
    XMLAttribute("html", nullptr).CreateText(out);
    EXPECT_EQ(out, "html");
    XMLAttribute single;
    single.Parse("t='it'");
    EXPECT_EQ(single.GetQuote(), '\'');
    single.CreateText(out);
    EXPECT_EQ(out, "t='it'");
}

// XMLAttribute::Parse on its own, against the reference built on StringUtils::SplitQuoted.
TEST(XMLAttribute, ParseMatchesTheSplitRules) {
    const char* tokens[] = {"",       "a",     "a=",      "=",         "=x",       "a=b=c",    "a==b",
                            "a=\"\"", "a=\"",  "a='",     "a=\"x=y\"", "a='x=y'",  "a=\"x'\"", "a='\"'",
                            "a=\"x'", "a=x\"", "'a=b'=c", "a=b c",     "\"=\"=\"", "a=''''",   "a=\"x\"y\""};
    for (const char* token : tokens) {
        SCOPED_TRACE(token);
        XMLAttribute attribute("old", "stale");
        attribute.SetQuote('\'');
        attribute.Parse(token);
        XMLAttribute expected = reference::ParseAttribute(token);
        EXPECT_TRUE(reference::Same(attribute, expected))
            << attribute.GetName() << "|" << attribute.GetValue() << "|" << attribute.HasValue() << " vs "
            << expected.GetName() << "|" << expected.GetValue() << "|" << expected.HasValue();
    }
    XMLAttribute a;
    a.Parse("a=b=c");
    EXPECT_EQ(a.GetName(), "a");
    EXPECT_EQ(a.GetValue(), "bc");
}

TEST(XMLTag, ParseResetsAndClassifies) {
    XMLTag tag("old", XMLTagKind::TEXT, {XMLAttribute("x", "1")});
    tag.SetLine(7);
    tag.Parse("?xml version=\"1.0\" encoding='UTF-8'?");
    EXPECT_EQ(tag.GetKind(), XMLTagKind::SYSTEM);
    EXPECT_EQ(tag.GetName(), "xml");
    EXPECT_EQ(tag.GetLine(), 0);
    ASSERT_EQ(tag.GetAttributes().size(), 2u);
    EXPECT_EQ(tag.GetAttribute("encoding"), "UTF-8");
    // Every blank makes a piece: more pieces than a tag usually has, and a quoted value across the
    // 64-byte blocks the cut works in.
    const std::string wide = "td" + std::string(40, ' ') + "title=\"" + std::string(100, 'x') + " y\" b=1";
    tag.Parse(wide);
    ASSERT_EQ(tag.GetAttributes().size(), 41u); // 39 empty ones, title, b
    EXPECT_EQ(tag.GetAttribute("title"), std::string(100, 'x') + " y");
    EXPECT_EQ(tag.GetAttribute("b"), "1");
    EXPECT_TRUE(reference::Same(tag, reference::ParseTag(wide)));
    tag.Parse("!-- a  b --");
    EXPECT_EQ(tag.GetKind(), XMLTagKind::COMMENT);
    EXPECT_EQ(tag.GetName(), " a  b ");
    EXPECT_TRUE(tag.GetAttributes().empty());
}

TEST(XMLTag, AttributeLookup) {
    XMLTag tag;
    tag.Parse("StockPrice Date=\"2010-05-03\" Price=\"30.5\" Big=\"1e999\" Neg=\"-1e999\" Word=\"abc\" Up=\"TRUE\" "
              "Down=\"FALSE\" Low=\"true\" Price=\"99\"");
    std::string value = "stale";
    EXPECT_TRUE(tag.FindAttribute("Price", value));
    EXPECT_EQ(value, "30.5"); // the first of two
    EXPECT_FALSE(tag.FindAttribute("price", value));
    EXPECT_EQ(tag.GetAttribute("Date"), "2010-05-03");
    EXPECT_EQ(tag.GetAttribute("Missing"), "");

    double number = 5;
    EXPECT_TRUE(tag.GetAttributeDouble("Price", number));
    EXPECT_EQ(number, 30.5);
    number = 5;
    EXPECT_TRUE(tag.GetAttributeDouble("Word", number));
    EXPECT_EQ(number, 0);
    number = 5;
    EXPECT_FALSE(tag.GetAttributeDouble("Missing", number));
    EXPECT_EQ(number, 0);
    for (const char* overflow : {"Big", "Neg"}) {
        try {
            tag.GetAttributeDouble(overflow, number);
            ADD_FAILURE() << overflow << " did not throw";
        } catch (const XMLException& e) {
            EXPECT_EQ(e.Message(), "Error parsing double value of the attribute!");
        }
    }

    struct BoolCase {
        const char* name;
        bool result, out;
    };
    for (BoolCase c : {BoolCase{"Up", true, true}, BoolCase{"Down", true, false}, BoolCase{"Low", false, false},
                       BoolCase{"Missing", false, false}}) {
        SCOPED_TRACE(c.name);
        bool flag = !c.out;
        EXPECT_EQ(tag.GetAttributeBool(c.name, flag), c.result);
        EXPECT_EQ(flag, c.out);
    }
}

TEST(XMLEscape, EscapesAndUnescapes) {
    EXPECT_EQ(XMLEscape("plain"), "plain");
    EXPECT_EQ(XMLEscape("\"a\" & 'b' <c>"), "&quot;a&quot; &amp; &apos;b&apos; &lt;c&gt;");
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"&lt;b&gt; &quot;q&quot; &apos;s&apos; &amp;", "<b> \"q\" 's' &"},
        {"a &amp;amp; b", "a &amp; b"},
        {"&amp;lt;", "&lt;"},
        {"&nbsp;&#39;&#x27;&AMP;", "&nbsp;&#39;&#x27;&AMP;"},
        {"&&lt;;", "&<;"},
        {"&", "&"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(XMLUnescape(c.in), c.out) << c.in;
    const std::string all = "x\"&'<>y&amp;";
    EXPECT_EQ(XMLUnescape(XMLEscape(all)), all);
}

} // namespace
} // namespace quillory
