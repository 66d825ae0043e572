#include "sources/AmfiIndia.h"

#include <vector>

#include "foundation/Log.h"
#include "foundation/StringUtils.h"
#include "sources/ServiceHosts.h"
#include "web/HttpHelper.h"

namespace quillory {

bool AmfiIndia::Run() {
    const std::string symbol = GetSymbol();
    if (symbol.empty())
        return false;
    const std::string url = ServiceHosts::BaseUrl("AMFI India") + "/spages/NAV0.txt";
    pageText.clear();
    if (!HttpHelper::DownloadPage(url, proxyHost, proxyPort, pageText)) {
        LogError("AmfiIndia::Run() - Failed to retrieve " + url);
        return false;
    }
    if (FindFund(symbol))
        return true;
    LogError("AmfiIndia::Run() - Failed to find fund [" + symbol + "] on page!");
    return false;
}

bool AmfiIndia::FindFund(const std::string& code) {
    const std::string key = ";" + code + ";";
    std::vector<std::string> lines;
    StringUtils::Split(pageText, "\n\r", lines, true);
    // The code must be the whole first field: a bare prefix test would hand the code 101 the line of the
    // scheme 1010, that is another fund's value.
    const std::string* found = nullptr;
    for (const std::string& line : lines) {
        if (line.compare(0, code.size() + 1, code + ";") == 0 || line.find(key) != std::string::npos) {
            found = &line;
            break;
        }
    }
    if (found == nullptr) {
        LogError("AmfiIndia::FindFund() - Can't find fund [" + code + "]");
        return false;
    }
    std::vector<std::string> fields;
    StringUtils::Split(*found, ";\n\r", fields, true);
    if (fields.size() < 3) {
        LogError("AmfiIndia::FindFund() - Number of tokens for fund [" + code + "] is less than 5");
        return false;
    }
    std::string name = fields[1];
    StringUtils::Trim(name);
    SetCompanyName(name);
    SetLastTrade(StringUtils::ToDouble(fields[2]));
    return true;
}

} // namespace quillory
