#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakeSources.h"
#include "TestSupport.h"
#include "app/core/StockEditor.h"
#include "foundation/CancelToken.h"

namespace quillory {
namespace {

using ::testing::ElementsAre;

const std::vector<std::string> kNames = {
    "Yahoo Finance",    "Russian Trade System",  "India Times",  "AMFI India", "Money Central", "Google Finance",
    "Yahoo Finance UK", "Zagreb Stock Exchange", "MSN Money UK", "Bloomberg",  "Finam"};

class FakeDialog : public StockDialogView {
public:
    class HistoryRows : public ListView {
    public:
        void DeleteAllItems() override { rows.clear(); }
        int InsertItem(int index, const std::string& text) override {
            rows.insert(rows.begin() + index, text);
            return index;
        }
        void SetItemText(int item, int column, const std::string& text) override {
            if (column == 1)
                rows[item] += " " + text;
        }
        std::vector<std::string> rows;
    };

    std::string GetSymbolText() override { return symbol; }
    void SelectSource(const std::string& name) override { selected.push_back(name); }
    void SetNameText(const std::string& text) override { name = text; }
    ListView& History() override { return history; }
    void EnableSearch(bool enable) override { searchStates.push_back(enable); }
    void BeginWaitCursor() override { ++wait; }
    void EndWaitCursor() override { --wait; }

