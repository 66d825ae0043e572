// quillory-quote: runs one quote source from the command line and prints its parameters.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "foundation/Log.h"
#include "foundation/StringUtils.h"
#include "sources/AmfiNav.h"
#include "sources/Automatic.h"
#include "sources/DataExtractorFactory.h"
#include "sources/EcbRates.h"
#include "sources/MoscowExchange.h"
#include "sources/RunCatching.h"
#include "sources/ServiceHosts.h"
#include "sources/ServiceProxy.h"
#include "sources/SourceSearch.h"
#include "sources/SymbolSearch.h"
#include "sources/WebStockSource.h"
#include "sources/YahooChart.h"
#include "tasks/PostQueue.h"
#include "tasks/ThreadPool.h"

namespace {

using namespace quillory;

const char* const usage =
    "Usage:\n"
    "  quillory-quote [--source NAME] [--format FORMAT] SYMBOL...\n"
    "                                          quote each symbol with the stock source of that display name\n"
    "                                          (default \"Automatic\"), several at once; FORMAT is one of\n"
    "                                          text  Name=[value] lines per symbol, a blank line between symbols\n"
    "                                                (the default)\n"
    "                                          json  one JSON object a line: symbol, name, price, change,\n"
    "                                                change_percent, currency, source, time, and error when\n"
    "                                                the symbol failed\n"
    "                                          tsv   a header line, then one tab-separated row a symbol\n"
    "  quillory-quote --search SYMBOL          try every stock source in byte order of their names and print\n"
    "                                          the parameters of the first that finds a name\n"
    "  quillory-quote [--source NAME] --currency SRC TGT\n"
    "                                          exchange rate of SRC in TGT (default source \"Automatic\";\n"
    "                                          also \"ECB Reference Rates\" and \"Yahoo Currency\")\n"
    "  quillory-quote --find TEXT              instruments whose name or symbol matches TEXT, one a line:\n"
    "                                          symbol, name, exchange and type separated by tabs\n"
    "  quillory-quote --check-sources          ask each of today's services for a well-known instrument\n"
    "                                          over the internet and print what each answered\n"
    "  quillory-quote --list-sources           the stock source names, one per line\n"
    "  quillory-quote --help | --version\n"
    "\n"
    "Results go to standard output in the order the symbols were given, log lines to standard error.\n"
    "QUILLORY_HOSTS='Name=[http://|https://]host[:port];...' overrides the quote services' hosts;\n"
    "http_proxy and no_proxy are honoured for plain http.\n"
    "Exit status: 0 success, 1 a quote could not be found, 2 usage error or unknown source.\n";

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
RunOutcome RunSource(DataExtractor& source) {
    RunOutcome outcome = RunCatching(source);
    if (!outcome.caught.empty())
        Complain(outcome.message.empty() ? outcome.caught : outcome.message);
    return outcome;
}

// The parameters are printed whenever Run returns, so a failed run still shows how far it got.
int RunAndDump(DataExtractor& source) {
    RunOutcome outcome = RunSource(source);
    if (!outcome.caught.empty())
        return Failure;
    source.DumpParameters();
    return outcome.ok ? Success : Failure;
}

// One symbol's quote: run on a worker, read on the main thread once `done` is set.
struct Quote {
    std::string symbol;
    std::unique_ptr<StockDataExtractor> source;
    RunOutcome outcome;
    bool done = false;
};

enum class Format { Text, Json, Tsv };

// A parameter's value as a number, or null when it is absent or no number.
nlohmann::ordered_json NumberOf(const StockDataExtractor& source, const char* name) {
    const std::string text = source.GetParameter(name);
    if (text.empty())
        return nullptr;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(value))
        return nullptr;
    return value;
}

nlohmann::ordered_json TextOf(const StockDataExtractor& source, const char* name) {
    const std::string text = source.GetParameter(name);
    return text.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(text);
}

