#include "AmfiNav.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "ServiceHosts.h"
#include "WebRequest.h"

namespace quillory {

namespace {

// Rows of one pass may be fetched side by side; one at a time, the later ones find the file in
// the page cache instead of downloading its megabytes again.
std::mutex downloadMutex;

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        size_t end = line.find(';', start);
        std::string field = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
        size_t first = field.find_first_not_of(" \t");
        size_t last = field.find_last_not_of(" \t");
        fields.push_back(first == std::string::npos ? std::string() : field.substr(first, last - first + 1));
        if (end == std::string::npos)
            return fields;
        start = end + 1;
    }
}

// "21-Sep-2026" as "2026-09-21"; anything else as it is.
std::string IsoDate(const std::string& text) {
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    int day = 0, year = 0;
    char month[4] = {};
    int used = 0;
    if (std::sscanf(text.c_str(), "%2d-%3[A-Za-z]-%4d%n", &day, month, &year, &used) != 3 ||
        static_cast<size_t>(used) != text.size())
        return text;
    for (int m = 0; m < 12; ++m) {
        if (strcasecmp(month, months[m]) == 0) {
            char iso[16];
            std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", year, m + 1, day);
            return iso;
        }
    }
    return text;
}

} // namespace

bool AmfiNav::Run() {
    failureReason.clear();
    const std::string symbol = GetSymbol();
    if (symbol.empty())
        return Fail("AmfiNav::Run()", "no symbol");
    // The file is megabytes; a symbol that cannot be a scheme code (a search by ticker) does not
    // justify downloading it.
    if (symbol.find_first_not_of("0123456789") != std::string::npos)
        return Fail("AmfiNav::Run()", "not a scheme code (digits only)");
    HttpHelper::HttpResponse response;
    std::string reason;
    bool ok = false;
    {
        std::lock_guard lock(downloadMutex);
        ok = WebRequest::Get(*this, ServiceHosts::BaseUrl(kName) + kPath, "text/plain", true, response, reason);
    }
    if (!ok || !ReadAnswer(response.body, reason))
        return Fail("AmfiNav::Run()", reason);
    return true;
}

bool AmfiNav::ReadAnswer(const std::string& body, std::string& reason) {
    const std::string code = GetSymbol();
    size_t start = body.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start < body.size()) {
        size_t end = body.find('\n', start);
        if (end == std::string::npos)
            end = body.size();
        std::string line = body.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // A cheap test first: the file has tens of thousands of lines.
        if (line.compare(0, code.size(), code) != 0 || line.size() <= code.size() || line[code.size()] != ';')
            continue;
        std::vector<std::string> fields = Fields(line);
        if (fields.size() != 6 && fields.size() != 8)
            continue;
        double nav = 0;
        const std::string& navText = fields[fields.size() - 2];
        if (!WebRequest::ParseNumber(navText, nav) || nav <= 0) {
            reason = "no NAV for scheme " + code + " (" + (navText.empty() ? std::string("empty") : navText) + ")";
            return false;
        }
        std::string name = fields[3];
        if (fields.size() == 8) {
            for (size_t i : {4, 5})
                if (!fields[i].empty())
                    name += " - " + fields[i];
        }
        SetCompanyName(name.empty() ? code : name);
        SetLastTrade(nav);
        SetCurrency("INR");
        if (!fields.back().empty())
            SetParameter("LastTradeTime", IsoDate(fields.back()));
        return true;
    }
    reason = "unknown scheme code";
    return false;
}

} // namespace quillory
