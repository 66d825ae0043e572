#pragma once

#include <string>

#include "WebStockSource.h"

namespace quillory {

// "Moscow Exchange": the exchange's ISS JSON for one security (SECID) on its main board. Fills
// CompanyName, LastTrade, Change, ChangePercent and Currency.
class MoscowExchange : public WebStockSource {
public:
    static constexpr const char* kName = "Moscow Exchange";

    ~MoscowExchange() override = default;

    bool Run() override;

    // Reads an ISS answer (blocks "securities" and "marketdata", each columns and data rows,
    // columns looked up by name); false with `reason` for an unknown security, no price or a body
    // of another shape.
    bool ReadAnswer(const std::string& body, std::string& reason);

    static std::string Target(const std::string& secid);
};

} // namespace quillory
