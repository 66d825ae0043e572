#include "MoscowExchange.h"

#include <vector>

#include "JsonAccess.h"
#include "ServiceHosts.h"
#include "WebRequest.h"

namespace quillory {

namespace {

using namespace JsonAccess;

// One row of an ISS block, its cells reached by column name.
class Row {
public:
    Row() = default;
    Row(const Json* columns, const Json* cells) : columns(columns), cells(cells) {}

    const Json* Cell(const char* name) const {
        if (columns == nullptr || !columns->is_array())
            return nullptr;
        for (size_t i = 0; i < columns->size(); ++i) {
            const Json& column = (*columns)[i];
            if (column.is_string() && column.get_ref<const std::string&>() == name) {
                const Json* cell = Element(cells, i);
                return cell != nullptr && !cell->is_null() ? cell : nullptr;
            }
        }
        return nullptr;
    }

private:
    const Json* columns = nullptr;
    const Json* cells = nullptr;
};

// The rows of block `name`; false when the block is missing or not columns and data.
bool Rows(const Json& root, const char* name, std::vector<Row>& rows) {
    const Json* block = Member(&root, name);
    const Json* columns = Member(block, "columns");
    const Json* data = Member(block, "data");
    if (columns == nullptr || !columns->is_array() || data == nullptr || !data->is_array())
        return false;
    for (const Json& cells : *data)
        if (cells.is_array())
            rows.emplace_back(columns, &cells);
    return true;
}

// The first of `names` that holds a number in the rows, in that order.
bool FirstNumber(const std::vector<const Row*>& rows, std::initializer_list<const char*> names, double& out) {
    for (const char* name : names)
        for (const Row* row : rows)
            if (Number(row->Cell(name), out))
                return true;
    return false;
}

bool FirstText(const std::vector<const Row*>& rows, std::initializer_list<const char*> names, std::string& out) {
    for (const char* name : names)
        for (const Row* row : rows)
            if (Text(row->Cell(name), out))
                return true;
    return false;
}

} // namespace

std::string MoscowExchange::Target(const std::string& secid) {
    return "/iss/engines/stock/markets/shares/securities/" + WebRequest::PercentEncode(secid) +
           ".json?iss.meta=off&iss.only=securities,marketdata&marketprice_board=1";
}

bool MoscowExchange::Run() {
    failureReason.clear();
    const std::string symbol = GetSymbol();
    if (symbol.empty())
        return Fail("MoscowExchange::Run()", "no symbol");
    HttpHelper::HttpResponse response;
    std::string reason;
    if (!WebRequest::Get(*this, ServiceHosts::BaseUrl(kName) + Target(symbol), "application/json", true, response,
                         reason) ||
        !ReadAnswer(response.body, reason))
        return Fail("MoscowExchange::Run()", reason);
    return true;
}

bool MoscowExchange::ReadAnswer(const std::string& body, std::string& reason) {
    const Json root = Parse(body);
    std::vector<Row> securities, marketdata;
    if (!root.is_object() || !Rows(root, "securities", securities)) {
        reason = "the answer is not a securities list but " + Glimpse(body);
        return false;
    }
    Rows(root, "marketdata", marketdata);
    if (securities.empty()) {
        reason = "unknown security";
        return false;
    }
    // The security's row and the market data of the same board (the first of each when the
    // answer names no boards).
    const Row& security = securities.front();
    const Row* market = marketdata.empty() ? nullptr : &marketdata.front();
    std::string board;
    if (Text(security.Cell("BOARDID"), board)) {
        for (const Row& row : marketdata) {
            std::string other;
            if (Text(row.Cell("BOARDID"), other) && other == board) {
                market = &row;
                break;
            }
        }
    }
    std::vector<const Row*> rows;
    if (market != nullptr)
        rows.push_back(market);
    rows.push_back(&security);

    double price = 0;
    if (!FirstNumber(rows, {"LAST", "LCURRENTPRICE", "MARKETPRICE"}, price)) {
        reason = "no price";
        return false;
    }
    std::string name;
    if (!FirstText({&security}, {"SHORTNAME", "SECNAME"}, name))
        name = GetSymbol();
    SetCompanyName(name);
    SetLastTrade(price);
    double previous = 0;
    if (FirstNumber(rows, {"PREVPRICE"}, previous)) {
        const double change = WebRequest::Tidy(price - previous, 6);
        SetChange(change);
        if (previous != 0)
            SetParameter("ChangePercent", WebRequest::Tidy(change / previous * 100, 4));
    }
    std::string currency;
    if (FirstText(rows, {"CURRENCYID"}, currency))
        SetCurrency(currency == "SUR" ? "RUB" : currency);
    return true;
}

} // namespace quillory
