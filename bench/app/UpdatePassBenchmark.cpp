// An update pass of 20 investments on four quote services, each service a local server that
// answers every request after 300 ms: the pass with its four workers and the same pass with one,
// in one run; prints both times and their ratio at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#include "CoreFakes.h"
#include "TestServer.h"
#include "app/core/StockQuoteUpdater.h"
#include "app/core/UpdateCycle.h"
#include "foundation/Log.h"
#include "foundation/NumericFormat.h"
#include "tasks/PostQueue.h"
#include "tasks/ThreadPool.h"
#include "web/HttpCache.h"

namespace {

using namespace quillory;

struct Service {
    const char* name;
    const char* page; // a fixture the source reads a quote from, whatever the symbol
};
const Service kServices[] = {{"Yahoo Finance", "YahooFinance/ibm.html"},
                             {"MSN Money UK", "MsnMoneyUk/share.html"},
                             {"Bloomberg", "Bloomberg/quote.html"},
                             {"Money Central", "MoneyCentral/quote.html"}};
constexpr int kInvestments = 20;

// The four services, started once, and QUILLORY_HOSTS naming them.
void StartServices() {
    static std::vector<std::unique_ptr<test::TestServer>> servers;
    if (!servers.empty())
        return;
    std::string hosts;
    for (const Service& service : kServices) {
        servers.push_back(std::make_unique<test::TestServer>(
            "quote_server.py", std::vector<std::string>{"--delay", "0.3", "--page",
                                                        std::string(QUILLORY_PAGES_DIR) + "/" + service.page}));
        hosts += std::string(service.name) + "=127.0.0.1:" + std::to_string(servers.back()->Port()) + ";";
    }
    setenv("QUILLORY_HOSTS", hosts.c_str(), 1);
}

// One pass; the services of the rows that got no quote, empty when all did.
std::string RunPass(int workers) {
    theHttpCache.Clear(); // every pass must reach the services
    test::MemorySettingsStore store;
    test::FakeAutostart autostart;
    QuilloryApp app{store, autostart};
    test::FakeWindow window;
    StockList list;
    for (int i = 0; i < kInvestments; ++i) {
        const std::string symbol = "SYM" + std::to_string(i);
        Stock stock(symbol, symbol);
        stock.SetDataSource(kServices[i % 4].name);
        list.Add(stock);
        window.AddRow(symbol);
    }
    StockQuoteUpdater updater(list, StockSources::Default());
    PostQueue gui;
    ThreadPool pool(workers, 2, [&gui](std::function<void()> f) { gui.Post(std::move(f)); });
    UpdateCycle cycle(app, window, updater, pool);
    cycle.UpdateQuotes(UpdateCycle::Trigger::Timer);
    gui.RunUntil([&] { return !cycle.IsUpdating(); });
    std::string failed;
    for (size_t i = 0; i < window.rows.size(); ++i)
        if (window.rows[i][2] == "N/A" || window.rows[i][2] == "...")
            failed += window.rows[i][0] + " ";
    return failed;
}

void BM_UpdatePass(benchmark::State& state) {
    StartServices();
    NumericFormat::SetDefault(NumericFormat('.', ',', 2));
    Log::Instance().toConsole = false;
    for (auto _ : state) {
        const std::string failed = RunPass(static_cast<int>(state.range(0)));
        if (!failed.empty())
            state.SkipWithError(("no quote for " + failed).c_str());
    }
}

BENCHMARK(BM_UpdatePass)
    ->ArgName("workers")
    ->Arg(1)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// The console report, followed by one line comparing the parallel and the serial pass.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medianMs[run.run_name.args] = run.GetAdjustedRealTime();
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        auto serial = medianMs.find("workers:1");
        auto parallel = medianMs.find("workers:4");
        if (serial != medianMs.end() && parallel != medianMs.end())
            std::printf("20 investments, 300 ms a request, median: 4 workers %.0f ms, 1 worker %.0f ms, ratio %.2f "
                        "(bar: at most 0.35)\n",
                        parallel->second, serial->second, parallel->second / serial->second);
    }

private:
    std::map<std::string, double> medianMs;
};

} // namespace

int main(int argc, char** argv) {
    std::vector<char*> args{argv[0]};
    std::string defaults[] = {"--benchmark_repetitions=3", "--benchmark_enable_random_interleaving=true",
                              "--benchmark_report_aggregates_only=true"};
    for (std::string& flag : defaults)
        args.push_back(flag.data());
    args.insert(args.end(), argv + 1, argv + argc);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
