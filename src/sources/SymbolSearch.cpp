#include "SymbolSearch.h"

#include "JsonAccess.h"
#include "ServiceHosts.h"
#include "ServiceProxy.h"
#include "StockDataExtractor.h"
#include "WebRequest.h"
#include "YahooChart.h"
#include "foundation/Log.h"

namespace quillory::SymbolSearch {

using namespace JsonAccess;

std::string Target(const std::string& text) {
    return "/v1/finance/search?q=" + WebRequest::PercentEncode(text) + "&quotesCount=10&newsCount=0";
}

bool Find(const std::string& text, std::vector<Candidate>& candidates, std::string& reason) {
    candidates.clear();
    // A source object only to carry the proxy the service is reached through.
    YahooChart carrier;
    ServiceProxy::Apply(carrier, YahooChart::kName);
    HttpHelper::HttpResponse response;
    if (!WebRequest::Get(carrier, ServiceHosts::AlternateBaseUrl(YahooChart::kName) + Target(text), "application/json",
                         true, response, reason) ||
        !ReadAnswer(response.body, candidates, reason)) {
        LogError("SymbolSearch::Find() - [" + text + "] " + reason);
        return false;
    }
    return true;
}

bool ReadAnswer(const std::string& body, std::vector<Candidate>& candidates, std::string& reason) {
    candidates.clear();
    const Json root = Parse(body);
    const Json* quotes = Member(&root, "quotes");
    if (quotes == nullptr || !quotes->is_array()) {
        reason = "the answer is not a search result but " + Glimpse(body);
        return false;
    }
    for (const Json& quote : *quotes) {
        Candidate candidate;
        if (!Text(Member(&quote, "symbol"), candidate.symbol))
            continue;
        if (!Text(Member(&quote, "longname"), candidate.name))
            Text(Member(&quote, "shortname"), candidate.name);
        if (!Text(Member(&quote, "exchDisp"), candidate.exchange))
            Text(Member(&quote, "exchange"), candidate.exchange);
        if (!Text(Member(&quote, "typeDisp"), candidate.type))
            Text(Member(&quote, "quoteType"), candidate.type);
        candidates.push_back(std::move(candidate));
    }
    return true;
}

} // namespace quillory::SymbolSearch
