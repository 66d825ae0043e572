// Hostile quote pages through the search steps of the sources, and hostile no_proxy lists.
// Reading past the last token is an XMLException by design; anything else is a fault.

#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/Exception.h"
#include "foundation/Log.h"
#include "sources/ServiceProxy.h"
#include "sources/YahooFinanceUk.h"
#include "sources/YahooQuotePage.h"
#include "sources/YahooStock.h"

namespace {

using namespace quillory;

// Puts a page straight into a source, as RetrievePage would after a download.
template <typename Source> class Fed : public Source {
public:
    void Feed(const std::string& page, const std::string& symbol) {
        this->SetSymbol(symbol);
        this->pageText = page;
        this->document.Parse(this->pageText);
    }
};

template <typename Source> void Search(const std::string& page, const std::string& symbol) {
    Fed<Source> source;
    source.Feed(page, symbol);
    try {
        source.FindName();
    } catch (const XMLException&) {
    }
    source.FindLastTrade();
    source.FindLastTradeTime();
    source.FindChange();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = [] {
        Log::Instance().toConsole = false;
        Log::Instance().toDebugger = false;
        return true;
    }();
    (void)quiet;
    const std::string input(reinterpret_cast<const char*>(data), size);
    // The first line is the symbol, the rest the page.
    size_t newline = input.find('\n');
    const std::string symbol = newline == std::string::npos ? "" : input.substr(0, newline);
    const std::string page = newline == std::string::npos ? input : input.substr(newline + 1);

    Search<YahooStock>(page, symbol);
    Search<YahooFinanceUk>(page, symbol);

    std::string number = symbol;
    CleanQuoteNumber(number);
    ServiceProxy::Bypasses(symbol, "finance.yahoo.com:8080");
    ServiceProxy::Bypasses("yahoo.com, .example.org:80", symbol);
    return 0;
}
