#include <string>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "foundation/Exception.h"
#include "markup/XMLDoc.h"
#include "model/Stock.h"

namespace quillory {
namespace {

std::string Lines(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + "\r\n";
    return text;
}

std::string Render(const XMLPersistable& record) {
    std::string text;
    record.CreateXMLString(text);
    return text;
}

// Reads `text` into `record`; the error message, or "" when it read.
template <typename T> std::string Read(T& record, const std::string& text) {
    try {
        record.ParseXMLString(text);
        return "";
    } catch (const XMLException& e) {
        return e.Message();
    }
}

Stock WorkedExample() {
    Stock stock("MSFT", "Microsoft Corporation");
    stock.SetQuantity(10);
    stock.GetAlert().SetUpper(true, 30);
    StockPrice price(30.5, Date(2010, 5, 3));
    price.SetChange(-0.25);
    stock.AddPrice(price);
    return stock;
}

TEST(StockXMLTest, WritesTheInvestmentTokenPerLine) {
    EXPECT_EQ(Render(WorkedExample()),
              Lines({R"(<Stock Symbol="MSFT" Name="Microsoft Corporation" Quantity="10" DataSource="Yahoo Finance">)",
                     R"(<StockAlert UpperAlert="TRUE" UpperLimit="30" LowerAlert="FALSE" LowerLimit="0"/>)",
                     "<StockPriceList>", R"(<StockPrice Date="2010-05-03" Price="30.5" Change="-0.25"/>)",
                     "</StockPriceList>", "</Stock>"}));
}

TEST(StockXMLTest, OmitsEmptyNameZeroQuantityAndZeroChange) {
    Stock stock("AT&T", "");
    stock.SetDataSource("");
    stock.GetAlert().SetLower(true, 1.0 / 3);
    stock.AddPrice(StockPrice(0.1, Date(2010, 12, 31)));
    EXPECT_EQ(
        Render(stock),
        Lines({R"(<Stock Symbol="AT&amp;T" DataSource="">)",
               R"(<StockAlert UpperAlert="FALSE" UpperLimit="0" LowerAlert="TRUE" LowerLimit="0.3333333333333333"/>)",
               "<StockPriceList>", R"(<StockPrice Date="2010-12-31" Price="0.1"/>)", "</StockPriceList>", "</Stock>"}));
    EXPECT_EQ(Render(StockPriceList()), "<StockPriceList>\r\n</StockPriceList>\r\n");
}

TEST(StockXMLTest, ReadsBackWhatItWrites) {
    Stock original = WorkedExample();
    original.SetName(R"(Quote " < > & ' name)");
    original.SetDataSource("Bloomberg");
    original.GetAlert().SetLower(true, 1e-300);
    StockPrice odd(1.0 / 3, Date(2038, 1, 19));
    odd.SetChange(-123456789.125);
    original.AddPrice(odd);

    Stock copy("OLD", "old");
    copy.AddPrice(StockPrice(1, Date(2000, 1, 1)));
    ASSERT_EQ(Read(copy, Render(original)), "");
    EXPECT_EQ(Render(copy), Render(original));
    EXPECT_EQ(copy.GetName(), R"(Quote " < > & ' name)");
    EXPECT_EQ(copy.GetPrices().size(), 2u);
}

TEST(StockXMLTest, MissingAttributesTakeTheirDefaultsInAnyOrder) {
    Stock stock("OLD", "old");
    stock.SetQuantity(3);
    stock.GetAlert().SetUpper(true, 9);
    ASSERT_EQ(Read(stock, "<Stock Name=\"n\" Symbol=\"S\" Extra=\"x\"><StockAlert UpperAlert=\"yes\"/>"
                          "<StockPriceList><StockPrice Date=\"2010-05-03\"/></StockPriceList></Stock>"),
              "");
    EXPECT_EQ(stock.GetSymbol(), "S");
    EXPECT_EQ(stock.GetName(), "n");
    EXPECT_EQ(stock.GetQuantity(), 0);
    EXPECT_EQ(stock.GetDataSource(), ""); // absent in the file: empty, not the constructor's default
    EXPECT_FALSE(stock.GetAlert().IsUpperAlert());
    EXPECT_EQ(stock.GetAlert().GetUpperLimit(), 0);
    ASSERT_EQ(stock.GetPrices().size(), 1u);
    EXPECT_EQ(stock.GetPrices().front().GetPrice(), 0);
    EXPECT_EQ(stock.GetPrices().front().GetChange(), 0);
}

TEST(StockXMLTest, MalformedRecordsNameWhatTheyFound) {
    const std::string alert = R"(<StockAlert UpperAlert="FALSE" UpperLimit="0" LowerAlert="FALSE" LowerLimit="0"/>)";
    struct Case {
        std::string text;
        std::string error;
    };
    const Case cases[] = {
        {"<Stocks Symbol=\"A\">", "Stock::ParseXML() - Invalid start tag: Stocks"},
        {"<Stock Symbol=\"A\"/>", "Stock::ParseXML() - Invalid start tag: Stock"},
        {"<Stock Symbol=\"A\"><StockPriceList></StockPriceList></Stock>",
         "StockAlert::ParseXML() - Invalid tag: StockPriceList"},
        {"<Stock Symbol=\"A\"><StockAlert></StockAlert>", "StockAlert::ParseXML() - Invalid tag: StockAlert"},
        {"<Stock Symbol=\"A\">" + alert + "<StockPriceList></StockPriceList><Stock>",
         "Stock::ParseXML() - Invalid end tag: Stock"},
        {"<Stock Symbol=\"A\">" + alert + "<StockPriceList><StockPrice Date=\"2010-05-03\"></StockPriceList></Stock>",
         "StockPrice::ParseXML() - Invalid tag: StockPrice"},
        {"<Stock Symbol=\"A\">" + alert + "<StockPriceList><StockPrice Price=\"1\"/></StockPriceList></Stock>",
         "Date::CreateXMLAttrString() - Invalid date attribute!"},
        {"<Stock Symbol=\"A\">" + alert + "<StockPriceList><StockPrice Date=\"2010-00-07\"/>",
         "Date::CreateXMLAttrString() - Invalid month!"},
        {"<Stock Symbol=\"A\" Quantity=\"1e999\">", "Error parsing double value of the attribute!"},
        {"<Stock Symbol=\"A\">" + alert, "XMLPersistableList::ParseXML() - Index is out of range!"},
        {"<Stock Symbol=\"A\">" + alert + "<StockPriceList>", "XMLTag & XMLDoc::operator [] () const - Invalid index!"},
    };
    for (const Case& c : cases) {
        Stock stock;
        EXPECT_EQ(Read(stock, c.text), c.error) << c.text;
    }
}

TEST(StockXMLTest, PriceThatFailsKeepsWhatWasReadBeforeTheError) {
    test::ScopedClock clock(2012, 8, 20);
    StockPrice price(5, Date(2000, 1, 1));
    XMLDoc doc;
    doc.Parse(R"(<StockPrice Price="7" Date="2010-00-07"/>)");
    unsigned index = 0;
    EXPECT_THROW(price.ParseXML(doc, index), XMLException);
    EXPECT_EQ(index, 0u);
    EXPECT_EQ(price.GetPrice(), 7);
    // Reset to today first, then the year and the failing month stored as they were read.
    EXPECT_EQ(price.GetDate().GetYear(), 2010);
    EXPECT_EQ(price.GetDate().GetMonth(), 0);
    EXPECT_EQ(price.GetDate().GetDay(), 20);
}

} // namespace
} // namespace quillory
