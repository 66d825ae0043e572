// Throughput of XMLDoc::Parse (token vector fully built, then freed) on real HTML and on a generated
// data file, next to gumbo_parse and libxml2's htmlReadMemory on the same pages and pugixml's
// load_buffer on the same data file. Every side builds and frees its result in each iteration.

#include <benchmark/benchmark.h>
#include <gumbo.h>
#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <pugixml.hpp>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "DataFileGenerator.h"
#include "markup/XMLDoc.h"

namespace {

struct Corpus {
    std::string text;
    std::vector<std::string> files;
};

// The library pages of the Python documentation in byte order of their names, concatenated until
// the text reaches `size` bytes.
Corpus HtmlPage(size_t size) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(QUILLORY_HTML_DIR))
        if (entry.path().extension() == ".html")
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    Corpus corpus;
    for (const std::string& name : names) {
        if (corpus.text.size() >= size)
            break;
        std::ifstream in(std::string(QUILLORY_HTML_DIR) + "/" + name, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        corpus.text += content.str();
        corpus.files.push_back(name);
    }
    if (corpus.text.size() < size) {
        std::fprintf(stderr, "markup_bench: %s holds only %zu bytes of HTML (python3.11-doc installed?)\n",
                     QUILLORY_HTML_DIR, corpus.text.size());
        std::exit(1);
    }
    return corpus;
}

const Corpus& SmallPage() {
    static const Corpus corpus = HtmlPage(1 << 20);
    return corpus;
}

const Corpus& LargePage() {
    static const Corpus corpus = HtmlPage(10 << 20);
    return corpus;
}

const std::string& DataFile() {
    static const std::string text = quillory::bench::GenerateDataFile();
    return text;
}

void Ours(benchmark::State& state, const std::string& text) {
    unsigned tokens = 0;
    for (auto _ : state) {
        quillory::XMLDoc doc;
        doc.Parse(text);
        tokens = doc.GetTagCount();
        benchmark::DoNotOptimize(tokens);
    }
    state.counters["tokens"] = tokens;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void Gumbo(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, text.data(), text.size());
        benchmark::DoNotOptimize(output->root);
        gumbo_destroy_output(&kGumboDefaultOptions, output);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void LibXml2(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        htmlDocPtr doc = htmlReadMemory(text.data(), static_cast<int>(text.size()), "page.html", nullptr,
                                        HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING);
        benchmark::DoNotOptimize(doc);
        xmlFreeDoc(doc);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void Pugixml(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        pugi::xml_document doc;
        pugi::xml_parse_result result = doc.load_buffer(text.data(), text.size());
        if (!result)
            state.SkipWithError(result.description());
        benchmark::DoNotOptimize(doc.first_child());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void HtmlSmall_Ours(benchmark::State& state) {
    Ours(state, SmallPage().text);
}
void HtmlSmall_Gumbo(benchmark::State& state) {
    Gumbo(state, SmallPage().text);
}
void HtmlSmall_LibXml2(benchmark::State& state) {
    LibXml2(state, SmallPage().text);
}
void HtmlLarge_Ours(benchmark::State& state) {
    Ours(state, LargePage().text);
}
void HtmlLarge_Gumbo(benchmark::State& state) {
    Gumbo(state, LargePage().text);
}
void HtmlLarge_LibXml2(benchmark::State& state) {
    LibXml2(state, LargePage().text);
}
void DataFile_Ours(benchmark::State& state) {
    Ours(state, DataFile());
}
void DataFile_Pugixml(benchmark::State& state) {
    Pugixml(state, DataFile());
}

BENCHMARK(HtmlSmall_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(HtmlSmall_Gumbo)->Unit(benchmark::kMillisecond);
BENCHMARK(HtmlSmall_LibXml2)->Unit(benchmark::kMillisecond);
BENCHMARK(HtmlLarge_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(HtmlLarge_Gumbo)->Unit(benchmark::kMillisecond);
BENCHMARK(HtmlLarge_LibXml2)->Unit(benchmark::kMillisecond);
BENCHMARK(DataFile_Ours)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(DataFile_Pugixml)->Unit(benchmark::kMillisecond)->MinTime(3);

std::string Describe(const Corpus& corpus) {
    return std::to_string(corpus.text.size()) + " bytes, " + std::to_string(corpus.files.size()) + " files " +
           corpus.files.front() + " .. " + corpus.files.back();
}

} // namespace

int main(int argc, char** argv) {
    // The same allocator settings for every side: large blocks come from the heap instead of fresh
    // mappings, and freed memory stays with the process, so no parser pays page faults again in
    // every iteration for memory the previous one released.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    xmlInitParser();

    benchmark::AddCustomContext("malloc", "M_MMAP_THRESHOLD=1 GiB, M_TRIM_THRESHOLD=1 GiB");
    benchmark::AddCustomContext("html_small", Describe(SmallPage()));
    benchmark::AddCustomContext("html_large", Describe(LargePage()));
    benchmark::AddCustomContext("data_file",
                                std::to_string(DataFile().size()) + " bytes, 500 investments x 2500 prices");

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    xmlCleanupParser();
    return 0;
}
