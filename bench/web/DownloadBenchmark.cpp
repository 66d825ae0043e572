// Downloads a 10 MB page from the local test server through HttpHelper::DownloadPage, and the same
// page with the curl command line tool, in one run; prints both times and their ratio at the end.
#include <benchmark/benchmark.h>

#include "common/MedianRatio.h"

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

} // namespace

int main(int argc, char** argv) {
    return quillory::bench::RunComparing(argc, argv, 5, false, [](const quillory::bench::Medians& medians) {
        auto ours = medians.find("BM_DownloadPage");
        auto curl = medians.find("BM_Curl");
        if (ours != medians.end() && curl != medians.end())
            std::printf("10 MB page, median: DownloadPage %.2f ms, curl %.2f ms, ratio %.2f (bar: at most 1.5)\n",
                        ours->second, curl->second, ours->second / curl->second);
    });
}
