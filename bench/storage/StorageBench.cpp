// StockList::Load and StockList::Save on a data file of 500 investments with 2,500 daily prices
// each (~94 MB), against a peer built on pugixml in the same run, and the peak resident memory of a
// process that loads the file, each side in a child process of its own.
//
// Allocator settings on both sides: M_MMAP_THRESHOLD 1 GiB (large blocks come from the heap, not
// fresh mappings) and M_TRIM_THRESHOLD 4 GiB (freed memory is kept for the next iteration).

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <malloc.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include "PugiLoader.h"
#include "common/DataFileGenerator.h"
#include "storage/DataFile.h"
#include "storage/StockList.h"

namespace {

using namespace quillory;

std::string folder;   // APPDATA of this run
std::string dataFile; // the generated file, as the program finds it
size_t fileBytes = 0;

void SetAllocator() {
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 0x7FFFFFFF);
}

void Prepare() {
    char pattern[] = "/tmp/quillory-bench-XXXXXX";
    folder = mkdtemp(pattern);
    setenv("APPDATA", folder.c_str(), 1);
    ResetDataFilePath();
    dataFile = GetDataFilePath();
    std::string text = bench::GenerateDataFile();
    fileBytes = text.size();
    std::ofstream(dataFile, std::ios::binary) << text;
}

void BM_StockListLoad(benchmark::State& state) {
    for (auto _ : state) {
        theStockList.Load();
        state.PauseTiming();
        if (theStockList.size() != 500)
            state.SkipWithError("not every investment was read");
        theStockList.clear();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fileBytes));
}

void BM_PugixmlLoad(benchmark::State& state) {
    for (auto _ : state) {
        bench::PugiLoader peer;
        if (!peer.Load(dataFile) || peer.stocks.size() != 500)
            state.SkipWithError("pugixml failed");
        state.PauseTiming();
        peer = bench::PugiLoader(); // not part of a load
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fileBytes));
}

void BM_StockListSave(benchmark::State& state) {
    theStockList.clear();
    theStockList.Load();
    for (auto _ : state)
        theStockList.Save();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fileBytes));
    theStockList.clear();
}

// The text alone, without the write: what of a save is ours and what is the disk's.
void BM_StockListRender(benchmark::State& state) {
    theStockList.clear();
    theStockList.Load();
    std::string text;
    for (auto _ : state) {
        theStockList.CreateDataFile(text);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fileBytes));
    theStockList.clear();
}

void BM_PugixmlSave(benchmark::State& state) {
    bench::PugiLoader peer;
    peer.Load(dataFile);
    const std::string path = folder + "/pugixml.xml";
    for (auto _ : state)
        if (!peer.Save(path))
            state.SkipWithError("save_file failed");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fileBytes));
}

BENCHMARK(BM_StockListLoad)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_PugixmlLoad)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_StockListSave)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_StockListRender)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_PugixmlSave)->Unit(benchmark::kMillisecond)->MinTime(3);

long PeakKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

// Runs one load in a fresh process and returns its peak resident memory in kB.
long PeakOfChild(const char* side) {
    int channel[2];
    if (pipe(channel) != 0)
        return -1;
    pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        dup2(channel[1], STDOUT_FILENO);
        execl("/proc/self/exe", "storage_bench", "--peak-child", side, dataFile.c_str(), nullptr);
        _exit(127);
    }
    close(channel[1]);
    char text[64] = {};
    ssize_t n = read(channel[0], text, sizeof text - 1);
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return n > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? std::atol(text) : -1;
}

int PeakChild(const std::string& side, const std::string& path) {
    size_t count = 0;
    if (side == "ours") {
        std::string folderOfFile = path.substr(0, path.rfind("/Korvant/"));
        setenv("APPDATA", folderOfFile.c_str(), 1);
        theStockList.Load();
        count = theStockList.size();
    } else {
        bench::PugiLoader peer;
        peer.Load(path);
        count = peer.stocks.size();
    }
    std::printf("%ld\n", PeakKilobytes());
    return count == 500 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    SetAllocator();
    if (argc == 4 && std::strcmp(argv[1], "--peak-child") == 0)
        return PeakChild(argv[2], argv[3]);

    Prepare();
    std::printf("data file: %s, %zu bytes\n", dataFile.c_str(), fileBytes);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    long ours = PeakOfChild("ours"), peer = PeakOfChild("pugixml");
    std::printf("peak resident memory of a process that loads the file: StockList::Load %.1f MB, "
                "pugixml loader %.1f MB, ratio %.2f\n",
                ours / 1024.0, peer / 1024.0, peer > 0 ? static_cast<double>(ours) / static_cast<double>(peer) : 0.0);
    std::string command = "rm -rf '" + folder + "'";
    return std::system(command.c_str()) == 0 && ours > 0 && peer > 0 ? 0 : 1;
}