    std::string symbol, name;
    std::vector<std::string> selected;
    std::vector<bool> searchStates;
    HistoryRows history;
    int wait = 0;
};

class StockEditorTest : public ::testing::Test {
protected:
    test::ScopedClock clock{2026, 12, 9};
    test::FakeSourceWorld world;
    test::MessageBoxRecorder boxes;
    test::LogCapture log;
    FakeDialog dialog;
};

TEST_F(StockEditorTest, SearchTriesSourcesInByteOrderAndStopsAtTheOneThatKnowsTheSymbol) {
    Stock stock("", "");
    stock.AddPrice(StockPrice(10, Date(2026, 12, 8)));
    StockEditor editor(stock, world.Sources(kNames));
    world.Add("Google Finance", "SBER", {"Sberbank", 250.75, 1.5}); // fourth in byte order
    world.Add("Finam", "SBER", {"", 250, 0});                       // runs but has no name
    dialog.symbol = "  SBER ";

    EXPECT_TRUE(editor.Search(dialog));
    EXPECT_THAT(dialog.selected, ElementsAre("AMFI India", "Bloomberg", "Finam", "Google Finance"));
    EXPECT_THAT(world.runs, ElementsAre("AMFI India:SBER", "Bloomberg:SBER", "Finam:SBER", "Google Finance:SBER"));
    EXPECT_EQ(dialog.name, "Sberbank");
    EXPECT_EQ(stock.GetName(), "Sberbank");
    EXPECT_EQ(stock.GetSymbol(), "") << "the search does not store the symbol";
    EXPECT_THAT(dialog.history.rows, ElementsAre("2026/12/09 250.75", "2026/12/08 10.00"));
    EXPECT_THAT(dialog.searchStates, ElementsAre(false, true));
    EXPECT_EQ(dialog.wait, 0);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(StockEditorTest, SearchReportsBlankSymbolsMissingSourcesAndNoFind) {
    Stock stock("", "");
    StockEditor editor(stock, world.Sources({"Bloomberg", "Broken"}, {"Broken"}));

    dialog.symbol = "   ";
    EXPECT_FALSE(editor.Search(dialog));
    dialog.symbol = "XYZ";
    EXPECT_FALSE(editor.Search(dialog));

    ASSERT_EQ(boxes.Boxes().size(), 3u);
    EXPECT_EQ(boxes.Boxes()[0].text, "You need to enter valid symbol first!");
    EXPECT_EQ(boxes.Boxes()[1].text, "Invalid datasource!");
    EXPECT_EQ(boxes.Boxes()[2].text, "None of the existing data sources could find a name for XYZ!");
    EXPECT_THAT(dialog.selected, ElementsAre("Bloomberg")) << "the last source tried stays selected";
    EXPECT_EQ(dialog.name, "");
    EXPECT_TRUE(dialog.history.rows.empty());
}

TEST_F(StockEditorTest, CancelledSearchStopsAtTheNextSourceAndEndsWithoutABox) {
    Stock stock("", "");
    StockEditor editor(stock, world.Sources(kNames));
    world.Add("Finam", "SBER", {"Sberbank", 250, 0});
    dialog.symbol = "SBER";
    std::string symbol;
    ASSERT_TRUE(editor.StartSearch(dialog, symbol));

    CancelToken token;
    CancelToken::Scope scope(&token);
    std::vector<std::string> tried;
    SearchOutcome outcome = StockEditor::RunSearch(editor.Sources(), symbol, [&](const std::string& name) {
        tried.push_back(name);
        if (name == "Bloomberg")
            token.Cancel(); // the user pressed Cancel while Bloomberg was asked
    });
    EXPECT_THAT(tried, ElementsAre("AMFI India", "Bloomberg"));
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_FALSE(editor.FinishSearch(dialog, symbol, outcome));
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_THAT(dialog.selected, ElementsAre("Bloomberg"));
    EXPECT_THAT(dialog.searchStates, ElementsAre(false, true));
    EXPECT_EQ(dialog.wait, 0);
    EXPECT_EQ(stock.GetName(), "");
}

TEST_F(StockEditorTest, ApplyTrimsAndReadsLimitsAsStrtodDoes) {
    Stock stock("OLD", "Old name");
    StockEditor editor(stock, world.Sources(kNames));
    StockEditor::Form form{" MSFT ", "  Microsoft Corporation ", "Bloomberg", false, " 31.5abc", true, "abc", ""};
    ASSERT_TRUE(editor.Apply(form));

    EXPECT_EQ(stock.GetSymbol(), "MSFT");
    EXPECT_EQ(stock.GetName(), "Microsoft Corporation");
    EXPECT_EQ(stock.GetDataSource(), "Bloomberg");
    EXPECT_FALSE(stock.GetAlert().IsUpperAlert());
    EXPECT_EQ(stock.GetAlert().GetUpperLimit(), 31.5) << "stored although unchecked";
    EXPECT_TRUE(stock.GetAlert().IsLowerAlert());
    EXPECT_EQ(stock.GetAlert().GetLowerLimit(), 0);
}

TEST_F(StockEditorTest, ApplyStoresTheQuantityAndRefusesOneThatIsNoNumber) {
    struct Case {
        std::string text;
        bool accepted;
        double quantity;
    };
    const Case cases[] = {{"", true, 0},    {"  12.5 ", true, 12.5}, {"1,000", true, 1000}, {"0", true, 0},
                          {"-3", true, -3}, {"ten", false, 7},       {"12abc", false, 7},   {"1e999", false, 7}};
    for (const Case& c : cases) {
        Stock stock("MSFT", "Microsoft");
        stock.SetQuantity(7);
        StockEditor editor(stock, world.Sources(kNames));
        StockEditor::Form form{"MSFT", "Microsoft", "Bloomberg", false, "", false, "", c.text};
        EXPECT_EQ(editor.Apply(form), c.accepted) << c.text;
        EXPECT_EQ(stock.GetQuantity(), c.quantity) << c.text;
    }
    ASSERT_EQ(boxes.Boxes().size(), 3u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Invalid quantity!");
}

TEST_F(StockEditorTest, ApplyRefusesABlankSymbolAndChangesNothing) {
    Stock stock("OLD", "Old name");
    StockEditor editor(stock, world.Sources(kNames));
    EXPECT_FALSE(editor.Apply({"  ", "New", "Bloomberg", true, "1", true, "2", ""}));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Invalid symbol!");
    EXPECT_EQ(stock.GetSymbol(), "OLD");
    EXPECT_EQ(stock.GetName(), "Old name");
}

TEST_F(StockEditorTest, SourceListOrderAndPrefixSelection) {
    Stock stock("", "");
    StockEditor editor(stock, world.Sources(kNames));
    std::vector<std::string> entries = editor.ComboEntries();
    EXPECT_THAT(entries, ElementsAre("AMFI India", "Bloomberg", "Finam", "Google Finance", "India Times",
                                     "Money Central", "MSN Money UK", "Russian Trade System", "Yahoo Finance",
                                     "Yahoo Finance UK", "Zagreb Stock Exchange"));
    EXPECT_EQ(entries[StockEditor::FindSourceEntry(entries, "Yahoo Finance")], "Yahoo Finance");
    EXPECT_EQ(entries[StockEditor::FindSourceEntry(entries, "")], "Yahoo Finance");
    EXPECT_EQ(entries[StockEditor::FindSourceEntry(entries, "msn")], "MSN Money UK");
    EXPECT_EQ(StockEditor::FindSourceEntry(entries, "Nowhere"), -1);
}

TEST(StockEditorLimitTest, ZeroLimitShowsTheLastPrice) {
    EXPECT_EQ(StockEditor::LimitText(0, 12.5), "12.50");
    EXPECT_EQ(StockEditor::LimitText(0, 0), "0.00");
    EXPECT_EQ(StockEditor::LimitText(99.999, 12.5), "100.00");
}

} // namespace
} // namespace quillory
