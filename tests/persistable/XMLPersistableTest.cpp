#include <gtest/gtest.h>

#include "foundation/Exception.h"
#include "markup/XMLPersistable.h"

using namespace quillory;

namespace {

// A minimal record: one empty element with one attribute.
struct Item : XMLPersistable {
    Item() = default;
    explicit Item(std::string v) : value(std::move(v)) {}
    std::string value = "default";
    void CreateXML(XMLDoc& doc) const override { doc.AddEmptyTag("Item", {XMLAttribute("V", value, true)}); }
    void ParseXML(const XMLDoc& doc, unsigned& index) override {
        const XMLTag& tag = doc[index];
        if (tag.GetKind() != XMLTagKind::EMPTY)
            throw XMLException("Item::ParseXML() - Invalid tag: " + tag.GetName());
        value = tag.GetAttribute("V");
        ++index;
    }
};

struct ItemList : XMLPersistableList<Item> {};

std::string ParseError(ItemList& list, const std::string& text) {
    try {
        list.ParseXMLString(text);
    } catch (const XMLException& e) {
        return e.Message();
    }
    return "ok";
}

} // namespace

template <> struct quillory::XMLListNames<Item> {
    static constexpr const char* list = "ItemList";
    static constexpr const char* element = "Item";
    static Item Default() { return Item(); }
};

TEST(XMLPersistableListTest, WritesStartChildrenEnd) {
    ItemList list;
    std::string text;
    list.CreateXMLString(text);
    EXPECT_EQ(text, "<ItemList>\r\n</ItemList>\r\n");

    list.emplace_back("a");
    list.emplace_back("b");
    list.CreateXMLString(text);
    EXPECT_EQ(text, "<ItemList>\r\n<Item V=\"a\"/>\r\n<Item V=\"b\"/>\r\n</ItemList>\r\n");
}

TEST(XMLPersistableListTest, ReadsBackAndIgnoresWhatFollows) {
    ItemList list;
    EXPECT_EQ(ParseError(list, "<ItemList><Item V=\"a\"/><Item V=\"b\"/></ItemList>"
                               "<ItemList><Item V=\"c\"/></ItemList>"),
              "ok");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.back().value, "b");

    unsigned index = 0;
    XMLDoc empty;
    list.ParseXML(empty, index); // an empty document is an empty list
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(index, 0u);
}

TEST(XMLPersistableListTest, ErrorsKeepWhatWasReadBefore) {
    ItemList list;
    struct Case {
        const char* text;
        const char* error;
        size_t kept;
    } cases[] = {
        {"<ItemList>", "XMLTag & XMLDoc::operator [] () const - Invalid index!", 0},
        {"<Other></Other>", "XMLPersistableList::ParseXML - unexpected tag! Received [Other], Expected [ItemList]", 0},
        {"</ItemList>", "XMLPersistableList::ParseXML - unexpected tag! Received [ItemList], Expected [ItemList]", 0},
        {"<ItemList><Item V=\"a\"/><Thing/></ItemList>",
         "XMLPersistableList::ParseXML() - unexpected child tag! Received [Thing], Expected [ItemList]", 1},
        {"<ItemList><Item V=\"a\"/><Item V=\"b\"></ItemList>", "Item::ParseXML() - Invalid tag: Item", 1},
        {"<ItemList><Item V=\"a\"/>", "XMLTag & XMLDoc::operator [] () const - Invalid index!", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseError(list, c.text), c.error);
        EXPECT_EQ(list.size(), c.kept);
    }

    XMLDoc doc;
    doc.Parse("<ItemList></ItemList>");
    unsigned index = 5;
    try {
        list.ParseXML(doc, index);
        ADD_FAILURE();
    } catch (const XMLException& e) {
        EXPECT_EQ(e.Message(), "XMLPersistableList::ParseXML() - Index is out of range!");
    }
}
