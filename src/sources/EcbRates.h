#pragma once

#include <string>

#include "CurrencyDataExtractor.h"

namespace quillory {

// "ECB Reference Rates": the European Central Bank's daily reference rates, each the price of one
// euro, so any pair is a cross rate: the rate of SourceCurrency in TargetCurrency is
// rate(target) / rate(source), the euro being 1. Fills Rate and Date.
class EcbRates : public CurrencyDataExtractor {
public:
    static constexpr const char* kName = "ECB Reference Rates";
    static constexpr const char* kPath = "/stats/eurofxref/eurofxref-daily.xml";

    ~EcbRates() override = default;

    bool Run() override;

    // Reads the rates file; false with `reason` for a code it does not list or a body of another
    // shape.
    bool ReadAnswer(const std::string& body, std::string& reason);

    // Why the last Run failed; "" after a success.
    const std::string& FailureReason() const { return failureReason; }

private:
    bool Fail(const std::string& why);

    std::string failureReason;
};

} // namespace quillory