// Why a quote failed, in a few words.
std::string FailureOf(const Quote& quote) {
    const RunOutcome& outcome = quote.outcome;
    if (!outcome.caught.empty())
        return outcome.caught + (outcome.message.empty() ? "" : " - " + outcome.message);
    std::string reason;
    if (auto* automatic = dynamic_cast<const AutomaticSource*>(quote.source.get()))
        reason = automatic->FailureReason();
    else if (auto* web = dynamic_cast<const WebStockSource*>(quote.source.get()))
        reason = web->FailureReason();
    return reason.empty() ? "no quote found" : reason;
}

// The fields of the json and tsv formats, in their order; every quote field is null for a
// failed symbol, and "error" is there only then.
nlohmann::ordered_json Fields(const Quote& quote, const std::string& sourceName) {
    nlohmann::ordered_json fields;
    fields["symbol"] = quote.symbol;
    const StockDataExtractor& source = *quote.source;
    const bool ok = quote.outcome.ok;
    fields["name"] = ok ? TextOf(source, "CompanyName") : nullptr;
    fields["price"] = ok ? NumberOf(source, "LastTrade") : nullptr;
    fields["change"] = ok ? NumberOf(source, "Change") : nullptr;
    fields["change_percent"] = ok ? NumberOf(source, "ChangePercent") : nullptr;
    fields["currency"] = ok ? TextOf(source, "Currency") : nullptr;
    // "Automatic" names the source that answered.
    const std::string answered = ok ? source.GetParameter("Source") : "";
    fields["source"] = answered.empty() ? sourceName : answered;
    fields["time"] = ok ? TextOf(source, "LastTradeTime") : nullptr;
    if (!ok)
        fields["error"] = FailureOf(quote);
    return fields;
}

