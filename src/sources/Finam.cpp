#include "sources/Finam.h"

#include <cstdio>
#include <cstdlib>

#include "foundation/Log.h"
#include "foundation/StringUtils.h"
#include "markup/XMLEscape.h"
#include "markup/XMLTagKind.h"
#include "sources/ServiceHosts.h"

namespace quillory {

namespace {

const char* const codeListPaths[] = {
    "/analysis/quoteonline00001/default.asp",      "/analysis/quoteonline0000100001/default.asp",
    "/analysis/quoteonline000010001D/default.asp", "/analysis/quoteonline0000100002/default.asp",
    "/analysis/quoteonline000010000C/default.asp",
};

// The Russian label "Контракт" (contract) as the service writes it, in Windows-1251. Pages are not
// recoded, so the label is compared byte for byte.
const std::string contractLabel = "\xCA\xEE\xED\xF2\xF0\xE0\xEA\xF2";

std::string BaseUrl() {
    return ServiceHosts::BaseUrl("Finam");
}

} // namespace

bool Finam::Run() {
    const std::string symbol = GetParameter("Symbol");
    if (symbol.empty()) {
        LogError("Finam::Run() - Symbol parameter does not exist!");
        return false;
    }
    std::string code;
    bool found = false;
    for (const char* path : codeListPaths) {
        if (FindCode(BaseUrl() + path, code)) {
            found = true;
            break;
        }
    }
    if (!found) {
        LogError("Finam::Run() - Code for the symbol [" + symbol + "] was not found!");
        return false;
    }
    if (!RetrieveQuotePage(code)) {
        LogError("Finam::Run() - Failed to get a page for the code was not found!");
        return false;
    }
    if (!FindName()) {
        LogError("Finam::Run() - Error finding name!");
        return false;
    }
    if (!FindLastTrade()) {
        LogError("Finam::Run() - Error finding last trade!");
        return false;
    }
    return true;
}

bool Finam::FindCode(const std::string& url, std::string& code) {
    if (!RetrievePage(url))
        return false;
    std::string symbol = GetSymbol();
    StringUtils::ToLower(symbol);
    const int count = TokenCount();
    for (int i = 0; i < count; ++i) {
        if (Token(i).GetKind() != XMLTagKind::TEXT)
            continue;
        std::string text = DecodedText(i);
        StringUtils::Trim(text);
        StringUtils::ToLower(text);
        if (text != symbol)
            continue;
        // Unchecked on purpose: a symbol among the first three tokens raises XMLException out of Run.
        XMLTag& input = Token(i - 3);
        if (input.GetName() != "input")
            return false;
        code = input.GetAttribute("value");
        return true;
    }
    return false;
}

bool Finam::RetrieveQuotePage(const std::string& code) {
    const int n = std::atoi(code.c_str());
    char segment[16];
    std::snprintf(segment, sizeof segment, "%04X", static_cast<unsigned>(n));
    return RetrievePage(BaseUrl() + "/analysis/quoteonline000030" + segment + "/default.asp");
}

bool Finam::FindName() {
    const int i = FindLabel(contractLabel);
    if (i == -1) {
        LogError("Finam::FindName() - Cannot find tag");
        return false;
    }
    // Unchecked on purpose: a label among the last three tokens raises XMLException out of Run.
    XMLTag& tag = Token(i + 3);
    if (tag.GetKind() != XMLTagKind::TEXT) {
        LogError("Finam::FindName() - Unexpected tag!");
        return false;
    }
    std::string name = XMLUnescape(tag.GetName());
    StringUtils::ReplaceAll(name, "&nbsp;", " ");
    StringUtils::Trim(name);
    SetCompanyName(name);
    return true;
}

bool Finam::FindLastTrade() {
    const int i = FindLabel("Last");
    if (i == -1) {
        LogError("Finam::FindLastTrade() - Cannot find tag");
        return false;
    }
    XMLTag& tag = Token(i + 3);
    if (tag.GetKind() != XMLTagKind::TEXT) {
        LogError("Finam::FindLastTrade() - Unexpected tag!");
        return false;
    }
    // Prices use a decimal comma and group thousands with blanks; the blanks go too, or "1 234,5" would read
    // as 1.
    std::string text = XMLUnescape(tag.GetName());
    StringUtils::ReplaceAll(text, "&nbsp;", "");
    StringUtils::ReplaceAll(text, " ", "");
    StringUtils::ReplaceAll(text, ",", ".");
    StringUtils::Trim(text);
    SetLastTrade(StringUtils::ToDouble(text));
    SetCurrency("RUB");
    return true;
}

} // namespace quillory
