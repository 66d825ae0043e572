#include "sources/GoogleFinance.h"

#include "foundation/Log.h"
#include "foundation/StringUtils.h"
#include "markup/XMLTagKind.h"
#include "sources/ServiceHosts.h"
#include "web/HttpHelper.h"

namespace quillory {

bool GoogleFinance::Run() {
    const std::string symbol = GetSymbol();
    if (symbol.empty()) {
        LogError("GoogleFinance::Run() - Missing symbol!");
        return false;
    }
    std::string escaped = symbol;
    HttpHelper::EscapeUrl(escaped);
    const std::string url = ServiceHosts::BaseUrl("Google Finance") + "/finance?q=" + escaped;
    if (!RetrievePage(url)) {
        LogError("GoogleFinance::Run() - Failed to retrieve page " + url);
        return false;
    }
    if (!FindName())
        return false;
    // A page without a price is a quote that did not trade; the change may still be there.
    if (!FindLastTrade())
        SetNotTraded(true);
    return FindChange();
}

bool GoogleFinance::FindName() {
    cursor = FindStartTag("h3", 0);
    if (cursor == -1) {
        LogError("GoogleFinance::FindName() - Can't find h1 tag!");
        return false;
    }
    const int count = TokenCount();
    while (cursor < count && Token(cursor).GetKind() != XMLTagKind::TEXT)
        ++cursor;
    if (cursor >= count) {
        LogError("GoogleFinance::FindName() - Text is out of range!");
        return false;
    }
    std::string name = DecodedText(cursor);
    StringUtils::ReplaceAll(name, "&nbsp;", " ");
    StringUtils::Trim(name);
    CutAtParenthesis(name);
    // The service answers an unknown symbol with a page headed by its own name.
    if (name == "Finance") {
        LogError("GoogleFinance::FindName() - Investment name is not known to Google!");
        return false;
    }
    SetCompanyName(name);
    return true;
}

bool GoogleFinance::FindLastTrade() {
    cursor = FindStartTag("span", cursor, {XMLAttribute("class", "pr")});
    if (cursor == -1) {
        LogError("GoogleFinance::FindLastTrade() - Did not find span tag!");
        return false;
    }
    const int count = TokenCount();
    ++cursor;
    while (cursor < count && Token(cursor).GetKind() != XMLTagKind::TEXT)
        ++cursor;
    if (cursor >= count) {
        LogError("GoogleFinance::FindLastTrade() - Tag does not have text!");
        return false;
    }
    std::string text = Token(cursor).GetName();
    StringUtils::ReplaceAll(text, ",", "");
    SetLastTrade(StringUtils::ToDouble(text));
    return true;
}

bool GoogleFinance::FindChange() {
    const int count = TokenCount();
    ++cursor;
    while (cursor < count && Token(cursor).GetKind() != XMLTagKind::TEXT)
        ++cursor;
    if (cursor >= count)
        return false;
    std::string text = Token(cursor).GetName();
    StringUtils::ReplaceAll(text, "&nbsp;", "");
    StringUtils::ReplaceAll(text, ",", "");
    SetChange(StringUtils::ToDouble(text));
    return true;
}

} // namespace quillory
