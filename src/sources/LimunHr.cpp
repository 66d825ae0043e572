#include "sources/LimunHr.h"

#include "foundation/Log.h"
#include "foundation/StringUtils.h"
#include "markup/XMLTagKind.h"
#include "sources/ServiceHosts.h"
#include "web/HttpHelper.h"

namespace quillory {

bool LimunHr::Run() {
    std::string symbol = GetSymbol();
    StringUtils::Trim(symbol);
    StringUtils::ToUpper(symbol);
    if (symbol.empty())
        return false;
    const std::string url = ServiceHosts::BaseUrl("Zagreb Stock Exchange") + "/main.aspx?id=18";
    pageText.clear();
    if (!HttpHelper::DownloadPage(url, proxyHost, proxyPort, pageText)) {
        LogError("LimunHr::Run() - Failed to retrieve " + url);
        return false;
    }
    // The table's links carry an inline script followed by a doubled quote; left alone, the second quote
    // would open a quoted section that swallows the rest of the page.
    StringUtils::ReplaceAll(pageText, "return false;\"\"", "return false;\"");
    document.Parse(pageText);
    if (FindStock(symbol))
        return true;
    LogError("LimunHr::Run() - Failed to find fund [" + symbol + "] on page!");
    return false;
}

bool LimunHr::FindStock(const std::string& symbol) {
    const int i = FindLabel(symbol);
    if (i == -1) {
        LogError("LimunHr::FindStock() - Can't find symbol [" + symbol + "]");
        return false;
    }
    if (i > 8 && Token(i - 8).GetKind() == XMLTagKind::TEXT) {
        std::string name = DecodedText(i - 8);
        StringUtils::ReplaceAll(name, "&nbsp;", " ");
        StringUtils::Trim(name);
        SetCompanyName(name);
    } else {
        LogError("LimunHr::FindStock() - Can't find company name for symbol [" + symbol + "]");
    }
    int j = i;
    for (int texts = 0; texts < 5 && j != -1; ++texts)
        j = NextText(j);
    if (j == -1) {
        LogError("LimunHr::FindStock() - Can't find last price for symbol [" + symbol + "]");
        return false;
    }
    // Croatian notation: "." groups thousands, "," is the decimal point.
    std::string text = DecodedText(j);
    StringUtils::ReplaceAll(text, ".", "");
    StringUtils::ReplaceAll(text, ",", ".");
    SetLastTrade(StringUtils::ToDouble(text));
    SetCurrency("HRK");
    return true;
}

} // namespace quillory
