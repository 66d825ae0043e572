#include "sources/MsnMoneyUk.h"

#include "foundation/AmountHelper.h"
#include "foundation/Log.h"
#include "foundation/StringUtils.h"
#include "markup/XMLTagKind.h"
#include "sources/ServiceHosts.h"
#include "web/HttpHelper.h"

namespace quillory {

bool MsnMoneyUk::Run() {
    const std::string symbol = GetSymbol();
    if (symbol.empty()) {
        LogError("MsnMoneyUk::Run() - Missing symbol!");
        return false;
    }
    std::string escaped = symbol;
    HttpHelper::EscapeUrl(escaped);
    const std::string url =
        ServiceHosts::BaseUrl("MSN Money UK") + "/investor/quotes/quotes.aspx?symbol=GB%3A" + escaped;
    if (!RetrievePage(url)) {
        LogError("MsnMoneyUk::Run() - Failed to retrieve page!");
        return false;
    }
    if (!FindName() || !FindLastTrade())
        return false;
    FindChange();
    return true;
}

bool MsnMoneyUk::FindName() {
    cursor = FindStartTag("div", 0, {XMLAttribute("class", "invheading1")});
    if (cursor == -1)
        cursor = FindStartTag("div", 0, {XMLAttribute("id", "quickquote")});
    if (cursor == -1) {
        LogError("MsnMoneyUk::FindName() - Can't find div tag!");
        return false;
    }
    const int i = NextText(cursor);
    if (i == -1) {
        LogError("MsnMoneyUk::FindName() - Unexpected name tag!");
        return false;
    }
    cursor = i;
    std::string name = DecodedText(i);
    StringUtils::Trim(name);
    SetCompanyName(name);
    return true;
}

bool MsnMoneyUk::FindLastTrade() {
    int i = cursor < 0 ? -1 : document.FindTag("Net Asset Value", XMLTagKind::TEXT, static_cast<unsigned>(cursor), {});
    if (i == -1)
        i = document.FindTag("br", XMLTagKind::EMPTY, 0, {});
    if (i == -1) {
        LogError("MsnMoneyUk::FindLastTrade() - Did not find Net Asset Value!");
        return false;
    }
    const int j = NextText(i);
    if (j == -1) {
        LogError("MsnMoneyUk::FindLastTrade() - Out of range index!");
        return false;
    }
    cursor = j;
    std::string text = DecodedText(j);
    StringUtils::ReplaceAll(text, "&nbsp;", "");
    StringUtils::ReplaceAll(text, "Last", "");
    StringUtils::Trim(text);
    // A price that does not read as an amount is stored as 0, as the page gives nothing better.
    double value = 0;
    AmountHelper::ParseAmount(text, value);
    SetLastTrade(value);
    return true;
}

bool MsnMoneyUk::FindChange() {
    cursor = FindStartTag("span", cursor);
    if (cursor == -1) {
        LogError("MsnMoneyUk::FindChange() - Did not find span tag!");
        return false;
    }
    ++cursor;
    if (cursor >= TokenCount()) {
        LogError("MsnMoneyUk::FindChange() - Out of range index!");
        return false;
    }
    if (Token(cursor).GetKind() != XMLTagKind::TEXT) {
        LogError("MsnMoneyUk::FindChange() - Tag does not have text!");
        return false;
    }
    std::string text = Token(cursor).GetName();
    StringUtils::ReplaceAll(text, ",", "");
    double value = 0;
    AmountHelper::ParseAmount(text, value);
    SetChange(value);
    return true;
}

} // namespace quillory
