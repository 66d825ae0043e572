#pragma once

#include <string>

#include "WebStockSource.h"

namespace quillory {

// "Yahoo Finance Chart": Yahoo's chart API, one JSON answer per symbol of any kind (shares,
// indices, funds, currency pairs, crypto). Fills CompanyName, LastTrade, Change, ChangePercent,
// Currency and LastTradeTime.
class YahooChart : public WebStockSource {
public:
    static constexpr const char* kName = "Yahoo Finance Chart";

    ~YahooChart() override = default;

    bool Run() override;

    // Reads a chart answer into the parameters; false with `reason` for an error object, a
    // missing price or a body of another shape.
    bool ReadAnswer(const std::string& body, std::string& reason);

    // The request target for a symbol: "/v8/finance/chart/EURUSD%3DX?range=1d&interval=1d".
    static std::string Target(const std::string& symbol);
};

} // namespace quillory
