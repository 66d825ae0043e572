// Hostile answers of today's services through their readers: the chart, the exchange's securities
// list, the fund NAV file, the reference-rate XML and the symbol search. Each reader must turn any
// body into a quote or a reason, never an exception or a crash.
// Input: the symbol (or currency pair "USD EUR") on the first line, the body after it.
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/Log.h"
#include "sources/AmfiNav.h"
#include "sources/EcbRates.h"
#include "sources/MoscowExchange.h"
#include "sources/SymbolSearch.h"
#include "sources/YahooChart.h"

using namespace quillory;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = [] {
        Log::Instance().toConsole = false;
        Log::Instance().toDebugger = false;
        return true;
    }();
    (void)quiet;
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t newline = input.find('\n');
    const std::string symbol = input.substr(0, newline);
    const std::string body = newline == std::string::npos ? std::string() : input.substr(newline + 1);
    std::string reason;

    YahooChart chart;
    chart.SetSymbol(symbol);
    if (!chart.ReadAnswer(body, reason) && reason.empty())
        __builtin_trap(); // a failure always says why

    MoscowExchange moscow;
    moscow.SetSymbol(symbol);
    moscow.ReadAnswer(body, reason);

    AmfiNav amfi;
    amfi.SetSymbol(symbol);
    amfi.ReadAnswer(body, reason);

    EcbRates ecb;
    const size_t blank = symbol.find(' ');
    ecb.SetSourceCurrency(symbol.substr(0, blank));
    ecb.SetTargetCurrency(blank == std::string::npos ? "EUR" : symbol.substr(blank + 1));
    ecb.ReadAnswer(body, reason);

    std::vector<SymbolSearch::Candidate> candidates;
    SymbolSearch::ReadAnswer(body, candidates, reason);
    return 0;
}
