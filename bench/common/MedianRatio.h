#pragma once

// A benchmark main that compares two benchmarks by their medians: the runs are repeated and
// interleaved, so that a burst of load on the machine hits both sides alike, and after the console
// report one line gives both medians and their ratio.

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace quillory::bench {

// Medians of real time in milliseconds, keyed by a run's name ("BM_Curl", or "workers:4" with
// `byArgs`).
using Medians = std::map<std::string, double>;

class MedianReporter : public benchmark::ConsoleReporter {
public:
    MedianReporter(bool byArgs, std::function<void(const Medians&)> summary)
        : byArgs(byArgs), summary(std::move(summary)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians[byArgs ? run.run_name.args : run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        summary(medians);
    }

private:
    bool byArgs;
    std::function<void(const Medians&)> summary;
    Medians medians;
};

// Runs every registered benchmark `repetitions` times; flags given on the command line come later
// and win. `summary` prints the comparison from the medians.
inline int RunComparing(int argc, char** argv, int repetitions, bool byArgs,
                        std::function<void(const Medians&)> summary) {
    std::vector<char*> args{argv[0]};
    std::string defaults[] = {"--benchmark_repetitions=" + std::to_string(repetitions),
                              "--benchmark_enable_random_interleaving=true", "--benchmark_report_aggregates_only=true"};
    for (std::string& flag : defaults)
        args.push_back(flag.data());
    args.insert(args.end(), argv + 1, argv + argc);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;
    MedianReporter reporter(byArgs, std::move(summary));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

} // namespace quillory::bench
