#include "sources/IndiaTimes.h"

#include "foundation/Log.h"
#include "foundation/StringUtils.h"
#include "markup/XMLTagKind.h"
#include "sources/ServiceHosts.h"

namespace quillory {

bool IndiaTimes::Run() {
    const std::string symbol = GetSymbol();
    if (symbol.empty())
        return false;
    const std::string host = ServiceHosts::BaseUrl("India Times");
    const std::string url = StringUtils::IsDigits(symbol)
                                ? host + "/summary.cms?companyID=" + symbol
                                : host + "/currentquote.cms?ticker=" + symbol +
                                      "&pagenumber=0&pagesize=30&matchcompanyname=false&Submit=+Go+";
    if (!RetrievePage(url))
        return false;
    return FindName() && FindLastTrade() && FindChange();
}

int IndiaTimes::TextAfter(const std::string& tagName, int offset, const std::string& missingText,
                          const std::string& rangeText, const std::string& kindText) {
    const int i = FindStartTag(tagName, 0);
    if (i == -1) {
        LogMessage(missingText);
        return -1;
    }
    const int j = i + offset;
    if (j >= TokenCount()) {
        LogMessage(rangeText);
        return -1;
    }
    if (Token(j).GetKind() != XMLTagKind::TEXT) {
        LogMessage(kindText);
        return -1;
    }
    return j;
}

bool IndiaTimes::FindName() {
    const int i = TextAfter("h1", 1, "IndiaTimes::FindName() - Can't find h1 tag!",
                            "IndiaTimes::FindName() - Name is out of range!",
                            "IndiaTimes::FindName() - Unexpected name tag type!");
    if (i == -1)
        return false;
    std::string name = Token(i).GetName();
    StringUtils::Trim(name);
    SetCompanyName(name);
    return true;
}

bool IndiaTimes::FindLastTrade() {
    const int i = TextAfter("strong", 1, "IndiaTimes::FindLastTrade() - Can't find strong tag!",
                            "IndiaTimes::FindLastTrade() - Last trade is out of range!",
                            "IndiaTimes::FindLastTrade() - Unexpected last trade tag type!");
    if (i == -1)
        return false;
    SetLastTrade(StringUtils::ToDouble(Token(i).GetName()));
    return true;
}

bool IndiaTimes::FindChange() {
    const int i = TextAfter("strong", 5, "IndiaTimes::FindChange() - Can't find strong tag!",
                            "IndiaTimes::FindChange() - Change is out of range!",
                            "IndiaTimes::FindChange() - Unexpected change tag type!");
    if (i == -1)
        return false;
    SetChange(StringUtils::ToDouble(Token(i).GetName()));
    return true;
}

} // namespace quillory
