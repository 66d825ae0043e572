#pragma once

#include "datetime/Date.h"
#include "markup/XMLPersistable.h"

namespace quillory {

// One dated price entry of an investment's history.
class StockPrice : public XMLTextRecord {
public:
    // A blank entry to read into: price 0, dated today.
    StockPrice();
    StockPrice(double price, const Date& date);
    StockPrice(const StockPrice&) = default;
    StockPrice& operator=(const StockPrice&) = default;
    ~StockPrice() override = default;

    double GetPrice() const { return price; }
    void SetPrice(double value) { price = value; }
    double GetChange() const { return change; }
    void SetChange(double value) { change = value; }
    const Date& GetDate() const { return date; }
    void SetDate(const Date& value) { date = value; }

    void AppendXMLText(std::string& out) const override;
    void ParseXML(const XMLDoc& doc, unsigned& index) override;

private:
    double price = 0;
    double change = 0;
    Date date;
};

} // namespace quillory
