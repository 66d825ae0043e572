// Hostile quote pages: every page search of the quote-page, exchange and fund-list sources runs over any
// text without crashing. The only error allowed out of a search is the XMLException of the steps that
// read a fixed distance past a landmark without checking the page's end.
// Input: the symbol on the first line, the page after it.
#include <cstdint>
#include <string>

#include "foundation/Exception.h"
#include "foundation/Log.h"
#include "sources/AmfiIndia.h"
#include "sources/Bloomberg.h"
#include "sources/Finam.h"
#include "sources/GoogleFinance.h"
#include "sources/IndiaTimes.h"
#include "sources/LimunHr.h"
#include "sources/MoneyCentral.h"
#include "sources/MsnMoneyUk.h"
#include "sources/RussianTradeSystem.h"

using namespace quillory;

namespace {

// Puts a page in place of a download.
template <typename Source> class Loaded : public Source {
public:
    Loaded(const std::string& symbol, const std::string& page) {
        this->SetSymbol(symbol);
        this->pageText = page;
        this->document.Parse(page);
    }
};

template <typename Source, typename Steps>
void Search(const std::string& symbol, const std::string& page, Steps steps) {
    Loaded<Source> source(symbol, page);
    steps(source);
}

template <typename Source, typename Steps>
void SearchAllowingXmlError(const std::string& symbol, const std::string& page, Steps steps) {
    try {
        Search<Source>(symbol, page, steps);
    } catch (const XMLException&) {
    }
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
    const size_t newline = input.find('\n');
    const std::string symbol = newline == std::string::npos ? input : input.substr(0, newline);
    const std::string page = newline == std::string::npos ? std::string() : input.substr(newline + 1);
    if (symbol.empty())
        return 0;

    SearchAllowingXmlError<Bloomberg>(
        symbol, page, [](Bloomberg& s) { (void)(s.FindName() && s.FindLastTrade() && s.FindChange()); });
    Search<GoogleFinance>(symbol, page, [](GoogleFinance& s) {
        if (s.FindName()) {
            s.FindLastTrade();
            s.FindChange();
        }
    });
    Search<MoneyCentral>(symbol, page,
                         [](MoneyCentral& s) { (void)(s.FindName() && s.FindLastTrade() && s.FindChange()); });
    Search<MsnMoneyUk>(symbol, page,
                       [](MsnMoneyUk& s) { (void)(s.FindName() && s.FindLastTrade() && s.FindChange()); });
    Search<IndiaTimes>(symbol, page,
                       [](IndiaTimes& s) { (void)(s.FindName() && s.FindLastTrade() && s.FindChange()); });
    SearchAllowingXmlError<Finam>(symbol, page, [](Finam& s) { (void)(s.FindName() && s.FindLastTrade()); });
    Search<LimunHr>(symbol, page, [&](LimunHr& s) { s.FindStock(symbol); });
    Search<AmfiIndia>(symbol, page, [&](AmfiIndia& s) { s.FindFund(symbol); });
    Search<RussianTradeSystem>(symbol, page, [](RussianTradeSystem& s) {
        if (s.FindName() && s.FindLastTrade() && s.FindCurrency()) {
            s.FindLastTradeTime();
            s.FindChangePercent();
        }
    });
    std::string price = page;
    RussianTradeSystem::CleanPrice(price);
    return 0;
}
