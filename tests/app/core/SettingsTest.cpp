#include <gtest/gtest.h>

#include "CoreFakes.h"
#include "app/core/QuilloryApp.h"
#include "app/core/WindowPlacement.h"

namespace quillory {
namespace {

TEST(SettingsTest, FreshProfileGivesTheDefaults) {
    test::MemorySettingsStore store;
    test::FakeAutostart autostart;
    QuilloryApp app(store, autostart);

    EXPECT_EQ(app.GetUpdateTime(), 10);
    EXPECT_EQ(app.GetAutoStart(), 0);
    EXPECT_EQ(app.GetWeekendUpdateFlag(), 0);
    EXPECT_EQ(app.GetFallback(), 1);
    EXPECT_EQ(app.GetNotifications(), 1);
    WindowPlacement placement = WindowPlacement::Read(app);
    EXPECT_EQ(placement.left, 100);
    EXPECT_EQ(placement.top, 100);
    EXPECT_EQ(placement.Width(), 300);
    EXPECT_EQ(placement.Height(), 400);
    EXPECT_EQ(ColumnWidths::Read(app, 0), 50);
    EXPECT_EQ(ColumnWidths::Read(app, 1), 100);
    EXPECT_EQ(ColumnWidths::Read(app, 2), 55);
    EXPECT_EQ(ColumnWidths::Read(app, 3), 50);
    EXPECT_TRUE(store.values.empty()) << "reading must never write";
}

TEST(SettingsTest, EveryReadGoesToTheStoreAndNamesItsSection) {
    test::MemorySettingsStore store;
    test::FakeAutostart autostart;
    QuilloryApp app(store, autostart);

    app.SetUpdateTime(25);
    app.SetWeekendUpdateFlag(1);
    app.SetFallback(0);
    app.SetNotifications(0);
    ColumnWidths::Write(app, 3, 77);
    EXPECT_EQ((store.values[{"Options", "Fallback"}]), 0);
    EXPECT_EQ((store.values[{"Options", "Notifications"}]), 0);
    EXPECT_EQ((store.values[{"Options", "UpdateTime"}]), 25);
    EXPECT_EQ((store.values[{"Options", "WeekendUpdateFlag"}]), 1);
    EXPECT_EQ((store.values[{"Window", "Column3"}]), 77);

    // A value changed behind the application's back is seen by the next read.
    store.values[{"Options", "UpdateTime"}] = 40;
    EXPECT_EQ(app.GetUpdateTime(), 40);
}

TEST(SettingsTest, AutoStartMaintainsTheLogOnEntryAtEveryWrite) {
    test::MemorySettingsStore store;
    test::FakeAutostart autostart;
    QuilloryApp app(store, autostart);

    app.SetAutoStart(1);
    app.SetAutoStart(1);
    app.SetAutoStart(0);
    app.SetAutoStart(0);
    EXPECT_EQ(autostart.calls, (std::vector<std::string>{"Enable", "Enable", "Disable", "Disable"}));
    EXPECT_EQ(app.GetAutoStart(), 0);
    EXPECT_FALSE(autostart.enabled);
}

TEST(WindowPlacementTest, FitsTheSavedRectangleOntoTheScreen) {
    struct Case {
        WindowPlacement saved;
        WindowPlacement expected;
    } cases[] = {
        {{100, 100, 400, 500}, {100, 100, 400, 500}},    // fits
        {{1700, 100, 2000, 500}, {980, 100, 1280, 500}}, // past the right edge
        {{-50, 100, 250, 500}, {980, 100, 1280, 500}},   // past the left edge: to the right edge
        {{100, 900, 400, 1300}, {100, 0, 400, 400}},     // below the bottom: to the top
        {{100, -20, 400, 380}, {100, 0, 400, 400}},      // above the top
    };
    for (const Case& c : cases) {
        WindowPlacement p = c.saved;
        p.FitToScreen(1280, 1024);
        EXPECT_EQ(p.left, c.expected.left);
        EXPECT_EQ(p.top, c.expected.top);
        EXPECT_EQ(p.right, c.expected.right);
        EXPECT_EQ(p.bottom, c.expected.bottom);
    }
}

} // namespace
} // namespace quillory
