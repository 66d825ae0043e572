// Downloads a 10 MB page from the local test server through HttpHelper::DownloadPage, and the same
// page with the curl command line tool, in one run; prints both times and their ratio at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <stdexcept>

#include <spawn.h>
#include <sys/wait.h>

#include "TestServer.h"
#include "web/HttpCache.h"
#include "web/HttpHelper.h"

extern char** environ;

namespace {

constexpr size_t kPageSize = 10 * 1000 * 1000;

quillory::test::TestServer& Server() {
    static quillory::test::TestServer server("web_server.py");
    return server;
}

std::string PageUrl() {
    return Server().Url("/bytes/" + std::to_string(kPageSize));
}

void BM_DownloadPage(benchmark::State& state) {
    const std::string url = PageUrl();
    std::string page;
    for (auto _ : state) {
        quillory::theHttpCache.Clear(); // every round must reach the server
        if (!quillory::HttpHelper::DownloadPage(url, "", 0, page) || page.size() != kPageSize)
            state.SkipWithError("download failed");
        benchmark::DoNotOptimize(page.data());
    }
    quillory::theHttpCache.Clear();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kPageSize));
}

// The whole curl process, start-up included: what a user would compare against.
void BM_Curl(benchmark::State& state) {
    std::string url = PageUrl();
    std::vector<std::string> words{QUILLORY_CURL, "--silent", "--fail", "--output", "/dev/null", url};
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    for (auto _ : state) {
        pid_t pid = -1;
        int status = 0;
        if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0 ||
            waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            state.SkipWithError("curl failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kPageSize));
}

BENCHMARK(BM_DownloadPage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Curl)->Unit(benchmark::kMillisecond)->UseRealTime();

// The console report, followed by one line comparing our time with curl's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                realMs[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        auto ours = realMs.find("BM_DownloadPage/real_time");
        auto curl = realMs.find("BM_Curl/real_time");
        if (ours != realMs.end() && curl != realMs.end())
            std::printf("10 MB page: DownloadPage %.2f ms, curl %.2f ms, ratio %.2f (bar: at most 1.5)\n", ours->second,
                        curl->second, ours->second / curl->second);
    }

private:
    std::map<std::string, double> realMs;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