// Bytes that are no UTF-8 (an old page in Latin-1) come out as U+FFFD rather than stopping the
// output.
std::string Dump(const nlohmann::ordered_json& value) {
    return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

const char* const tsvHeader = "symbol\tname\tprice\tchange\tchange_percent\tcurrency\tsource\ttime\terror\n";

std::string TsvRow(const nlohmann::ordered_json& fields) {
    std::string row;
    for (const char* name :
         {"symbol", "name", "price", "change", "change_percent", "currency", "source", "time", "error"}) {
        if (name != std::string("symbol"))
            row += '\t';
        auto field = fields.find(name);
        if (field == fields.end() || field->is_null())
            continue;
        std::string text = field->is_string() ? field->get<std::string>() : Dump(*field);
        // A field never splits its row or the row's columns.
        std::replace_if(
            text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
        row += text;
    }
    return row + "\n";
}

// The block or line of one symbol in `format`. A text block is what one run of the source
// printed before: its parameters, also after a failed run, and nothing when the run broke off.
std::string Render(const Quote& quote, const std::string& sourceName, Format format) {
    if (format == Format::Json)
        return Dump(Fields(quote, sourceName)) + "\n";
    if (format == Format::Tsv)
        return TsvRow(Fields(quote, sourceName));
    std::string block;
    if (quote.outcome.caught.empty())
        for (const DataExtractor::Parameter& p : quote.source->GetParameters())
            block += p.first + "=[" + p.second + "]\r\n";
    return block;
}

// Quotes the symbols on the window's pass's pool (four downloads at once, two per host) and
// prints each as soon as it and those before it are done, so the output keeps the order given.
int RunStocks(const std::string& name, const std::vector<std::string>& symbols, Format format) {
    if (!DataExtractorFactory::CreateStockDataExtractor(name))
        return UsageError;
    const std::string key = ServiceHosts::LimitKey(name);

    std::vector<Quote> quotes(symbols.size());
    PostQueue owner;
    ThreadPool pool(4, 2, [&owner](std::function<void()> f) { owner.Post(std::move(f)); });
    for (size_t i = 0; i < symbols.size(); ++i) {
        Quote& quote = quotes[i];
        quote.symbol = symbols[i];
        quote.source = DataExtractorFactory::CreateStockDataExtractor(name);
        quote.source->SetParameter("Symbol", quote.symbol);
        ServiceProxy::Apply(*quote.source, name);
        // The worker owns the quote until `done` runs here.
        pool.Submit(
            key, nullptr, [&quote] { quote.outcome = RunCatching(*quote.source); }, [&quote] { quote.done = true; });
    }

    if (format == Format::Tsv)
        std::fputs(tsvHeader, stdout);
    size_t printed = 0;
    bool allOk = true;
    auto printReady = [&] {
        for (; printed < quotes.size() && quotes[printed].done; ++printed) {
            const Quote& quote = quotes[printed];
            if (!quote.outcome.caught.empty())
                Complain(quote.outcome.message.empty() ? quote.outcome.caught : quote.outcome.message);
            allOk = allOk && quote.outcome.ok;
            std::string text = Render(quote, name, format);
            if (format == Format::Text && printed > 0)
                text.insert(0, "\r\n");
            std::fwrite(text.data(), 1, text.size(), stdout);
            std::fflush(stdout);
        }
        return printed == quotes.size();
    };
    // Every download has its own deadline, so this ends.
    owner.RunUntil(printReady, std::chrono::hours(24));
    pool.Shutdown();
    return printed == quotes.size() && allOk ? Success : Failure;
}

int RunCurrency(const std::string& name, const std::string& sourceCurrency, const std::string& targetCurrency) {
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
    auto create = [](const std::string& name) {
        std::unique_ptr<StockDataExtractor> source = DataExtractorFactory::CreateStockDataExtractor(name);
        if (source)
            ServiceProxy::Apply(*source, name);
        else
            Complain("Invalid datasource!");
        return source;
    };
    SourceSearch search = SearchSources(names, create, symbol, nullptr, [](const RunOutcome& run) {
        Complain(run.message.empty() ? run.caught : run.message);
    });
    if (!search.found) {
        Complain("None of the existing data sources could find a name for " + symbol + "!");
        return Failure;
    }
    std::string line = "Source=[" + search.source + "]\r\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    search.found->DumpParameters();
    return Success;
}

// Candidates for a name from the symbol search, tab-separated.
int Find(const std::string& text) {
    std::vector<SymbolSearch::Candidate> candidates;
    std::string reason;
    if (!SymbolSearch::Find(text, candidates, reason))
        return Failure;
    for (const SymbolSearch::Candidate& c : candidates) {
        std::string line = c.symbol + "\t" + c.name + "\t" + c.exchange + "\t" + c.type + "\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    std::fflush(stdout);
    if (candidates.empty())
        Complain("Nothing found for " + text);
    return candidates.empty() ? Failure : Success;
}

// One row of the live check: what the source said, or why it could not say it.
struct CheckRow {
    std::string source, symbol, result;
    double seconds = 0;
};

void PrintCheckRow(const CheckRow& row, bool heading = false) {
    char time[32] = "Time";
    if (!heading)
        std::snprintf(time, sizeof time, "%.1f s", row.seconds);
    std::printf("%-21s %-9s %-60s %s\n", row.source.c_str(), row.symbol.c_str(), row.result.c_str(), time);
    std::fflush(stdout);
}

// Asks each of today's services for one instrument it surely knows, one after the other, and
// prints each answer as it comes. Exit status 0 only when every service answered.
int CheckSources() {
    using Clock = std::chrono::steady_clock;
    PrintCheckRow({"Source", "Symbol", "Result or reason", 0}, true);
    bool allAnswered = true;
    auto finish = [&](CheckRow row, Clock::time_point start, bool ok) {
        row.seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (!ok)
            allAnswered = false;
        PrintCheckRow(row);
    };
    const std::pair<const char*, const char*> stocks[] = {
        {YahooChart::kName, "MSFT"}, {MoscowExchange::kName, "SBER"}, {AmfiNav::kName, "122639"}};
    for (const auto& [name, symbol] : stocks) {
        const Clock::time_point start = Clock::now();
        std::unique_ptr<StockDataExtractor> source = DataExtractorFactory::CreateStockDataExtractor(name);
        source->SetSymbol(symbol);
        ServiceProxy::Apply(*source, name);
        RunOutcome outcome = RunCatching(*source);
        CheckRow row{name, symbol, ""};
        if (outcome.ok) {
            row.result =
                source->GetParameter("LastTrade") + " " + source->GetCurrency() + " (" + source->GetCompanyName() + ")";
        } else {
            auto* web = dynamic_cast<WebStockSource*>(source.get());
            row.result = "failed: " + (!outcome.caught.empty()                ? outcome.caught + " " + outcome.message
                                       : web && !web->FailureReason().empty() ? web->FailureReason()
                                                                              : std::string("no answer"));
        }
        finish(row, start, outcome.ok);
    }
    const Clock::time_point start = Clock::now();
    EcbRates ecb;
    ecb.SetSourceCurrency("USD");
    ecb.SetTargetCurrency("EUR");
    ServiceProxy::Apply(ecb, EcbRates::kName);
    RunOutcome outcome = RunCatching(ecb);
    finish({EcbRates::kName, "USD->EUR",
            outcome.ok ? ecb.GetParameter("Rate") + " (" + ecb.GetParameter("Date") + ")"
                       : "failed: " + (outcome.caught.empty() ? ecb.FailureReason() : outcome.message)},
           start, outcome.ok);
    return allAnswered ? Success : Failure;
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
    bool sourceGiven = false, formatGiven = false;
    Format format = Format::Text;
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
        } else if (a == "--list-sources" || a == "--search" || a == "--currency" || a == "--find" ||
                   a == "--check-sources") {
            if (!mode.empty())
                return UsageFailure(
                    "only one of --search, --currency, --find, --check-sources and --list-sources may be given");
            mode = a;
            size_t wanted = a == "--search" || a == "--find" ? 1 : a == "--currency" ? 2 : 0;
            if (args.size() - i - 1 < wanted)
                return UsageFailure(a + " needs " +
                                    (a == "--find" ? "a text"
                                     : wanted == 1 ? "a symbol"
                                                   : "two currency codes"));
            operands.assign(args.begin() + static_cast<long>(i) + 1, args.begin() + static_cast<long>(i + 1 + wanted));
            i += wanted;
        } else if (a == "--format" || a.rfind("--format=", 0) == 0) {
            std::string value;
            if (a != "--format")
                value = a.substr(std::string("--format=").size());
            else if (i + 1 < args.size())
                value = args[++i];
            else
                return UsageFailure("--format needs text, json or tsv");
            if (value == "text")
                format = Format::Text;
            else if (value == "json")
                format = Format::Json;
            else if (value == "tsv")
                format = Format::Tsv;
            else
                return UsageFailure("unknown format " + value + " (text, json or tsv)");
            formatGiven = true;
        } else if (a == "--source") {
            if (i + 1 >= args.size())
                return UsageFailure("--source needs a source name");
            source = args[++i];
            sourceGiven = true;
        } else {
            return UsageFailure("unknown option " + a);
        }
    }

    if (!mode.empty() && (!positional.empty() || formatGiven || (sourceGiven && mode != "--currency")))
        return UsageFailure(mode + " takes no further arguments");
    if (mode.empty() && positional.empty())
        return UsageFailure("a symbol is needed");

    if (mode == "--list-sources")
        return ListSources();
    RouteLogToStderr();
    if (mode == "--search")
        return Search(operands[0]);
    if (mode == "--currency")
        return RunCurrency(sourceGiven ? source : std::string(AutomaticCurrency::kName), operands[0], operands[1]);
    if (mode == "--find") {
        std::string text = operands[0];
        StringUtils::Trim(text);
        if (text.empty())
            return UsageFailure("--find needs a text");
        return Find(text);
    }
    if (mode == "--check-sources")
        return CheckSources();
    return RunStocks(source, positional, format);
}
