#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <stdexcept>

#include "CoreFakes.h"
#include "TestSupport.h"
#include "app/core/UpdateCycle.h"
#include "foundation/Clock.h"

namespace quillory {
namespace {

using ::testing::ElementsAre;

// Quote sources by symbol: a price (and alert texts) for known symbols, a failure, a missing
// source, or an error thrown out of the source.
class FakeUpdater : public RowQuoteUpdater {
public:
    struct Quote {
        std::string price, change;
        std::vector<std::string> alerts;
    };
    Result UpdateRow(int row, const std::string& symbol, QuoteRows& rows, std::list<std::string>& alerts) override {
        calls.push_back(symbol);
        if (during)
            during(symbol);
        if (throwing.count(symbol))
            throw std::runtime_error("socket closed");
        if (noSource.count(symbol))
            return Result::NoSource;
        auto it = quotes.find(symbol);
        if (it == quotes.end())
            return Result::Failed;
        rows.SetItemText(row, 2, it->second.price);
        rows.SetItemText(row, 3, it->second.change);
        alerts.insert(alerts.end(), it->second.alerts.begin(), it->second.alerts.end());
        return Result::Updated;
    }
    std::map<std::string, Quote> quotes;
    std::set<std::string> noSource, throwing;
    std::vector<std::string> calls;
    std::function<void(const std::string&)> during;
};

class UpdateCycleTest : public ::testing::Test {
protected:
    test::MemorySettingsStore store;
    test::FakeAutostart autostart;
    QuilloryApp app{store, autostart};
    test::FakeWindow window;
    FakeUpdater updater;
    UpdateCycle cycle{app, window, updater};
    test::MessageBoxRecorder boxes;
    test::LogCapture log;

    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : boxes.Boxes())
            texts.push_back(box.text);
        return texts;
    }
    // The pass left the window idle: button on, idle image, no wait cursor, not updating.
    void ExpectIdleAfterPass() {
        EXPECT_TRUE(window.buttonEnabled);
        EXPECT_EQ(window.trayIcon, 134);
        EXPECT_EQ(window.waitDepth, 0);
        EXPECT_FALSE(cycle.IsUpdating());
    }
};

TEST_F(UpdateCycleTest, EmptyListStillStampsTheStatusAndRearmsTimerOne) {
    test::ScopedClock clock(2026, 12, 9, 14, 5, 9); // a Wednesday
    cycle.UpdateQuotes();

    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_TRUE(updater.calls.empty());
    EXPECT_EQ(window.status, "Quotes delayed 20 minutes\nLast update: 14:05:09");
    EXPECT_EQ(window.timers[1], 600000);
    EXPECT_EQ(window.timers.count(2), 0u);
    EXPECT_EQ(cycle.GetLastUpdateTime(), Clock::Now());
    EXPECT_THAT(window.trayHistory, ElementsAre(142, 134));
    ExpectIdleAfterPass();
}

TEST_F(UpdateCycleTest, RowsAreMarkedFetchedAndRewrittenInOrder) {
    test::ScopedClock clock(2026, 12, 9);
    window.AddRow("GOOG");
    window.AddRow("MSFT");
    updater.quotes["GOOG"] = {"530.10", "-1.20", {}};
    updater.quotes["MSFT"] = {"30.50", "0.25", {}};
    cycle.UpdateQuotes();

    EXPECT_THAT(updater.calls, ElementsAre("GOOG", "MSFT"));
    EXPECT_THAT(window.journal, ElementsAre("button off", "redraw 0 .../...", "redraw 1 .../...", "button on"));
    EXPECT_EQ(window.rows[0][2], "530.10");
    EXPECT_EQ(window.rows[1][3], "0.25");
    EXPECT_TRUE(boxes.Boxes().empty());
    ExpectIdleAfterPass();
}

