#include "sources/MoneyCentral.h"

#include "foundation/Log.h"
#include "foundation/StringUtils.h"
#include "markup/XMLTagKind.h"
#include "sources/ServiceHosts.h"
#include "web/HttpHelper.h"

namespace quillory {

bool MoneyCentral::Run() {
    const std::string symbol = GetSymbol();
    if (symbol.empty()) {
        LogError("MoneyCentral::Run() - Missing symbol!");
        return false;
    }
    std::string escaped = symbol;
    HttpHelper::EscapeUrl(escaped);
    const std::string url = ServiceHosts::BaseUrl("Money Central") + "/detail/stock_quote?Symbol=" + escaped;
    if (!RetrievePage(url)) {
        LogError("MoneyCentral::Run() - Failed to retrieve page!");
        return false;
    }
    return FindName() && FindLastTrade() && FindChange();
}

bool MoneyCentral::FindName() {
    cursor = FindStartTag("h1", 0);
    if (cursor == -1) {
        LogError("MoneyCentral() - Can't find h1 tag!");
        return false;
    }
    const int count = TokenCount();
    while (cursor < count && Token(cursor).GetKind() != XMLTagKind::TEXT)
        ++cursor;
    if (cursor >= count) {
        LogError("MoneyCentral() - Text is out of range!");
        return false;
    }
    std::string name = DecodedText(cursor);
    StringUtils::Trim(name);
    CutAtParenthesis(name);
    SetCompanyName(name);
    return true;
}

bool MoneyCentral::FindLastTrade() {
    cursor = FindStartTag("span", cursor, {XMLAttribute("class", "s1")});
    if (cursor == -1) {
        LogError("MoneyCentral::FindLastTrade() - Did not find span tag!");
        return false;
    }
    ++cursor;
    if (cursor >= TokenCount()) {
        LogError("MoneyCentral::FindLastTrade() - Out of range index!");
        return false;
    }
    if (Token(cursor).GetKind() != XMLTagKind::TEXT) {
        LogError("MoneyCentral::FindLastTrade() - Tag does not have text!");
        return false;
    }
    std::string text = Token(cursor).GetName();
    StringUtils::ReplaceAll(text, ",", "");
    SetLastTrade(StringUtils::ToDouble(text));
    return true;
}

bool MoneyCentral::FindChange() {
    // The change is the first span after the price, whatever its class.
    cursor = FindStartTag("span", cursor);
    if (cursor == -1) {
        LogError("MoneyCentral::FindChange() - Did not find span tag!");
        return false;
    }
    ++cursor;
    if (cursor >= TokenCount()) {
        LogError("MoneyCentral::FindChange() - Out of range index!");
        return false;
    }
    if (Token(cursor).GetKind() != XMLTagKind::TEXT) {
        LogError("MoneyCentral::FindChange() - Tag does not have text!");
        return false;
    }
    std::string text = Token(cursor).GetName();
    StringUtils::ReplaceAll(text, ",", "");
    SetChange(StringUtils::ToDouble(text));
    return true;
}

} // namespace quillory
