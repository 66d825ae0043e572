#pragma once

#include <string>

#include "StockDataExtractor.h"

namespace quillory {

// Base of the stock sources that ask today's JSON and text services: keeps why the last run
// failed, so "Automatic" can sum up every source it tried in one line.
class WebStockSource : public StockDataExtractor {
public:
    ~WebStockSource() override = default;

    // Why the last Run failed; "" after a success.
    const std::string& FailureReason() const { return failureReason; }

protected:
    // Logs "<origin> - [symbol] why", keeps `why` and returns false.
    bool Fail(const std::string& origin, const std::string& why);

    std::string failureReason;
};

} // namespace quillory
