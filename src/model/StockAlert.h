#pragma once

#include "markup/XMLPersistable.h"

namespace quillory {

// The two alert limits of one investment; a limit alerts only while it is switched on.
class StockAlert : public XMLTextRecord {
public:
    StockAlert() = default;
    StockAlert(const StockAlert&) = default;
    StockAlert& operator=(const StockAlert&) = default;
    ~StockAlert() override = default;

    bool IsUpperAlert() const { return upperAlert; }
    double GetUpperLimit() const { return upperLimit; }
    bool IsLowerAlert() const { return lowerAlert; }
    double GetLowerLimit() const { return lowerLimit; }
    void SetUpper(bool enabled, double limit);
    void SetLower(bool enabled, double limit);

    // Strict comparisons: a price equal to the limit, or NaN, never alerts.
    bool IsAboveUpperLimit(double price) const;
    bool IsBelowLowerLimit(double price) const;

    void AppendXMLText(std::string& out) const override;
    void ParseXML(const XMLDoc& doc, unsigned& index) override;

private:
    bool upperAlert = false;
    double upperLimit = 0;
    bool lowerAlert = false;
    double lowerLimit = 0;
};

} // namespace quillory
