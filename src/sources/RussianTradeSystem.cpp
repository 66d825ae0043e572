#include "sources/RussianTradeSystem.h"

#include <algorithm>

#include "foundation/Log.h"
#include "foundation/StringUtils.h"
#include "markup/XMLTagKind.h"
#include "sources/ServiceHosts.h"

namespace quillory {

bool RussianTradeSystem::Run() {
    const std::string symbol = GetParameter("Symbol");
    if (symbol.empty()) {
        LogError("RussianTradeSystem::Run() - Symbol parameter does not exist!");
        return false;
    }
    if (!RetrievePage(ServiceHosts::BaseUrl("Russian Trade System") + "/en/securityresults.html?code=" + symbol)) {
        LogError("RussianTradeSystem::Run() - RetrievePage failed!");
        return false;
    }
    if (!FindName()) {
        LogError("RussianTradeSystem::Run() - Error finding name!");
        return false;
    }
    if (!FindLastTrade()) {
        LogError("RussianTradeSystem::Run() - Error finding last trade!");
        return false;
    }
    if (!FindCurrency()) {
        LogError("RussianTradeSystem::Run() - Error finding currency!");
        return false;
    }
    FindLastTradeTime();
    FindChangePercent();
    return true;
}

int RussianTradeSystem::FindFirstLabel(std::initializer_list<const char*> labels) {
    return FindLabel(labels);
}

bool RussianTradeSystem::FindName() {
    const int i = FindStartTag("h2", 0);
    if (i == -1) {
        LogError("RussianTradeSystem::FindName() - Cannot find h2 tag");
        return false;
    }
    const int j = NextText(i);
    if (j == -1) {
        LogError("RussianTradeSystem::FindName() - tag with name");
        return false;
    }
    std::string name = DecodedText(j);
    CutAtParenthesis(name);
    SetCompanyName(name);
    return true;
}

bool RussianTradeSystem::FindLastTrade() {
    const int i = FindFirstLabel({"Price:", "Price", "Trade price:", "Trade price", "ASK"});
    if (i == -1) {
        LogError("RussianTradeSystem::FindLastTrade() - Price text was not found!");
        return false;
    }
    const int j = NextText(i);
    if (j == -1) {
        LogError("RussianTradeSystem::FindLastTrade() - Price value was not found!");
        return false;
    }
    std::string text = DecodedText(j);
    CleanPrice(text);
    if (text == "-")
        SetNotTraded(true);
    SetLastTrade(StringUtils::ToDouble(text));
    return true;
}

void RussianTradeSystem::CleanPrice(std::string& text) {
    std::erase(text, ' ');
    const size_t parenthesis = text.find('(');
    if (parenthesis != std::string::npos)
        text.erase(parenthesis);
    const size_t decimal = text.find_last_of(".,");
    if (decimal == std::string::npos)
        return;
    std::string clean;
    for (size_t k = 0; k < text.size(); ++k) {
        if (k == decimal)
            clean += '.';
        else if (text[k] != '.' && text[k] != ',')
            clean += text[k];
    }
    text = clean;
}

bool RussianTradeSystem::FindCurrency() {
    const int i = FindFirstLabel({"Currency:", "Currency"});
    if (i == -1) {
        LogError("RussianTradeSystem::FindLastTradeTime() - Currency: - text was not found!");
        return false;
    }
    const int j = NextText(i);
    if (j == -1) {
        LogError("RussianTradeSystem::FindLastTradeTime() - Currency value was not found!");
        return true;
    }
    std::string currency = DecodedText(j);
    if (currency == "RUR")
        currency = "RUB";
    SetCurrency(currency);
    return true;
}

bool RussianTradeSystem::FindLastTradeTime() {
    const int i = FindFirstLabel({"Date:", "Date"});
    if (i == -1) {
        LogError("RussianTradeSystem::FindLastTradeTime() - Date: text was not found!");
        return false;
    }
    const int j = NextText(i);
    if (j == -1) {
        LogError("RussianTradeSystem::FindLastTradeTime() - Date value was not found!");
        return false;
    }
    std::string text = DecodedText(j);
    StringUtils::ReplaceAll(text, "&nbsp;", " ");
    StringUtils::Trim(text);
    SetParameter("LastTradeTime", text);
    return true;
}

bool RussianTradeSystem::FindChangePercent() {
    const int i = FindFirstLabel({"Change, % last close:", "Change, % last close"});
    if (i == -1) {
        LogError("RussianTradeSystem::FindLastTradeTime() - Change, % last close: - text was not found!");
        return false;
    }
    const int j = NextText(i);
    if (j == -1) {
        LogError("RussianTradeSystem::FindLastTradeTime() - Change value was not found!");
        return true;
    }
    SetParameter("ChangePercent", DecodedText(j));
    return true;
}

} // namespace quillory
