#include "YahooFinanceUk.h"

#include "ServiceHosts.h"
#include "YahooQuotePage.h"
#include "foundation/Log.h"
#include "foundation/StringUtils.h"
#include "markup/XMLTagKind.h"

namespace quillory {

bool YahooFinanceUk::Run() {
    std::string symbol = GetSymbol();
    if (symbol.empty()) {
        LogError("YahooFinanceUk::Run() - Missing symbol!");
        return false;
    }
    if (!RetrievePage(ServiceHosts::BaseUrl("Yahoo Finance UK") + "/q?s=" + symbol)) {
        LogError("YahooFinanceUk::Run() - Error downloading page!");
        return false;
    }
    if (!FindName()) {
        LogError("YahooFinanceUk::Run() - Error finding name!");
        return false;
    }
    if (!FindLastTrade()) {
        LogError("YahooFinanceUk::Run() - Error finding last trade!");
        return false;
    }
    FindLastTradeTime();
    FindChange();
    LogMessage("YahooFinanceUk::Run() - Successfully downloaded quote for [" + symbol + "]");
    return true;
}

bool YahooFinanceUk::FindName() {
    std::string name;
    int i = FindStartTag("h1");
    // A heading that is the page's last token throws here, as on the US page.
    if (i != -1 && Token(i + 1).GetKind() == XMLTagKind::TEXT) {
        name = Token(i + 1).GetName();
        StringUtils::Trim(name);
    }
    if (name.empty()) {
        const std::string key = "(" + GetSymbol() + ")";
        for (int k = 0; k < TokenCount(); ++k) {
            if (Token(k).GetKind() != XMLTagKind::TEXT)
                continue;
            std::string text = DecodedText(k);
            if (text.find(key) != std::string::npos) {
                name = text;
                StringUtils::Trim(name);
                break;
            }
        }
    }
    if (!name.empty()) {
        if (name.find('(') == 0)
            name = "N/A";
        else
            CutAtParenthesis(name);
        SetCompanyName(name);
    }
    if (name.empty()) {
        LogError("YahooFinanceUk::FindName() - Tag with company name was not found!");
        return false;
    }
    return true;
}

bool YahooFinanceUk::FindLastTrade() {
    int i = FindLabel({"Last Trade:", "Net Asset Value:", "Index Value:"});
    if (i == -1) {
        LogError("YahooFinanceUk::FindLastTrade() - Last trade tag not found!");
        return false;
    }
    int j = NextText(i);
    if (j == -1) {
        LogError("YahooFinanceUk::FindLastTrade() - Tag with last trade was not found!");
        return false;
    }
    std::string text = DecodedText(j);
    CleanQuoteNumber(text);
    SetLastTrade(StringUtils::ToDouble(text));
    return true;
}

bool YahooFinanceUk::FindLastTradeTime() {
    int i = FindLabel("Trade Time:");
    if (i == -1) {
        LogError("YahooFinanceUk::FindLastTradeTime() - Tag with last trade time was not found!");
        return false;
    }
    int j = NextText(i);
    if (j == -1) {
        LogError("YahooFinanceUk::FindLastTradeTime() - Last trade time value was not found!");
        return false;
    }
    SetParameter("LastTradeTime", DecodedText(j));
    return true;
}

bool YahooFinanceUk::FindChange() {
    int i = FindLabel("Change:");
    if (i == -1) {
        LogError("YahooFinanceUk::FindChange() - Change tag was not found!");
        return false;
    }
    double value = 0;
    if (!YahooQuotePage::ChangeAfter(document, i, value)) {
        LogError("YahooFinanceUk::FindChange() - Change value tag was not found!");
        return false;
    }
    SetChange(value);
    return true;
}

} // namespace quillory
