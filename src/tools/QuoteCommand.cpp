// quillory-quote: runs one quote source from the command line and prints its parameters.

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Exception.h"
#include "foundation/Log.h"
#include "foundation/StringUtils.h"
#include "sources/DataExtractorFactory.h"
#include "sources/ServiceProxy.h"

namespace {

using namespace quillory;

const char* const usage =
    "Usage:\n"
    "  quillory-quote [--source NAME] SYMBOL   run one stock source by display name (default \"Yahoo Finance\")\n"
    "  quillory-quote --search SYMBOL          try every stock source in byte order of their names and print\n"
    "                                          the parameters of the first that finds a name\n"
    "  quillory-quote --currency SRC TGT       exchange rate of SRC in TGT from \"Yahoo Currency\"\n"
    "  quillory-quote --list-sources           the stock source names, one per line\n"
    "  quillory-quote --help | --version\n"
    "\n"
    "Results go to standard output, log lines to standard error. QUILLORY_HOSTS='Name=host[:port];...'\n"
    "overrides the quote services' hosts; http_proxy and no_proxy are honoured.\n"
    "Exit status: 0 success, 1 the quote could not be found, 2 usage error or unknown source.\n";

enum Exit { Success = 0, Failure = 1, UsageError = 2 };

// Results go to standard output, so the log writes to standard error.
void RouteLogToStderr() {
    Log::Instance().console = stderr;
    Log::Instance().toDebugger = false;
}

void Complain(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
}

int UsageFailure(const std::string& text) {
    Complain("quillory-quote: " + text);
    std::fputs(usage, stderr);
    return UsageError;
}

// Runs the source; an error that escapes Run is reported and counts as a failed run.
bool RunSource(DataExtractor& source) {
    try {
        return source.Run();
    } catch (const Exception& e) {
        Complain(e.Message());
    } catch (const HttpException& e) {
        Complain(e.Message());
    } catch (const std::exception& e) {
        Complain(e.what());
    }
    return false;
}

// The parameters are printed whenever Run returns, so a failed run still shows how far it got.
int RunAndDump(DataExtractor& source) {
    bool ok = false;
    try {
        ok = source.Run();
    } catch (const Exception& e) {
        Complain(e.Message());
        return Failure;
    } catch (const HttpException& e) {
        Complain(e.Message());
        return Failure;
    } catch (const std::exception& e) {
        Complain(e.what());
        return Failure;
    }
    source.DumpParameters();
    return ok ? Success : Failure;
}

int RunStock(const std::string& name, const std::string& symbol) {
    std::unique_ptr<StockDataExtractor> source = DataExtractorFactory::CreateStockDataExtractor(name);
    if (!source)
        return UsageError;
    source->SetParameter("Symbol", symbol);
    ServiceProxy::Apply(*source, name);
    return RunAndDump(*source);
}

int RunCurrency(const std::string& sourceCurrency, const std::string& targetCurrency) {
    const std::string name = "Yahoo Currency";
    std::unique_ptr<CurrencyDataExtractor> source = DataExtractorFactory::CreateCurrencyDataExtractor(name);
    if (!source)
        return UsageError;
    source->SetParameter("SourceCurrency", sourceCurrency);
    source->SetParameter("TargetCurrency", targetCurrency);
    ServiceProxy::Apply(*source, name);
    return RunAndDump(*source);
}

// Like the investment dialog's Search: every stock source in byte order of its name, until one
// finds a company name for the symbol.
int Search(std::string symbol) {
    StringUtils::Trim(symbol);
    if (symbol.empty())
        return UsageFailure("You need to enter valid symbol first!");
    std::vector<std::string> names;
    DataExtractorFactory::GetStockDataExtractorNames(names);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        std::unique_ptr<StockDataExtractor> source = DataExtractorFactory::CreateStockDataExtractor(name);
        if (!source) {
            Complain("Invalid datasource!");
            continue;
        }
        source->SetParameter("Symbol", symbol);
        ServiceProxy::Apply(*source, name);
        if (!RunSource(*source) || source->GetParameter("CompanyName").empty())
            continue;
        std::string line = "Source=[" + name + "]\r\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
        source->DumpParameters();
        return Success;
    }
    Complain("None of the existing data sources could find a name for " + symbol + "!");
    return Failure;
}

int ListSources() {
    std::vector<std::string> names;
    DataExtractorFactory::GetStockDataExtractorNames(names);
    for (const std::string& name : names)
        std::printf("%s\n", name.c_str());
    return Success;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string mode, source = DataExtractorFactory::GetDefaultStockDataExtractorName();
    bool sourceGiven = false;
    std::vector<std::string> operands, positional;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.size() < 2 || a[0] != '-') {
            positional.push_back(a);
        } else if (a == "--") {
            optionsEnded = true;
        } else if (a == "--help" || a == "-h") {
            std::fputs(usage, stdout);
            return Success;
        } else if (a == "--version") {
            std::printf("Quillory %s\n", QUILLORY_VERSION);
            return Success;
        } else if (a == "--list-sources" || a == "--search" || a == "--currency") {
            if (!mode.empty())
                return UsageFailure("only one of --search, --currency and --list-sources may be given");
            mode = a;
            size_t wanted = a == "--search" ? 1 : a == "--currency" ? 2 : 0;
            if (args.size() - i - 1 < wanted)
                return UsageFailure(a + " needs " + (wanted == 1 ? "a symbol" : "two currency codes"));
            operands.assign(args.begin() + static_cast<long>(i) + 1, args.begin() + static_cast<long>(i + 1 + wanted));
            i += wanted;
        } else if (a == "--source") {
            if (i + 1 >= args.size())
                return UsageFailure("--source needs a source name");
            source = args[++i];
            sourceGiven = true;
        } else {
            return UsageFailure("unknown option " + a);
        }
    }

    if (!mode.empty() && (!positional.empty() || sourceGiven))
        return UsageFailure(mode + " takes no further arguments");
    if (mode.empty() && positional.size() != 1)
        return UsageFailure(positional.empty() ? "a symbol is needed" : "only one symbol may be given");

    if (mode == "--list-sources")
        return ListSources();
    RouteLogToStderr();
    if (mode == "--search")
        return Search(operands[0]);
    if (mode == "--currency")
        return RunCurrency(operands[0], operands[1]);
    return RunStock(source, positional[0]);
}
