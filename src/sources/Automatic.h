#pragma once

#include <string>
#include <vector>

#include "CurrencyDataExtractor.h"
#include "StockDataExtractor.h"

namespace quillory {

// "Automatic": per symbol, the sources of today's web that can serve it, in turn, until one
// answers: "Yahoo Finance Chart" for every symbol, then "Moscow Exchange" for one of capital
// letters and digits, then "AMFI India NAV" for a scheme code (digits only). A source whose host
// rests after a 429 or 503 is passed over. On success the parameters are those of the source that
// answered, plus "Source" naming it; when all fail, one log line gives each one's reason.
class AutomaticSource : public StockDataExtractor {
public:
    static constexpr const char* kName = "Automatic";

    ~AutomaticSource() override = default;

    bool Run() override;

    // Leaves a source out, such as the one whose failure made the caller turn to this one.
    void Exclude(const std::string& sourceName) { excluded.push_back(sourceName); }

    // The sources tried for `symbol`, in order.
    static std::vector<std::string> Candidates(const std::string& symbol);

    // Why the last Run failed, each source tried with its reason; "" after a success.
    const std::string& FailureReason() const { return failureReason; }

private:
    std::vector<std::string> excluded;
    std::string failureReason;
};

// "Automatic" for a currency pair: "Yahoo Finance Chart" with the pair symbol (EURUSD=X), then
// "ECB Reference Rates". Sets Rate and "Source".
class AutomaticCurrency : public CurrencyDataExtractor {
public:
    static constexpr const char* kName = "Automatic";

    ~AutomaticCurrency() override = default;

    bool Run() override;
};

} // namespace quillory
