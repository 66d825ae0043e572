#include "sources/Bloomberg.h"

#include "foundation/Log.h"
#include "foundation/StringUtils.h"
#include "markup/XMLEscape.h"
#include "markup/XMLTagKind.h"
#include "sources/ServiceHosts.h"

namespace quillory {

bool Bloomberg::Run() {
    const std::string symbol = GetSymbol();
    if (symbol.empty()) {
        LogError("Bloomberg::Run() - Missing symbol!");
        return false;
    }
    std::string ticker = symbol;
    StringUtils::ReplaceAll(ticker, ":", "%3A");
    if (!RetrievePage(ServiceHosts::BaseUrl("Bloomberg") + "/apps/quote?ticker=" + ticker)) {
        LogError("Bloomberg::Run() - Error downloading page!");
        return false;
    }
    if (!FindName()) {
        LogError("Bloomberg::Run() - Error finding name!");
        return false;
    }
    if (!FindLastTrade()) {
        LogError("Bloomberg::Run() - Error finding last trade!");
        return false;
    }
    FindChange();
    LogMessage("Bloomberg::Run() - Successfully downloaded quote for [" + symbol + "]");
    return true;
}

bool Bloomberg::FindName() {
    const int i = FindStartTag("h1", 0);
    if (i == -1) {
        LogError("Bloomberg::FindName() - Can't find h1 tag!");
        return false;
    }
    // Unchecked on purpose: a heading that ends the page raises XMLException out of Run.
    XMLTag& tag = Token(i + 1);
    if (tag.GetKind() != XMLTagKind::TEXT) {
        LogError("Bloomberg::FindName() - Unexpected name tag!");
        return false;
    }
    std::string name = XMLUnescape(tag.GetName());
    StringUtils::Trim(name);
    const std::string symbol = GetSymbol();
    if (name.find(symbol) == 0 && name.size() > symbol.size() + 1) {
        name.erase(0, symbol.size() + 1);
        StringUtils::Trim(name);
    }
    SetCompanyName(name);
    return true;
}

bool Bloomberg::FindLastTrade() {
    int i = FindLabel("Price");
    if (i == -1)
        i = FindLabel("NAV");
    if (i == -1)
        i = FindLabel("NAV*");
    if (i == -1) {
        LogError("Bloomberg::FindLastTrade() - Last trade tag not found!");
        return false;
    }
    const int j = NextText(i);
    if (j == -1) {
        LogError("Bloomberg::FindLastTrade() - Tag with last trade value was not found!");
        return false;
    }
    std::string text = DecodedText(j);
    StringUtils::ReplaceAll(text, ",", "");
    SetLastTrade(StringUtils::ToDouble(text));
    return true;
}

bool Bloomberg::FindChange() {
    const int i = FindLabel("Change");
    if (i == -1) {
        LogError("Bloomberg::FindChange() - Change tag not found!");
        return false;
    }
    const int j = NextText(i);
    if (j == -1) {
        LogError("Bloomberg::FindChange() - Tag with change value was not found!");
        return false;
    }
    std::string text = DecodedText(j);
    if (text != "N.A.") {
        StringUtils::ReplaceAll(text, ",", "");
        SetChange(StringUtils::ToDouble(text));
    }
    return true;
}

} // namespace quillory
