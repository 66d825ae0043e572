#include "YahooCurrency.h"

#include "YahooStock.h"
#include "foundation/AmountHelper.h"
#include "foundation/Log.h"

namespace quillory {

bool YahooCurrency::Run() {
    const std::string source = GetSourceCurrency();
    const std::string target = GetTargetCurrency();
    if (source.empty() || target.empty()) {
        LogError("YahooCurrency::Run() - Missing source or target currency!");
        return false;
    }
    if (target == source) {
        SetRate(1.0);
        return true;
    }
    YahooStock stock;
    stock.SetProxy(proxyHost, proxyPort);
    // Yahoo quotes the pairs against USD and EUR with those two first, so such a pair is asked
    // for the other way round and its rate inverted.
    const bool invert = (target == "USD" || target == "EUR") && source != "USD" && source != "EUR";
    stock.SetSymbol(invert ? target + source + "=X" : source + target + "=X");
    if (!stock.Run()) {
        LogError("YahooCurrency::Run() - Failed to retrieve investment currency!");
        return false;
    }
    double rate = stock.GetLastTrade();
    if (invert && !AmountHelper::IsZero(rate))
        rate = 1.0 / rate;
    SetRate(rate);
    return true;
}

} // namespace quillory
