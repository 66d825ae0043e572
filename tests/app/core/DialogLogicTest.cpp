#include <gtest/gtest.h>

#include "CoreFakes.h"
#include "app/core/AlertSequence.h"
#include "app/core/ListColours.h"
#include "app/core/OptionsValues.h"

namespace quillory {
namespace {

TEST(AlertSequenceTest, OneTextClosesAtOnce) {
    AlertSequence alerts({"MSFT price is 1,234.50 which is above your limit of 1,200.00!"});
    EXPECT_EQ(alerts.Current(), "MSFT price is 1,234.50 which is above your limit of 1,200.00!");
    EXPECT_EQ(alerts.ButtonText(), "Close");
    EXPECT_TRUE(alerts.Next());
}

TEST(AlertSequenceTest, ThreeTextsStepThroughNextNextClose) {
    AlertSequence alerts({"one", "two", "three"});
    EXPECT_EQ(alerts.Current(), "one");
    EXPECT_EQ(alerts.ButtonText(), "Next >>");
    EXPECT_FALSE(alerts.Next());
    EXPECT_EQ(alerts.Current(), "two");
    EXPECT_EQ(alerts.ButtonText(), "Next >>");
    EXPECT_FALSE(alerts.Next());
    EXPECT_EQ(alerts.Current(), "three");
    EXPECT_EQ(alerts.ButtonText(), "Close");
    EXPECT_TRUE(alerts.Next());
}

TEST(AlertSequenceTest, NoTextShowsNothingAndNextDoesNothing) {
    AlertSequence alerts;
    EXPECT_EQ(alerts.Current(), "");
    EXPECT_EQ(alerts.ButtonText(), "Close");
    EXPECT_FALSE(alerts.Next());
}

TEST(OptionsValuesTest, IntervalTextIsCheckedForNumberAndRange) {
    const std::string notInteger = "Enter an integer.";
    const std::string outOfRange = "Enter an integer between 10 and 1000.";
    struct Case {
        const char* text;
        std::string error; // "" when the text is taken
        int minutes;
    } cases[] = {
        {"10", "", 10},          {"1000", "", 1000},
        {" 25 ", "", 25},        {"5", outOfRange, 0},
        {"1001", outOfRange, 0}, {"0", outOfRange, 0},
        {"", notInteger, 0},     {"abc", notInteger, 0},
        {"12x", notInteger, 0},  {"99999999999999999999", notInteger, 0},
    };
    for (const Case& c : cases) {
        int minutes = 0;
        std::string error;
        EXPECT_EQ(OptionsValues::ParseUpdateTime(c.text, minutes, error), c.error.empty()) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
        EXPECT_EQ(minutes, c.minutes) << c.text;
    }
}

TEST(OptionsValuesTest, OkWithoutChangesWritesSwitchesAndLeavesTimerAlone) {
    test::MemorySettingsStore store;
    test::FakeAutostart autostart;
    test::FakeWindow window;
    QuilloryApp app(store, autostart);
    window.SetTimer(1, 2000);

    OptionsValues values = OptionsValues::Read(app);
    EXPECT_EQ(values.updateTime, 10);
    EXPECT_EQ(values.fallback, 1);
    values.Apply(app, window);

    EXPECT_EQ((store.values[{"Options", "AutoStart"}]), 0);
    EXPECT_EQ((store.values[{"Options", "WeekendUpdateFlag"}]), 0);
    EXPECT_EQ((store.values[{"Options", "Fallback"}]), 1);
    EXPECT_EQ((store.values[{"Options", "Notifications"}]), 1);
    EXPECT_EQ(store.values.count({"Options", "UpdateTime"}), 0u);
    EXPECT_EQ(autostart.calls, std::vector<std::string>{"Disable"});
    EXPECT_EQ(window.timers[1], 2000);
}

TEST(OptionsValuesTest, ChangedIntervalIsStoredAndRestartsTimerOne) {
    test::MemorySettingsStore store;
    test::FakeAutostart autostart;
    test::FakeWindow window;
    QuilloryApp app(store, autostart);

    OptionsValues values{1000, 1, 1};
    values.Apply(app, window);
    EXPECT_EQ(app.GetUpdateTime(), 1000);
    EXPECT_EQ(app.GetAutoStart(), 1);
    EXPECT_TRUE(autostart.enabled);
    EXPECT_EQ(window.timers[1], 60000000);
}

TEST(ListColoursTest, EvenRowsGreyAndChangeColumnBySign) {
    EXPECT_EQ(ListColours::RowBackground(0), (Rgb{231, 231, 231}));
    EXPECT_EQ(ListColours::RowBackground(1), std::nullopt);
    EXPECT_EQ(ListColours::RowBackground(4), (Rgb{231, 231, 231}));

    const Rgb red{191, 0, 0}, green{0, 127, 0};
    struct Case {
        const char* text;
        Rgb colour;
    } cases[] = {{"-0.25", red}, {"0.00", green}, {"N/A", green}, {"...", green}, {"1.5", green}, {" -3", red}};
    for (const Case& c : cases)
        EXPECT_EQ(ListColours::CellText(3, c.text), c.colour) << c.text;
    EXPECT_EQ(ListColours::CellText(2, "-1.00"), std::nullopt);
}

} // namespace
} // namespace quillory