TEST_F(UpdateCycleTest, AllFailingRowsAreNamedInOneBoxInRowOrder) {
    test::ScopedClock clock(2026, 12, 9, 9, 30, 0);
    window.AddRow("GOOG");
    window.AddRow("MSFT");
    updater.throwing.insert("MSFT"); // an error out of the source counts as a failed run
    cycle.UpdateQuotes();

    EXPECT_THAT(BoxTexts(), ElementsAre("Quillory failed to download quotes for GOOG, MSFT.\nTry to use different data "
                                        "source, check your Internet connection and try again!"));
    EXPECT_EQ(boxes.Boxes()[0].caption, "Quillory");
    EXPECT_EQ(boxes.Boxes()[0].icon, MessageBoxIcon::Warning);
    EXPECT_EQ(window.rows[0], (std::vector<std::string>{"GOOG", "", "N/A", "N/A"}));
    EXPECT_EQ(window.rows[1], (std::vector<std::string>{"MSFT", "", "N/A", "N/A"}));
    EXPECT_THAT(window.journal, ElementsAre("button off", "redraw 0 .../...", "redraw 0 N/A/N/A", "redraw 1 .../...",
                                            "redraw 1 N/A/N/A", "button on"));
    EXPECT_EQ(window.status, "Quotes delayed 20 minutes\nLast update: 09:30:00");
    EXPECT_EQ(window.timers[1], 600000);
    ExpectIdleAfterPass();
}

TEST_F(UpdateCycleTest, UnknownSourceWarnsPerRowKeepsDotsAndStaysOutOfTheFailureBox) {
    test::ScopedClock clock(2026, 12, 9);
    window.AddRow("AAA");
    window.AddRow("BBB");
    window.AddRow("CCC");
    updater.noSource.insert("BBB");
    updater.quotes["CCC"] = {"1.00", "0.00", {}};
    cycle.UpdateQuotes();

    EXPECT_THAT(
        BoxTexts(),
        ElementsAre("Unable to create data extractor for BBB! Try to update it in the propertied of investment.",
                    "Quillory failed to download quotes for AAA.\nTry to use different data source, check your "
                    "Internet connection and try again!"));
    EXPECT_EQ(window.rows[1][2], "...");
    EXPECT_EQ(window.rows[1][3], "...");
    EXPECT_THAT(updater.calls, ElementsAre("AAA", "BBB", "CCC"));
}

TEST_F(UpdateCycleTest, WeekendRefusalByButtonShowsTheBoxAndChangesNothing) {
    test::ScopedClock clock(2026, 12, 12); // a Saturday
    window.AddRow("MSFT");
    cycle.UpdateQuotes(UpdateCycle::Trigger::User);

    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Weekend! Market is closed.");
    EXPECT_EQ(boxes.Boxes()[0].icon, MessageBoxIcon::Information);
    EXPECT_TRUE(updater.calls.empty());
    EXPECT_TRUE(window.timers.empty());
    EXPECT_TRUE(window.trayHistory.empty());
    EXPECT_EQ(cycle.GetLastUpdateTime(), 0);
}

TEST_F(UpdateCycleTest, WeekendRefusalByTimerIsSilentAndKeepsAutomaticUpdatesAlive) {
    test::ScopedClock clock(2026, 12, 13); // a Sunday
    window.AddRow("MSFT");
    window.SetTimer(1, 2000);
    cycle.OnTimer(1);

    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_TRUE(updater.calls.empty());
    EXPECT_EQ(window.timers[1], 600000);

    // Monday's tick runs the pass.
    clock.Advance(24 * 3600);
    updater.quotes["MSFT"] = {"30.00", "0.10", {}};
    cycle.OnTimer(1);
    EXPECT_THAT(updater.calls, ElementsAre("MSFT"));
}

