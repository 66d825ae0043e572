#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "FakeListView.h"
#include "foundation/Exception.h"
#include "markup/XMLDoc.h"
#include "storage/StockList.h"

namespace quillory {
namespace {

std::string Render(const StockList& list) {
    std::string text;
    list.CreateXMLString(text);
    return text;
}

TEST(StockListTest, AddRefusesEmptyAndDuplicateSymbols) {
    StockList list;
    EXPECT_TRUE(list.Add(Stock("MSFT", "Microsoft")));
    EXPECT_FALSE(list.Add(Stock("", "nameless")));
    EXPECT_FALSE(list.Add(Stock("MSFT", "again")));
    EXPECT_TRUE(list.Add(Stock("msft", "other case is another key")));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.front().GetName(), "Microsoft");
    EXPECT_TRUE(list.Contains("msft"));
    EXPECT_FALSE(list.Contains("MSF"));
}

TEST(StockListTest, UpdateRemoveAndGetWorkOnTheFirstMatch) {
    StockList list;
    list.push_back(Stock("A", "first"));
    list.push_back(Stock("B", "b"));
    list.push_back(Stock("A", "second")); // only Add refuses duplicates

    Stock out("untouched", "x");
    EXPECT_FALSE(list.Get("Z", out));
    EXPECT_EQ(out.GetSymbol(), "untouched");
    ASSERT_TRUE(list.Get("A", out));
    EXPECT_EQ(out.GetName(), "first");

    Stock renamed("C", "renamed");
    EXPECT_TRUE(list.Update("A", renamed));
    EXPECT_EQ(list.front().GetSymbol(), "C"); // the whole record, symbol included
    EXPECT_EQ(list.back().GetName(), "second");
    EXPECT_FALSE(list.Update("Z", renamed));

    EXPECT_TRUE(list.Remove("A"));
    EXPECT_FALSE(list.Remove("A"));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.front().GetSymbol(), "C");
}

TEST(StockListTest, FillListViewInsertsEveryInvestment) {
    StockList list;
    list.AddDefaults();
    test::FakeListView view(true);
    list.FillListView(view);
    ASSERT_EQ(view.rows.size(), 4u);
    EXPECT_EQ(view.rows[0][0], "GOOG");
    EXPECT_EQ(view.rows[3], (std::vector<std::string>{"^IXIC", "NASDAQ Composite", "N/A", "N/A"}));
}

// The piecewise reader must give what the plain reader gives, list and error alike, wherever the
// pieces are cut.
TEST(StockListTest, PiecewiseReadingMatchesThePlainReader) {
    const std::string alert = R"(<StockAlert UpperAlert="TRUE" UpperLimit="30" LowerAlert="FALSE" LowerLimit="0"/>)";
    const std::string a =
        "<Stock Symbol=\"A\">" + alert +
        "<StockPriceList><StockPrice Date=\"2010-05-03\" Price=\"1.5\"/></StockPriceList></Stock>\r\n";
    const std::string b =
        "<Stock Symbol=\"B\" Name=\"x &gt; &quot;/Stock&quot;\">" + alert + "<StockPriceList></StockPriceList></Stock>";
    const std::string texts[] = {
        "",
        "   text only ",
        "<StockList></StockList>",
        "<StockList>" + a + b + "</StockList>",
        "<StockList>" + a + b + "</StockList><StockList>" + a + "</StockList>",
        "<StockList>" + a + "<Stock Symbol=\"q\" Name=\"</Stock>\">" + alert + "</Stock></StockList>",
        "<StockList>" + a + "</ Stock >" + b + "</StockList>",
        "<StockList>" + a + b,
        "<StockList>" + a + "<StockPrice/></StockList>",
        "<StockList>" + a + "<Stock Symbol=\"C\">" + alert + "<StockPriceList><StockPrice Price=\"1\"/>",
        "<StockLists>" + a + "</StockList>",
        "<StockList>" + a + b + std::string("</Stock", 7) + '\0' + "></StockList>",
        "<StockList>" + a + b + std::string("\0</StockList>", 13),
        "<StockList>" + a + "<a '\">'>" + b + "</StockList>",
    };
    for (const std::string& text : texts) {
        StockList plain;
        std::string plainError;
        try {
            plain.ParseXMLString(text);
        } catch (const XMLException& e) {
            plainError = e.Message();
        }
        for (size_t chunk : {size_t(1), size_t(7), size_t(100), StockList::DataFileChunkBytes}) {
            StockList piecewise;
            piecewise.push_back(Stock("stale", "entry"));
            std::string error;
            try {
                piecewise.ParseDataFile(text, chunk);
            } catch (const XMLException& e) {
                error = e.Message();
            }
            EXPECT_EQ(error, plainError) << text << " in pieces of " << chunk;
            EXPECT_EQ(Render(piecewise), Render(plain)) << text << " in pieces of " << chunk;
        }
    }
}

TEST(StockListTest, WritesTheSameTextAsTheRecordWriter) {
    StockList list;
    std::string text;
    list.CreateDataFile(text);
    EXPECT_EQ(text, "<StockList>\r\n</StockList>\r\n");

    list.AddDefaults();
    Stock& odd = list.front();
    odd.SetSymbol(R"(A"<&>'B)");
    odd.SetName("");
    odd.SetQuantity(-1.0 / 3);
    odd.SetDataSource("");
    odd.GetAlert().SetUpper(true, 1e-300);
    odd.GetAlert().SetLower(true, 1e300);
    odd.GetPrices().push_back(StockPrice(10432.5, Date(2010, 5, 3)));
    odd.GetPrices().push_back(StockPrice(-0.0, Date(0, 5, 5)));
    odd.GetPrices().push_back(StockPrice(0.1, Date(2010, 12, 31)));
    odd.GetPrices().back().SetChange(0.30000000000000004);
    // A date the file reader accepts although no constructor makes it, and numbers printf writes
    // in words.
    XMLDoc outOfRange;
    outOfRange.Parse(R"(<StockPrice Date="-123-45-67" Price="nan"/>)");
    unsigned index = 0;
    odd.GetPrices().emplace_back();
    odd.GetPrices().back().ParseXML(outOfRange, index);
    odd.GetPrices().back().SetChange(-HUGE_VAL);
    list.back().SetQuantity(12345678901234567890.0);
    list.back().SetCurrency(R"(E"U<R)");

    list.CreateDataFile(text);
    EXPECT_EQ(text, Render(list));
    EXPECT_NE(text.find(R"(<StockPrice Date="-123-45-67" Price="nan" Change="-inf"/>)"), std::string::npos);
}

} // namespace
} // namespace quillory
