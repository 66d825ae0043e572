#include "EcbRates.h"

#include <map>

#include "ServiceHosts.h"
#include "WebRequest.h"
#include "foundation/Log.h"
#include "markup/XMLDoc.h"
#include "markup/XMLTagKind.h"

namespace quillory {

bool EcbRates::Fail(const std::string& why) {
    failureReason = why;
    LogError("EcbRates::Run() - [" + GetSourceCurrency() + "->" + GetTargetCurrency() + "] " + why);
    return false;
}

bool EcbRates::Run() {
    failureReason.clear();
    if (GetSourceCurrency().empty() || GetTargetCurrency().empty())
        return Fail("missing source or target currency");
    HttpHelper::HttpResponse response;
    std::string reason;
    if (!WebRequest::Get(*this, ServiceHosts::BaseUrl(kName) + kPath, "text/xml", true, response, reason) ||
        !ReadAnswer(response.body, reason))
        return Fail(reason);
    return true;
}

bool EcbRates::ReadAnswer(const std::string& body, std::string& reason) {
    XMLDoc document;
    document.Parse(body);
    std::map<std::string, double> perEuro{{"EUR", 1.0}};
    std::string date;
    for (const XMLTag& tag : document.GetTags()) {
        if ((tag.GetKind() != XMLTagKind::START && tag.GetKind() != XMLTagKind::EMPTY) || tag.GetName() != "Cube")
            continue;
        std::string value;
        if (date.empty() && tag.FindAttribute("time", value))
            date = value;
        std::string currency;
        double rate = 0;
        if (tag.FindAttribute("currency", currency) && tag.FindAttribute("rate", value) &&
            WebRequest::ParseNumber(value, rate) && rate > 0)
            perEuro.emplace(currency, rate);
    }
    if (perEuro.size() == 1) {
        reason = "the answer holds no reference rates";
        return false;
    }
    const std::string source = GetSourceCurrency(), target = GetTargetCurrency();
    for (const std::string& code : {source, target}) {
        if (!perEuro.count(code)) {
            reason = "no reference rate for " + code;
            return false;
        }
    }
    SetRate(perEuro[target] / perEuro[source]);
    if (!date.empty())
        SetParameter("Date", date);
    return true;
}

} // namespace quillory
