#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "CoreFakes.h"
#include "PageServer.h"
#include "TestSupport.h"
#include "app/core/StockQuoteUpdater.h"
#include "app/core/UpdateCycle.h"
#include "foundation/NumericFormat.h"
#include "tasks/PostQueue.h"
#include "tasks/ThreadPool.h"
#include "web/HttpCache.h"

namespace quillory {
namespace {

// Investments on several services, some of which fail.
const std::vector<std::pair<std::string, std::string>> kInvestments = {
    {"IBM", "Yahoo Finance"},       {"MSFT", "Yahoo Finance"},         {"KO", "Yahoo Finance"},
    {"VFINX", "Yahoo Finance"},     {"NOTRADE", "Yahoo Finance"},      {"BP.L", "Yahoo Finance UK"},
    {"BARC.L", "Yahoo Finance UK"}, {"NASDAQ:ACME", "Google Finance"}, {"NOSUCH", "Google Finance"},
    {"CTSO", "Money Central"},      {"IBM:US", "Bloomberg"},           {"GONE", "Bloomberg"},
};

struct PassResult {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> boxes;
    std::list<std::string> alerts;
};

// One pass of the real sources against the fixture services, `workers` downloads at once.
PassResult RunPass(int workers, int perHost) {
    theHttpCache.Clear();
    test::MemorySettingsStore store;
    test::FakeAutostart autostart;
    QuilloryApp app{store, autostart};
    test::FakeWindow window;
    test::MessageBoxRecorder boxes;
    StockList list;
    for (const auto& [symbol, source] : kInvestments) {
        Stock stock(symbol, symbol);
        stock.SetDataSource(source);
        stock.GetAlert().SetUpper(true, 1);
        list.Add(stock);
        window.AddRow(symbol);
    }
    StockQuoteUpdater updater(list, StockSources::Default());
    PostQueue gui;
    ThreadPool pool(workers, perHost, [&gui](std::function<void()> f) { gui.Post(std::move(f)); });
    UpdateCycle cycle(app, window, updater, pool);
    cycle.UpdateQuotes();
    EXPECT_TRUE(gui.RunUntil([&] { return !cycle.IsUpdating(); }));
    pool.Shutdown();
    PassResult result{window.rows, {}, cycle.GetPendingAlerts()};
    for (const auto& box : boxes.Boxes())
        result.boxes.push_back(box.text);
    return result;
}

// The real sources and web code on several threads at once (the page cache, the log, the hosts
// and the proxy settings shared) give what the same pass gives one download at a time.
TEST(ParallelPassTest, RealSourcesInParallelGiveWhatTheyGiveOneAtATime) {
    test::ScopedClock clock(2026, 12, 9);
    NumericFormat::SetDefault(NumericFormat('.', ',', 2));
    test::PageServer pages;
    test::LogCapture log;

    PassResult serial = RunPass(1, 1);
    PassResult parallel = RunPass(4, 2);

    EXPECT_EQ(parallel.rows, serial.rows);
    EXPECT_EQ(parallel.boxes, serial.boxes);
    EXPECT_EQ(parallel.alerts, serial.alerts);
    ASSERT_EQ(serial.boxes.size(), 1u);
    EXPECT_EQ(serial.boxes[0].rfind("Quillory failed to download quotes for NOTRADE, NOSUCH, CTSO, GONE.", 0), 0u)
        << serial.boxes[0];
    int updated = 0;
    for (const auto& row : serial.rows)
        updated += row[2] != "N/A" && row[2] != "...";
    EXPECT_EQ(updated, 8);
}

} // namespace
} // namespace quillory