TEST_F(UpdateCycleTest, WeekendFlagAllowsTheSaturdayPass) {
    test::ScopedClock clock(2026, 12, 12);
    app.SetWeekendUpdateFlag(1);
    window.AddRow("MSFT");
    updater.quotes["MSFT"] = {"30.00", "0.10", {}};
    cycle.UpdateQuotes();
    EXPECT_THAT(updater.calls, ElementsAre("MSFT"));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(UpdateCycleTest, PassStartedInsideARunningPassIsTurnedAway) {
    test::ScopedClock clock(2026, 12, 9);
    window.AddRow("MSFT");
    updater.quotes["MSFT"] = {"30.00", "0.10", {}};
    // A timer tick and a tray "Update" arriving in a nested message loop during the pass.
    updater.during = [&](const std::string&) {
        window.KillTimer(1);
        cycle.OnTimer(1);
        cycle.UpdateQuotes();
        EXPECT_EQ(window.timers.count(1), 0u) << "a refused re-entry must not start timer 1";
    };
    cycle.UpdateQuotes();
    EXPECT_THAT(updater.calls, ElementsAre("MSFT"));
    EXPECT_EQ(window.timers[1], 600000);
}

TEST_F(UpdateCycleTest, TimerOneUsesTheIntervalReadAtTheEndOfThePass) {
    test::ScopedClock clock(2026, 12, 9);
    window.AddRow("MSFT");
    updater.during = [&](const std::string&) { app.SetUpdateTime(1000); };
    window.SetTimer(1, 2000);
    cycle.OnTimer(1);
    EXPECT_EQ(window.timers[1], 60000000);
}

TEST_F(UpdateCycleTest, RowDeletedDuringThePassIsNotFetched) {
    test::ScopedClock clock(2026, 12, 9);
    window.AddRow("AAA");
    window.AddRow("BBB");
    updater.noSource.insert("AAA");
    // The user deletes a row while the "Unable to create" box is open.
    updater.during = [&](const std::string& symbol) {
        if (symbol == "AAA")
            window.rows.pop_back();
    };
    cycle.UpdateQuotes();
    EXPECT_THAT(updater.calls, ElementsAre("AAA"));
    ExpectIdleAfterPass();
}

TEST_F(UpdateCycleTest, AlertsStartTheBlinkWhichSurvivesARestart) {
    test::ScopedClock clock(2026, 12, 9);
    window.AddRow("MSFT");
    updater.quotes["MSFT"] = {"1234.50", "3.00", {"MSFT price is 1,234.50 which is above your limit of 1,200.00!"}};
    alertBlinkPhase = false;
    cycle.UpdateQuotes();

    EXPECT_EQ(window.timers[2], 500);
    EXPECT_THAT(cycle.GetPendingAlerts(), ElementsAre("MSFT price is 1,234.50 which is above your limit of 1,200.00!"));
    window.trayHistory.clear();
    cycle.OnTimer(2);
    cycle.OnTimer(2);
    cycle.OnTimer(2);
    EXPECT_THAT(window.trayHistory, ElementsAre(138, 139, 138));

    std::list<std::string> shown = cycle.TakePendingAlerts();
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_TRUE(cycle.GetPendingAlerts().empty());
    EXPECT_EQ(window.timers.count(2), 0u);
    EXPECT_EQ(window.trayIcon, 134);

    // The next blinking goes on from where the last one stopped.
    cycle.UpdateQuotes();
    window.trayHistory.clear();
    cycle.OnTimer(2);
    EXPECT_THAT(window.trayHistory, ElementsAre(139));
}

TEST_F(UpdateCycleTest, OtherTimerIdsAreIgnored) {
    cycle.OnTimer(7);
    EXPECT_TRUE(window.trayHistory.empty());
    EXPECT_TRUE(updater.calls.empty());
}

TEST(UpdateCycleStatusTest, KeepsTheTextUpToItsFirstColon) {
    test::ScopedClock clock(2026, 12, 9, 23, 59, 58);
    EXPECT_EQ(UpdateCycle::StatusWithTime("Quotes delayed 20 minutes\nLast update: 10:00:00", Clock::Now()),
              "Quotes delayed 20 minutes\nLast update: 23:59:58");
}

} // namespace
} // namespace quillory
