#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "ReferenceTokenizer.h"
#include "foundation/Exception.h"
#include "markup/XMLDoc.h"
#include "markup/XMLEscape.h"

namespace quillory {
namespace {

using reference::Describe;

std::string Tokens(const std::string& text) {
    XMLDoc doc;
    doc.Parse(text);
    return Describe(doc);
}

struct TokenCase {
    const char* input;
    const char* tokens; // kind@line [name] {attribute}="value" ..., one line per token
};

// Each case also runs through the plain reference tokenizer, so a disagreement between the two
// shows up here with a readable input.
const TokenCase tokenCases[] = {
    {"", ""},
    {"abc", ""},
    {"<a>b", "1@1 [a]\n"},
    {"<a>b</a>", "1@1 [a]\n6@1 [b]\n2@1 [a]\n"},
    {"<a>  \r\n  </a>", "1@1 [a]\n2@2 [a]\n"},
    {"<td class=\"x>y\">", "1@1 [td] {class}=\"x>y\"\n"},
    {"<td class='x>y'>", "1@1 [td] {class}=\"'x\"\n1@1 [y']\n"},
    {"<a href=x target='_blank'>", "1@1 [a] {href}=\"x\" {target}='_blank'\n"},
    {"x > y <b>", "1@1 [x]\n6@1 [y]\n1@1 [b]\n"},
    {"<a <b>", "6@1 [a]\n1@1 [b]\n"},
    {"<?xml version=\"1.0\"?>", "4@1 [xml] {version}=\"1.0\"\n"},
    {"<!DOCTYPE html>", "5@1 [DOCTYPE] {html}\n"},
    {"<!-- note -->", "7@1 [ note ]\n"},
    {"<!--->", "7@1 []\n"},
    {"<!---->", "7@1 []\n"},
    {"<!-->", "5@1 [--]\n"},
    {"</>", "2@1 []\n"},
    {"<br />", "3@1 [br] {}\n"},
    {"<a  b=1>", "1@1 [a] {} {b}=\"1\"\n"},
    {"<a b=c=d>", "1@1 [a] {b}=\"cd\"\n"},
    {"<a =x>", "1@1 [a] {x}=\"\"\n"},
    {"<a b==c>", "1@1 [a] {b}=\"c\"\n"},
    {"<a b=\">", ""}, // the quote keeps the tag open to the end
    {"<a b=\"\">", "1@1 [a] {b}=\"\"\n"},
    {"<a b='>", "1@1 [a] {b}=''\n"}, // a lone single quote leaves an empty value
    {"<a b=\"x=y\" c='p q'>", "1@1 [a] {b}=\"x=y\" {c}='p q'\n"},
    {"<a b=\"x\"y\">", ""}, // the third quote opens a section again
    {"<A Href=X>", "1@1 [A] {Href}=\"X\"\n"},
    {"< a >", "1@1 [a]\n"},
    {"<>", ""},
    {"<\r\n>", ""},
    {"<a/>", "3@1 [a]\n"},
    {"</a/>", "2@1 [a/]\n"},
    {"<?>", "4@1 []\n"},
    {"<?"
     "?>",
     "4@1 []\n"},
    {"<!>", "5@1 []\n"},
    {"<a>&amp;</a>", "1@1 [a]\n6@1 [&amp;]\n2@1 [a]\n"},
    {"\"<a>\"", "6@1 [\"]\n1@1 [a]\n"}, // quotes outside tags are plain text
    {"<a\tb\nc>", "1@2 [a] {b} {c}\n"},
    {"<a>\n\n<b\n>\n", "1@1 [a]\n1@4 [b]\n"},
    {"<a>x\ny<b>", "1@1 [a]\n6@2 [x\ny]\n1@2 [b]\n"},
};

TEST(XMLDocParse, TokensFollowTheCharacterStep) {
    for (const TokenCase& c : tokenCases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(Tokens(c.input), c.tokens);
        EXPECT_EQ(Describe(reference::Tokenize(c.input)), c.tokens);
    }
}

TEST(XMLDocParse, NulEndsTheInput) {
    std::string text("<a><b>\0<c>", 10);
    EXPECT_EQ(Tokens(text), "1@1 [a]\n1@1 [b]\n");
    // Past the fast search's 16-byte blocks as well.
    std::string longer = std::string(40, ' ') + "<a>" + std::string(1, '\0') + std::string(40, ' ') + "<b>";
    EXPECT_EQ(Tokens(longer), "1@1 [a]\n");
}

TEST(XMLDocParse, ReparsingStartsFromScratch) {
    XMLDoc doc;
    doc.Parse("<a b=\"open");
    EXPECT_EQ(doc.GetTagCount(), 0u);
    doc.Parse("<x>\n<y>");
    EXPECT_EQ(Describe(doc), "1@1 [x]\n1@2 [y]\n");
    doc.Parse("");
    EXPECT_EQ(doc.GetTagCount(), 0u);
}

// Random texts made of the characters the tokenizer cares about, with runs long enough to carry tags,
// quoted sections and texts across the 64-byte blocks of the fast path. Half of the rounds leave out
// the single quote, which sends tags down a different path. Both tokenizers must agree on every one.
TEST(XMLDocParse, AgreesWithTheReferenceOnRandomTexts) {
    const std::string alphabets[] = {"<<>>\"\"'= \t\r\n\n/?!-ab&", "<>\"\"== \t\n/?!-abc"};
    std::mt19937 random(20100503);
    for (int round = 0; round < 4000; ++round) {
        const std::string& alphabet = alphabets[round % 2];
        std::string text;
        size_t length = random() % (round % 4 == 0 ? 600 : 150);
        for (size_t i = 0; i < length; ++i) {
            if (random() % 8 == 0)
                text.append(random() % 70, "xyz "[random() % 4]);
            else
                text += alphabet[random() % alphabet.size()];
        }
        XMLDoc doc;
        doc.Parse(text);
        std::vector<XMLTag> expected = reference::Tokenize(text);
        ASSERT_TRUE(reference::Same(doc.GetTags(), expected)) << "input: " << text << "\nfast:\n"
                                                              << Describe(doc) << "reference:\n"
                                                              << Describe(expected);
    }
}

TEST(XMLDocParse, LinesOnALongDocument) {
    std::string text;
    for (int i = 1; i <= 300; ++i)
        text += "<row n=\"" + std::to_string(i) + "\">text " + std::to_string(i) + "</row>\r\n";
    XMLDoc doc;
    doc.Parse(text);
    ASSERT_EQ(doc.GetTagCount(), 900u);
    EXPECT_EQ(doc[897].GetLine(), 300);
    EXPECT_EQ(doc[897].GetAttribute("n"), "300");
    EXPECT_EQ(doc[898].GetName(), "text 300");
    EXPECT_TRUE(reference::Same(doc.GetTags(), reference::Tokenize(text)));
}

TEST(XMLDocIndex, OutOfRangeThrowsWithTheOverloadsText) {
    XMLDoc doc;
    doc.Parse("<a>");
    EXPECT_EQ(doc[0].GetName(), "a");
    try {
        doc[1];
        FAIL() << "no exception";
    } catch (const XMLException& e) {
        EXPECT_EQ(e.Message(), "XMLTag & XMLDoc::operator [] () - Invalid index!");
    }
    const XMLDoc& constDoc = doc;
    try {
        constDoc[1];
        FAIL() << "no exception";
    } catch (const XMLException& e) {
        EXPECT_EQ(e.Message(), "XMLTag & XMLDoc::operator [] () const - Invalid index!");
    }
}

TEST(XMLDocFindTag, MatchesNameKindAndConditionsExactly) {
    XMLDoc doc;
    doc.Parse("<td>Last trade:</td><td>Last Trade:</td><td class=\"a\" id=\"x\"><td class=\"b\"><span>"
              "<TD class=\"a\">");
    const int TEXT = XMLTagKind::TEXT, START = XMLTagKind::START;
    EXPECT_EQ(doc.FindTag("Last Trade:", TEXT, 0, {}), 4);
    EXPECT_EQ(doc.FindTag("Last Trade:", START, 0, {}), -1);
    EXPECT_EQ(doc.FindTag("td", START, 0, {}), 0);
    EXPECT_EQ(doc.FindTag("td", START, 1, {}), 3);
    EXPECT_EQ(doc.FindTag("td", START, 0, {XMLAttribute("class", "b")}), 7);
    EXPECT_EQ(doc.FindTag("td", START, 0, {XMLAttribute("class", "a"), XMLAttribute("id", "x")}), 6);
    EXPECT_EQ(doc.FindTag("td", START, 0, {XMLAttribute("class", "a"), XMLAttribute("id", "y")}), -1);
    // A missing attribute reads as "", so an empty condition value matches it.
    EXPECT_EQ(doc.FindTag("span", START, 0, {XMLAttribute("class", "")}), 8);
    EXPECT_EQ(doc.FindTag("TD", START, 0, {XMLAttribute("class", "a")}), 9);
    EXPECT_EQ(doc.FindTag("td", START, doc.GetTagCount(), {}), -1);
    EXPECT_EQ(doc.FindTag("td", START, doc.GetTagCount() + 5, {}), -1);
}

TEST(XMLDocWrite, AddedTokensRenderOnePerLine) {
    XMLDoc doc;
    doc.AddTag(XMLTag("xml", XMLTagKind::SYSTEM, {XMLAttribute("version", "1.0")}));
    doc.AddStartTag("StockList", {});
    doc.AddEmptyTag("StockAlert", {XMLAttribute("UpperAlert", true), XMLAttribute("UpperLimit", 30.5),
                                   XMLAttribute("Note", XMLEscape("a<b & \"c\""))});
    doc.AddTag(XMLTag("comment", XMLTagKind::COMMENT, {}));
    doc.AddTag(XMLTag("DOCTYPE", XMLTagKind::DTD, {XMLAttribute("html", nullptr)}));
    doc.AddTag(XMLTag("free text", XMLTagKind::TEXT, {}));
    doc.AddTag(XMLTag("odd", 42, {XMLAttribute("q", std::string("v"), true)}));
    doc.AddTag(XMLTag("never parsed", XMLTagKind::UNKNOWN, {}));
    doc.AddEndTag("StockList");
    std::string text = "stale";
    doc.CreateText(text);
    EXPECT_EQ(text, "<?xml version=\"1.0\"?>\r\n"
                    "<StockList>\r\n"
                    "<StockAlert UpperAlert=\"TRUE\" UpperLimit=\"30.5\" Note=\"a&lt;b &amp; &quot;c&quot;\"/>\r\n"
                    "<!--comment-->\r\n"
                    "<!DOCTYPE html>\r\n"
                    "free text\r\n"
                    "<odd q=\"v\">\r\n"
                    "<never parsed>\r\n"
                    "</StockList>\r\n");
    EXPECT_EQ(doc[2].GetLine(), 0);

    // Reading the text back gives the same tokens (the one unknown kind comes back as START).
    XMLDoc again;
    again.Parse(text);
    ASSERT_EQ(again.GetTagCount(), doc.GetTagCount());
    EXPECT_EQ(again[2].GetAttribute("Note"), "a&lt;b &amp; &quot;c&quot;");
    EXPECT_EQ(XMLUnescape(again[2].GetAttribute("Note")), "a<b & \"c\"");
    std::string second;
    again.CreateText(second);
    EXPECT_EQ(second, text);
}

TEST(XMLDocWrite, ParsedTokensRenderBack) {
    XMLDoc doc;
    doc.Parse("<a href=x target='_blank' hidden><br /></a>");
    std::string out;
    doc[0].CreateText(out);
    EXPECT_EQ(out, "<a href=\"x\" target='_blank' hidden>");
    doc[1].CreateText(out);
    EXPECT_EQ(out, "<br />");
    doc.CreateText(out);
    EXPECT_EQ(out, "<a href=\"x\" target='_blank' hidden>\r\n<br />\r\n</a>\r\n");
}

} // namespace
} // namespace quillory
