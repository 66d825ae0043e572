#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>

#include "CoreFakes.h"
#include "TaskFakes.h"
#include "TestSupport.h"
#include "app/core/UpdateCycle.h"
#include "foundation/Clock.h"
#include "tasks/PostQueue.h"
#include "tasks/ThreadPool.h"

namespace quillory {
namespace {

using ::testing::ElementsAre;

// Quote sources by symbol: a price (and alert texts) for known symbols, a failure, a missing
// source, or an error thrown out of the source. Fetch may run on any thread; the rest runs on the
// test's thread.
class FakeUpdater : public RowQuoteUpdater {
public:
    struct Quote {
        std::string price, change;
        std::vector<std::string> alerts;
    };
    RowFetch Prepare(const std::string& symbol) override {
        calls.push_back(symbol);
        return {symbol, "Fake", "host of " + symbol, true};
    }
    QuoteFetch Fetch(const RowFetch& request) const override {
        if (gates.count(request.symbol) && !gates.at(request.symbol)->Wait())
            return {};
        if (throwing.count(request.symbol))
            throw std::runtime_error("socket closed");
        QuoteFetch fetch;
        if (noSource.count(request.symbol))
            fetch.result = QuoteFetch::Result::NoSource;
        else if (quotes.count(request.symbol))
            fetch.result = QuoteFetch::Result::Updated;
        return fetch;
    }
    Result Apply(int row, const RowFetch& request, QuoteFetch& fetch, QuoteRows& rows,
                 std::list<std::string>& alerts) override {
        applied.push_back(request.symbol);
        if (during)
            during(request.symbol);
        if (fetch.result == QuoteFetch::Result::NoSource)
            return Result::NoSource;
        if (fetch.result == QuoteFetch::Result::Failed)
            return Result::Failed;
        const Quote& quote = quotes.at(request.symbol);
        rows.SetItemText(row, 2, quote.price);
        rows.SetItemText(row, 3, quote.change);
        alerts.insert(alerts.end(), quote.alerts.begin(), quote.alerts.end());
        return Result::Updated;
    }
    std::map<std::string, Quote> quotes;
    std::set<std::string> noSource, throwing;
    std::map<std::string, std::unique_ptr<test::Gate>> gates;
    std::vector<std::string> calls, applied;
    std::function<void(const std::string&)> during;
};

const char* const kFailureTail = ".\nTry to use different data source, check your Internet connection and try again!";

class UpdateCycleTest : public ::testing::Test {
protected:
    test::MemorySettingsStore store;
    test::FakeAutostart autostart;
    QuilloryApp app{store, autostart};
    test::FakeWindow window;
    FakeUpdater updater;
    test::ManualTaskRunner runner;
    UpdateCycle cycle{app, window, updater, runner};
    test::MessageBoxRecorder boxes;
    test::LogCapture log;

    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : boxes.Boxes())
            texts.push_back(box.text);
        return texts;
    }
    // Runs the waiting fetch of `symbol`.
    void Finish(const std::string& symbol) {
        for (size_t i = 0; i < runner.tasks.size(); ++i)
            if (runner.tasks[i].key == "host of " + symbol)
                return runner.Run(i);
        ADD_FAILURE() << "no fetch waits for " << symbol;
    }
    // The pass left the window idle: button on, idle image, no wait cursor, not updating.
    void ExpectIdleAfterPass() {
        EXPECT_TRUE(window.buttonEnabled);
        EXPECT_EQ(window.trayIcon, kIconIdle);
        EXPECT_EQ(window.waitDepth, 0);
        EXPECT_FALSE(cycle.IsUpdating());
        EXPECT_EQ(window.timers.count(3), 0u) << "the deadline timer outlived its pass";
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
    EXPECT_THAT(window.trayHistory, ElementsAre(kIconBusy, kIconIdle));
    ExpectIdleAfterPass();
}

TEST_F(UpdateCycleTest, RowsWaitWithDotsAndAreAppliedAsTheirQuotesArriveInAnyOrder) {
    test::ScopedClock clock(2026, 12, 9, 9, 30, 0);
    for (const char* symbol : {"AAA", "BBB", "CCC"}) {
        window.AddRow(symbol);
        updater.quotes[symbol] = {std::string(symbol) + " price", "+1", {}};
    }
    cycle.UpdateQuotes();

    // Every row is on its way at once; the window is busy but not blocked.
    EXPECT_EQ(runner.tasks.size(), 3u);
    EXPECT_TRUE(cycle.IsUpdating());
    EXPECT_FALSE(window.buttonEnabled);
    EXPECT_EQ(window.trayIcon, kIconBusy);
    EXPECT_EQ(window.timers[3], 120000);
    EXPECT_EQ(window.status, "Quotes delayed 20 minutes\nUpdating 0 of 3\u2026");
    EXPECT_THAT(window.journal, ElementsAre("button off", "redraw 0 .../...", "redraw 1 .../...", "redraw 2 .../..."));

    Finish("CCC");
    EXPECT_EQ(window.rows[2][2], "CCC price");
    EXPECT_EQ(window.rows[0][2], "...");
    EXPECT_EQ(window.status, "Quotes delayed 20 minutes\nUpdating 1 of 3\u2026");
    Finish("AAA");
    EXPECT_EQ(window.status, "Quotes delayed 20 minutes\nUpdating 2 of 3\u2026");
    EXPECT_TRUE(cycle.IsUpdating());
    Finish("BBB");

    EXPECT_THAT(updater.applied, ElementsAre("CCC", "AAA", "BBB"));
    EXPECT_EQ(window.rows[1], (std::vector<std::string>{"BBB", "", "BBB price", "+1"}));
    EXPECT_EQ(window.status, "Quotes delayed 20 minutes\nLast update: 09:30:00");
    EXPECT_TRUE(boxes.Boxes().empty());
    ExpectIdleAfterPass();
}

TEST_F(UpdateCycleTest, FailuresAreNamedInOneBoxInRowOrderWhateverOrderTheyFailIn) {
    test::ScopedClock clock(2026, 12, 9, 9, 30, 0);
    window.AddRow("GOOG");
    window.AddRow("IBM");
    window.AddRow("MSFT");
    updater.throwing.insert("MSFT"); // an error out of the source counts as a failed run
    updater.quotes["IBM"] = {"1.00", "0.00", {}};
    cycle.UpdateQuotes();
    Finish("MSFT");
    Finish("IBM");
    Finish("GOOG");

    EXPECT_THAT(BoxTexts(),
                ElementsAre(std::string("Quillory failed to download quotes for GOOG, MSFT") + kFailureTail));
    EXPECT_EQ(boxes.Boxes()[0].caption, "Quillory");
    EXPECT_EQ(boxes.Boxes()[0].icon, MessageBoxIcon::Warning);
    EXPECT_EQ(window.rows[0], (std::vector<std::string>{"GOOG", "", "N/A", "N/A"}));
    EXPECT_EQ(window.rows[2], (std::vector<std::string>{"MSFT", "", "N/A", "N/A"}));
    EXPECT_THAT(window.journal, ElementsAre("button off", "redraw 0 .../...", "redraw 1 .../...", "redraw 2 .../...",
                                            "redraw 2 N/A/N/A", "redraw 0 N/A/N/A", "button on"));
    EXPECT_EQ(window.status, "Quotes delayed 20 minutes\nLast update: 09:30:00");
    EXPECT_EQ(window.timers[1], 600000);
    EXPECT_EQ(window.trayToolTip, "Quillory");
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
    runner.RunAll();

    EXPECT_THAT(
        BoxTexts(),
        ElementsAre("Unable to create data extractor for BBB! Try to update it in the propertied of investment.",
                    std::string("Quillory failed to download quotes for AAA") + kFailureTail));
    EXPECT_EQ(window.rows[1][2], "...");
    EXPECT_EQ(window.rows[1][3], "...");
    EXPECT_THAT(updater.calls, ElementsAre("AAA", "BBB", "CCC"));
}

TEST_F(UpdateCycleTest, BoxesOpenedWhileResultsArriveComeOneAfterTheOtherAndTheFailureBoxLast) {
    test::ScopedClock clock(2026, 12, 9);
    for (const char* symbol : {"AAA", "BBB", "CCC", "DDD"})
        window.AddRow(symbol);
    updater.noSource = {"AAA", "CCC"};
    cycle.UpdateQuotes();
    // A real box runs a nested event loop: the other results arrive while it is open.
    std::vector<std::string> shown;
    MessageBoxHook previous = SetMessageBoxHook([&](const std::string& text, const std::string&, MessageBoxIcon) {
        shown.push_back(text.substr(0, 40));
        while (!runner.tasks.empty())
            runner.Run(0);
    });
    runner.Run(0);
    SetMessageBoxHook(previous);

    EXPECT_THAT(shown,
                ElementsAre("Unable to create data extractor for AAA!", "Unable to create data extractor for CCC!",
                            "Quillory failed to download quotes for B"));
    EXPECT_TRUE(runner.tasks.empty());
    ExpectIdleAfterPass();
}

TEST_F(UpdateCycleTest, TimerPassReportsFailuresInTheStatusLineAndTrayTipInsteadOfBoxes) {
    test::ScopedClock clock(2026, 12, 9, 9, 30, 0);
    window.AddRow("AAA");
    window.AddRow("BBB");
    window.AddRow("CCC");
    updater.noSource.insert("BBB");
    cycle.OnTimer(1);
    runner.RunAll();

    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(window.status, "Quotes delayed 20 minutes\nLast update: 09:30:00 (failed: AAA, BBB, CCC)");
    EXPECT_EQ(window.trayToolTip, "Quillory\nQuillory failed to download quotes for AAA, CCC.\nUnable to create data "
                                  "extractor for BBB! Try to update it in the propertied of investment.");
    EXPECT_EQ(window.rows[0][2], "N/A");

    // The next pass that succeeds clears both; its status keeps the first line.
    updater.noSource.clear();
    for (const char* symbol : {"AAA", "BBB", "CCC"})
        updater.quotes[symbol] = {"1.00", "0.00", {}};
    clock.Advance(60);
    cycle.OnTimer(1);
    EXPECT_EQ(window.status, "Quotes delayed 20 minutes\nUpdating 0 of 3\u2026");
    runner.RunAll();
    EXPECT_EQ(window.status, "Quotes delayed 20 minutes\nLast update: 09:31:00");
    EXPECT_EQ(window.trayToolTip, "Quillory");
    ExpectIdleAfterPass();
}

TEST_F(UpdateCycleTest, DeadlineCountsTheRowsNotDoneAsFailedAndCancelsTheirDownloads) {
    test::ScopedClock clock(2026, 12, 9);
    window.AddRow("AAA");
    window.AddRow("BBB");
    window.AddRow("CCC");
    for (const char* symbol : {"AAA", "BBB", "CCC"})
        updater.quotes[symbol] = {"1.00", "0.00", {"alert " + std::string(symbol)}};
    cycle.SetPassDeadline(5000);
    cycle.UpdateQuotes();
    EXPECT_EQ(window.timers[3], 5000);
    Finish("BBB");
    std::shared_ptr<const CancelToken> token = runner.tasks[0].token;
    EXPECT_FALSE(token->IsCancelled());

    cycle.OnTimer(3);
    EXPECT_TRUE(token->IsCancelled());
    EXPECT_THAT(BoxTexts(), ElementsAre(std::string("Quillory failed to download quotes for AAA, CCC") + kFailureTail));
    EXPECT_EQ(window.rows[0][2], "N/A");
    EXPECT_EQ(window.rows[1][2], "1.00");
    EXPECT_THAT(cycle.GetPendingAlerts(), ElementsAre("alert BBB"));
    ExpectIdleAfterPass();

    // The cancelled downloads end later; what they bring is dropped.
    runner.tasks[0].token = nullptr; // as if the download had finished before it saw the cancel
    runner.RunAll();
    EXPECT_THAT(updater.applied, ElementsAre("BBB"));
    EXPECT_EQ(window.rows[0][2], "N/A");
}

TEST_F(UpdateCycleTest, CancelledPassShowsNothingMoreAndLooksIdle) {
    test::ScopedClock clock(2026, 12, 9);
    window.AddRow("AAA");
    window.AddRow("BBB");
    cycle.UpdateQuotes();
    Finish("AAA"); // failed: N/A, but the box would only come at the end
    cycle.CancelPass();

    EXPECT_TRUE(runner.tasks[0].token->IsCancelled());
    EXPECT_EQ(window.status, "Quotes delayed 20 minutes\nLast update: N/A");
    EXPECT_EQ(cycle.GetLastUpdateTime(), 0);
    runner.RunAll();
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_THAT(updater.applied, ElementsAre("AAA"));
    ExpectIdleAfterPass();
}

TEST_F(UpdateCycleTest, RowDeletedDuringThePassIsNeitherWrittenNorNamed) {
    test::ScopedClock clock(2026, 12, 9);
    window.AddRow("AAA");
    window.AddRow("BBB");
    window.AddRow("CCC");
    updater.quotes["CCC"] = {"3.00", "0.30", {}};
    cycle.UpdateQuotes();
    window.rows.erase(window.rows.begin()); // the user deletes AAA; the others move up
    window.rows.erase(window.rows.begin()); // and BBB
    runner.RunAll();

    EXPECT_THAT(updater.applied, ElementsAre("CCC")) << "results of deleted rows are dropped";
    EXPECT_EQ(window.rows[0], (std::vector<std::string>{"CCC", "", "3.00", "0.30"}));
    EXPECT_TRUE(boxes.Boxes().empty());
    ExpectIdleAfterPass();
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
    runner.RunAll();
    EXPECT_THAT(updater.calls, ElementsAre("MSFT"));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(UpdateCycleTest, PassStartedInsideARunningPassIsTurnedAway) {
    test::ScopedClock clock(2026, 12, 9);
    window.AddRow("MSFT");
    updater.quotes["MSFT"] = {"30.00", "0.10", {}};
    cycle.UpdateQuotes();
    // A timer tick and a tray "Update" while the quotes are on their way.
    window.KillTimer(1);
    cycle.OnTimer(1);
    cycle.UpdateQuotes();
    EXPECT_EQ(window.timers.count(1), 0u) << "a refused re-entry must not start timer 1";
    EXPECT_EQ(runner.tasks.size(), 1u);

    runner.RunAll();
    EXPECT_THAT(updater.calls, ElementsAre("MSFT"));
    EXPECT_EQ(window.timers[1], 600000);
}

TEST_F(UpdateCycleTest, TimerOneUsesTheIntervalReadAtTheEndOfThePass) {
    test::ScopedClock clock(2026, 12, 9);
    window.AddRow("MSFT");
    window.SetTimer(1, 2000);
    cycle.OnTimer(1);
    app.SetUpdateTime(1000);
    runner.RunAll();
    EXPECT_EQ(window.timers[1], 60000000);
}

TEST_F(UpdateCycleTest, AlertsWaitInRowOrderAndStartTheBlinkWhichSurvivesARestart) {
    test::ScopedClock clock(2026, 12, 9);
    window.AddRow("IBM");
    window.AddRow("MSFT");
    updater.quotes["IBM"] = {"99.00", "0.00", {"IBM alert"}};
    updater.quotes["MSFT"] = {"1234.50", "3.00", {"MSFT price is 1,234.50 which is above your limit of 1,200.00!"}};
    alertBlinkPhase = false;
    cycle.UpdateQuotes();
    Finish("MSFT");
    Finish("IBM");

    EXPECT_EQ(window.timers[2], 500);
    EXPECT_THAT(cycle.GetPendingAlerts(),
                ElementsAre("IBM alert", "MSFT price is 1,234.50 which is above your limit of 1,200.00!"));
    ASSERT_EQ(window.alertPasses.size(), 1u) << "announced once per pass, in row order";
    EXPECT_THAT(window.alertPasses[0],
                ElementsAre("IBM alert", "MSFT price is 1,234.50 which is above your limit of 1,200.00!"));
    window.trayHistory.clear();
    cycle.OnTimer(2);
    cycle.OnTimer(2);
    cycle.OnTimer(2);
    EXPECT_THAT(window.trayHistory, ElementsAre(kIconBlinkOn, kIconBlinkOff, kIconBlinkOn));

    std::list<std::string> shown = cycle.TakePendingAlerts();
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_TRUE(cycle.GetPendingAlerts().empty());
    EXPECT_EQ(window.timers.count(2), 0u);
    EXPECT_EQ(window.trayIcon, kIconIdle);

    // The next blinking goes on from where the last one stopped.
    updater.quotes["MSFT"].alerts.clear();
    cycle.UpdateQuotes();
    runner.RunAll();
    ASSERT_EQ(window.alertPasses.size(), 2u);
    EXPECT_THAT(window.alertPasses[1], ElementsAre("IBM alert")) << "only this pass's texts";
    cycle.TakePendingAlerts();
    updater.quotes["IBM"].alerts.clear();
    cycle.UpdateQuotes();
    runner.RunAll();
    EXPECT_EQ(window.alertPasses.size(), 2u) << "a pass without alerts announces nothing";
    updater.quotes["IBM"].alerts = {"IBM alert"};
    cycle.UpdateQuotes();
    runner.RunAll();
    window.trayHistory.clear();
    cycle.OnTimer(2);
    EXPECT_THAT(window.trayHistory, ElementsAre(kIconBlinkOff));
}

TEST_F(UpdateCycleTest, OtherTimerIdsAreIgnored) {
    cycle.OnTimer(7);
    cycle.OnTimer(3); // a deadline with no pass
    EXPECT_TRUE(window.trayHistory.empty());
    EXPECT_TRUE(updater.calls.empty());
}

TEST(UpdateCycleStatusTest, KeepsTheTextUpToItsFirstColon) {
    test::ScopedClock clock(2026, 12, 9, 23, 59, 58);
    EXPECT_EQ(UpdateCycle::StatusWithTime("Quotes delayed 20 minutes\nLast update: 10:00:00", Clock::Now()),
              "Quotes delayed 20 minutes\nLast update: 23:59:58");
    EXPECT_EQ(UpdateCycle::StatusWithProgress("Quotes delayed 20 minutes\nLast update: 10:00:00", 3, 20),
              "Quotes delayed 20 minutes\nUpdating 3 of 20\u2026");
    EXPECT_EQ(UpdateCycle::StatusWithProgress("Last update: N/A", 0, 1), "Updating 0 of 1\u2026");
}

// The same pass on real threads: fetches that block until released, released in reverse order.
TEST(UpdateCycleThreadsTest, BlockedFetchesReleasedInAnyOrderAreAppliedOnTheOwningThread) {
    test::ScopedClock clock(2026, 12, 9, 9, 30, 0);
    test::MemorySettingsStore store;
    test::FakeAutostart autostart;
    QuilloryApp app{store, autostart};
    test::FakeWindow window;
    FakeUpdater updater;
    test::MessageBoxRecorder boxes;
    test::LogCapture log;
    const std::vector<std::string> symbols = {"A", "B", "C", "D", "E", "F"};
    for (const std::string& symbol : symbols) {
        window.AddRow(symbol);
        updater.gates[symbol] = std::make_unique<test::Gate>();
        if (symbol != "C")
            updater.quotes[symbol] = {symbol + "1", "0", {"alert " + symbol}};
    }
    PostQueue gui;
    ThreadPool pool(4, 2, [&gui](std::function<void()> f) { gui.Post(std::move(f)); });
    UpdateCycle cycle{app, window, updater, pool};

    cycle.UpdateQuotes();
    for (auto it = symbols.rbegin(); it != symbols.rend(); ++it)
        updater.gates[*it]->Open();
    ASSERT_TRUE(gui.RunUntil([&] { return !cycle.IsUpdating(); }));

    for (size_t i = 0; i < symbols.size(); ++i)
        EXPECT_EQ(window.rows[i][2], symbols[i] == "C" ? "N/A" : symbols[i] + "1");
    EXPECT_THAT(cycle.GetPendingAlerts(), ElementsAre("alert A", "alert B", "alert D", "alert E", "alert F"));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, std::string("Quillory failed to download quotes for C") + kFailureTail);
    pool.Shutdown();
}

TEST(UpdateCycleThreadsTest, CancelledPassFreesBlockedWorkersAtOnce) {
    test::ScopedClock clock(2026, 12, 9);
    test::MemorySettingsStore store;
    test::FakeAutostart autostart;
    QuilloryApp app{store, autostart};
    test::FakeWindow window;
    FakeUpdater updater;
    test::MessageBoxRecorder boxes;
    for (const char* symbol : {"A", "B", "C", "D", "E"}) {
        window.AddRow(symbol);
        updater.gates[symbol] = std::make_unique<test::Gate>(); // never opened
    }
    PostQueue gui;
    ThreadPool pool(4, 2, [&gui](std::function<void()> f) { gui.Post(std::move(f)); });
    UpdateCycle cycle{app, window, updater, pool};
    cycle.UpdateQuotes();

    cycle.CancelPass();
    pool.Shutdown(); // returns only once every worker has left its download
    EXPECT_FALSE(cycle.IsUpdating());
    EXPECT_TRUE(boxes.Boxes().empty());
}

} // namespace
} // namespace quillory
