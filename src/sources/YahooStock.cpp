#include "YahooStock.h"

#include <cstdlib>

#include "ServiceHosts.h"
#include "YahooQuotePage.h"
#include "foundation/AmountHelper.h"
#include "foundation/Log.h"
#include "foundation/NumericFormat.h"
#include "foundation/StringUtils.h"
#include "markup/XMLTagKind.h"

namespace quillory {

bool YahooStock::Run() {
    std::string symbol = GetSymbol();
    if (symbol.empty()) {
        LogError("YahooStock::Run() - Missing symbol!");
        return false;
    }
    if (!RetrievePage(ServiceHosts::BaseUrl("Yahoo Finance") + "/q?s=" + symbol)) {
        LogError("YahooStock::Run() - Error downloading page!");
        return false;
    }
    if (!FindName()) {
        LogError("YahooStock::Run() - Error finding name!");
        return false;
    }
    if (!FindLastTrade()) {
        LogError("YahooStock::Run() - Error finding last trade!");
        return false;
    }
    FindLastTradeTime();
    FindChange();
    LogMessage("YahooStock::Run() - Successfully downloaded quote for [" + symbol + "]");
    return true;
}

bool YahooStock::FindName() {
    int i = FindStartTag("h1");
    if (i == -1) {
        LogError("YahooStock::FindName() - Can't find h1 tag!");
        return false;
    }
    // A heading that is the page's last token throws here, on purpose: the page is cut short.
    if (Token(i + 1).GetKind() == XMLTagKind::TEXT) {
        SetCompanyName(DecodedText(i + 1));
        return true;
    }
    LogError("YahooStock::FindName() - Unexpected name tag!");
    return false;
}

bool YahooStock::FindLastTrade() {
    int i = FindLabel({"Last Trade:", "Net Asset Value:", "Index Value:"});
    if (i == -1) {
        LogError("YahooStock::FindLastTrade() - Last trade tag not found!");
        return false;
    }
    int j = NextText(i);
    if (j == -1) {
        LogError("YahooStock::FindLastTrade() - Tag with last trade was not found!");
        return false;
    }
    std::string text = DecodedText(j);
    CleanQuoteNumber(text);
    ConvertPenceToPounds(text);
    SetLastTrade(StringUtils::ToDouble(text));
    return true;
}

bool YahooStock::FindLastTradeTime() {
    int i = FindLabel("Trade Time:");
    if (i == -1) {
        LogError("YahooStock::FindLastTradeTime() - Tag with last trade time was not found!");
        return false;
    }
    int j = NextText(i);
    if (j == -1) {
        LogError("YahooStock::FindLastTradeTime() - Last trade time value was not found!");
        return false;
    }
    SetParameter("LastTradeTime", DecodedText(j));
    return true;
}

bool YahooStock::FindChange() {
    int i = FindLabel("Change:");
    if (i == -1) {
        LogError("YahooStock::FindChange() - Change tag was not found!");
        return false;
    }
    double value = 0;
    if (!YahooQuotePage::ChangeAfter(document, i, value)) {
        LogError("YahooStock::FindChange() - Change value tag was not found!");
        return false;
    }
    SetChange(value);
    return true;
}

void YahooStock::ConvertPenceToPounds(std::string& text) {
    std::string symbol = GetSymbol();
    StringUtils::Trim(symbol);
    if (symbol.size() < 2 || symbol.find(".L") != symbol.size() - 2)
        return;
    double value = std::strtod(text.c_str(), nullptr);
    if (value > 1.0)
        value /= 100.0;
    text = AmountHelper::FormatAmount(value, NumericFormat('.', '\0', 4));
}

} // namespace quillory
