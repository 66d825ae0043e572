#include "YahooChart.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "JsonAccess.h"
#include "ServiceHosts.h"
#include "WebRequest.h"

namespace quillory {

namespace {

using namespace JsonAccess;

// The error description of a chart answer ({"chart":{"result":null,"error":{...}}}), or "".
std::string ErrorDescription(const Json& root) {
    const Json* error = Member(Member(&root, "chart"), "error");
    std::string text;
    if (Text(Member(error, "description"), text) || Text(Member(error, "code"), text))
        return text;
    return {};
}

// "2026-09-21T16:00:00-04:00": the exchange's wall-clock time of the last trade and its offset.
std::string TradeTime(double epochSeconds, double offsetSeconds) {
    if (std::fabs(epochSeconds) > 1e11 || std::fabs(offsetSeconds) > 86400)
        return {};
    const auto offset = static_cast<long long>(offsetSeconds);
    std::time_t local = static_cast<std::time_t>(static_cast<long long>(epochSeconds) + offset);
    std::tm parts{};
    if (gmtime_r(&local, &parts) == nullptr)
        return {};
    const long long minutes = (offset < 0 ? -offset : offset) / 60;
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02lld:%02lld", parts.tm_year + 1900,
                  parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec, offset < 0 ? '-' : '+',
                  minutes / 60, minutes % 60);
    return text;
}

} // namespace

std::string YahooChart::Target(const std::string& symbol) {
    return "/v8/finance/chart/" + WebRequest::PercentEncode(symbol) + "?range=1d&interval=1d";
}

bool YahooChart::Run() {
    failureReason.clear();
    const std::string symbol = GetSymbol();
    if (symbol.empty())
        return Fail("YahooChart::Run()", "no symbol");
    HttpHelper::HttpResponse response;
    std::string reason;
    bool ok = WebRequest::Get(*this, ServiceHosts::BaseUrl(kName) + Target(symbol), "application/json", true, response,
                              reason);
    // The second host serves the same API; it is worth asking when the first could not be
    // reached or broke down, not when it answered that the symbol is unknown.
    if (!ok && (response.status == 0 || response.status >= 500)) {
        const std::string first = reason;
        ok = WebRequest::Get(*this, ServiceHosts::AlternateBaseUrl(kName) + Target(symbol), "application/json", true,
                             response, reason);
        if (!ok)
            reason = first + "; then " + reason;
    }
    if (!ok) {
        std::string description = ErrorDescription(Parse(response.body));
        return Fail("YahooChart::Run()", description.empty() ? reason : description);
    }
    if (!ReadAnswer(response.body, reason))
        return Fail("YahooChart::Run()", reason);
    return true;
}

bool YahooChart::ReadAnswer(const std::string& body, std::string& reason) {
    const Json root = Parse(body);
    if (!root.is_object() || Member(&root, "chart") == nullptr) {
        reason = "the answer is not a chart but " + Glimpse(body);
        return false;
    }
    if (std::string description = ErrorDescription(root); !description.empty()) {
        reason = description;
        return false;
    }
    const Json* meta = Member(Element(Member(Member(&root, "chart"), "result"), 0), "meta");
    if (meta == nullptr || !meta->is_object()) {
        reason = "the chart answer has no result";
        return false;
    }
    double price = 0;
    if (!Number(Member(meta, "regularMarketPrice"), price)) {
        reason = "no price";
        return false;
    }
    std::string name;
    if (!Text(Member(meta, "longName"), name) && !Text(Member(meta, "shortName"), name) &&
        !Text(Member(meta, "symbol"), name))
        name = GetSymbol();
    SetCompanyName(name);
    SetLastTrade(price);
    double previous = 0;
    if (Number(Member(meta, "previousClose"), previous) || Number(Member(meta, "chartPreviousClose"), previous)) {
        const double change = WebRequest::Tidy(price - previous, 6);
        SetChange(change);
        if (previous != 0)
            SetParameter("ChangePercent", WebRequest::Tidy(change / previous * 100, 4));
    }
    std::string currency;
    if (Text(Member(meta, "currency"), currency))
        SetCurrency(currency);
    double when = 0, offset = 0;
    if (Number(Member(meta, "regularMarketTime"), when)) {
        Number(Member(meta, "gmtoffset"), offset);
        if (std::string time = TradeTime(when, offset); !time.empty())
            SetParameter("LastTradeTime", time);
    }
    return true;
}

} // namespace quillory
