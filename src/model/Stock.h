#pragma once

#include <list>
#include <string>

#include "markup/XMLPersistable.h"
#include "model/ListView.h"
#include "model/StockAlert.h"
#include "model/StockPriceList.h"

namespace quillory {

// One investment: its symbol (the key in the list, compared byte for byte), name, quote source,
// price history and alert limits. A plain value, copied whole.
class Stock : public XMLTextRecord {
public:
    static constexpr const char* DefaultDataSource = "Yahoo Finance";
    // The source a new investment gets: it picks among the services that answer today.
    static constexpr const char* NewInvestmentSource = "Automatic";

    explicit Stock(std::string symbol = "", std::string name = "");
    Stock(const Stock&) = default;
    Stock& operator=(const Stock&) = default;
    ~Stock() override = default;

    const std::string& GetSymbol() const { return symbol; }
    void SetSymbol(const std::string& value) { symbol = value; }
    const std::string& GetName() const { return name; }
    void SetName(const std::string& value) { name = value; }
    double GetQuantity() const { return quantity; }
    void SetQuantity(double value) { quantity = value; }
    const std::string& GetDataSource() const { return dataSource; }
    void SetDataSource(const std::string& value) { dataSource = value; }
    // The currency code a source reported for the price; empty while none did.
    const std::string& GetCurrency() const { return currency; }
    void SetCurrency(const std::string& value) { currency = value; }
    StockPriceList& GetPrices() { return prices; }
    const StockPriceList& GetPrices() const { return prices; }
    void SetPrices(const StockPriceList& value) { prices = value; }
    void ClearPrices() { prices.clear(); }
    StockAlert& GetAlert() { return alert; }
    const StockAlert& GetAlert() const { return alert; }

    // The first entry carrying the latest date after 1971-01-01; price 0 when there is none.
    StockPrice GetLastPrice() const;
    // Keeps one entry per day: an entry of a day already present overwrites it in place.
    void AddPrice(const StockPrice& entry);
    // Appends the below-limit text, then the above-limit text, for each limit the price crosses.
    void CheckAlerts(double price, std::list<std::string>& messages) const;

    int InsertListRow(ListView& view) const;
    void UpdateListRow(int row, ListView& view) const;
    // Rewrites the view with one row per entry (date, price), each inserted at the top.
    void FillPriceHistory(ListView& view) const;

    // Written straight into `out`: saving a large list needs no token for each of its price entries.
    void AppendXMLText(std::string& out) const override;
    void ParseXML(const XMLDoc& doc, unsigned& index) override;

private:
    std::string symbol;
    std::string name;
    double quantity = 0;
    std::string dataSource = DefaultDataSource;
    std::string currency;
    StockPriceList prices;
    StockAlert alert;
};

} // namespace quillory
