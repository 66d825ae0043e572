#include "Automatic.h"

#include <algorithm>
#include <memory>

#include "AmfiNav.h"
#include "EcbRates.h"
#include "MoscowExchange.h"
#include "RunCatching.h"
#include "ServiceHosts.h"
#include "ServiceProxy.h"
#include "WebStockSource.h"
#include "YahooChart.h"
#include "foundation/Log.h"
#include "web/HttpHelper.h"

namespace quillory {

namespace {

bool Resting(const std::string& sourceName) {
    if (!HttpHelper::IsResting(ServiceHosts::BaseUrl(sourceName) + "/"))
        return false;
    return HttpHelper::IsResting(ServiceHosts::AlternateBaseUrl(sourceName) + "/");
}

// Why a run failed, in a few words.
std::string ReasonOf(const RunOutcome& outcome, const std::string& sourceReason) {
    if (!outcome.caught.empty())
        return outcome.caught + (outcome.message.empty() ? "" : " - " + outcome.message);
    return sourceReason.empty() ? "failed" : sourceReason;
}

// Runs `source` as the service `name`; on failure appends "name: reason" to `reasons`.
bool Try(DataExtractor& source, const std::string& name, std::string& reasons) {
    ServiceProxy::Apply(source, name);
    RunOutcome outcome = RunCatching(source);
    if (outcome.ok)
        return true;
    std::string reason;
    if (auto* web = dynamic_cast<WebStockSource*>(&source))
        reason = web->FailureReason();
    else if (auto* ecb = dynamic_cast<EcbRates*>(&source))
        reason = ecb->FailureReason();
    reasons += (reasons.empty() ? "" : "; ") + name + ": " + ReasonOf(outcome, reason);
    return false;
}

std::unique_ptr<StockDataExtractor> CreateWebSource(const std::string& name) {
    if (name == YahooChart::kName)
        return std::make_unique<YahooChart>();
    if (name == MoscowExchange::kName)
        return std::make_unique<MoscowExchange>();
    if (name == AmfiNav::kName)
        return std::make_unique<AmfiNav>();
    return nullptr;
}

} // namespace

std::vector<std::string> AutomaticSource::Candidates(const std::string& symbol) {
    std::vector<std::string> names{YahooChart::kName};
    if (symbol.empty())
        return names;
    bool capitalsAndDigits = true, digits = true;
    for (unsigned char c : symbol) {
        capitalsAndDigits = capitalsAndDigits && ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'));
        digits = digits && c >= '0' && c <= '9';
    }
    if (capitalsAndDigits)
        names.emplace_back(MoscowExchange::kName);
    if (digits)
        names.emplace_back(AmfiNav::kName);
    return names;
}

bool AutomaticSource::Run() {
    failureReason.clear();
    const std::string symbol = GetSymbol();
    if (symbol.empty()) {
        failureReason = "no symbol";
        LogError("Automatic::Run() - No symbol!");
        return false;
    }
    std::string reasons;
    for (const std::string& name : Candidates(symbol)) {
        if (std::find(excluded.begin(), excluded.end(), name) != excluded.end())
            continue;
        if (Resting(name)) {
            reasons += (reasons.empty() ? "" : "; ") + name + ": skipped, its host rests";
            continue;
        }
        std::unique_ptr<StockDataExtractor> source = CreateWebSource(name);
        source->SetSymbol(symbol);
        if (!Try(*source, name, reasons))
            continue;
        for (const Parameter& p : source->GetParameters())
            SetParameter(p.first, p.second);
        SetParameter("Source", name);
        return true;
    }
    failureReason = reasons.empty() ? std::string("none left to try") : reasons;
    LogError("Automatic::Run() - No source could quote [" + symbol + "]: " + failureReason);
    return false;
}

bool AutomaticCurrency::Run() {
    const std::string source = GetSourceCurrency(), target = GetTargetCurrency();
    if (source.empty() || target.empty()) {
        LogError("Automatic::Run() - Missing source or target currency!");
        return false;
    }
    if (source == target) {
        SetRate(1.0);
        return true;
    }
    std::string reasons;
    if (!Resting(YahooChart::kName)) {
        YahooChart chart;
        chart.SetSymbol(source + target + "=X");
        if (Try(chart, YahooChart::kName, reasons)) {
            SetRate(chart.GetLastTrade());
            SetParameter("Source", YahooChart::kName);
            return true;
        }
    } else {
        reasons = std::string(YahooChart::kName) + ": skipped, its host rests";
    }
    if (!Resting(EcbRates::kName)) {
        EcbRates ecb;
        ecb.SetSourceCurrency(source);
        ecb.SetTargetCurrency(target);
        if (Try(ecb, EcbRates::kName, reasons)) {
            SetRate(ecb.GetRate());
            if (ecb.HasParameter("Date"))
                SetParameter("Date", ecb.GetParameter("Date"));
            SetParameter("Source", EcbRates::kName);
            return true;
        }
    } else {
        reasons += std::string(reasons.empty() ? "" : "; ") + EcbRates::kName + ": skipped, its host rests";
    }
    LogError("Automatic::Run() - No source could give the rate of " + source + " in " + target + ": " + reasons);
    return false;
}

} // namespace quillory
