#include "app/core/StockEditor.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "app/core/QuilloryApp.h"
#include "datetime/Date.h"
#include "foundation/MessageBox.h"
#include "foundation/StringUtils.h"
#include "model/StockPrice.h"

namespace quillory {

namespace {

void Warn(const std::string& text) {
    ShowMessageBox(text, QuilloryApp::kName, MessageBoxIcon::Warning);
}

std::string Lower(std::string text) {
    StringUtils::ToLower(text);
    return text;
}

std::string Trimmed(std::string text) {
    StringUtils::Trim(text);
    return text;
}

} // namespace

StockEditor::StockEditor(Stock& stock, StockSources sources) : stock(stock), sources(std::move(sources)) {}

bool StockEditor::Search(StockDialogView& view) {
    const std::string symbol = Trimmed(view.GetSymbolText());
    if (symbol.empty()) {
        Warn("You need to enter valid symbol first!");
        return false;
    }
    view.BeginWaitCursor();
    view.EnableSearch(false);

    std::vector<std::string> names = sources.names();
    std::sort(names.begin(), names.end());
    bool found = false;
    for (const std::string& name : names) {
        std::unique_ptr<StockDataExtractor> source = sources.create(name);
        if (!source) {
            Warn("Invalid datasource!");
            continue;
        }
        view.SelectSource(name);
        source->SetSymbol(symbol);
        if (!RunSource(*source, "StockEditor::Search()"))
            continue;
        const std::string company = source->GetCompanyName();
        if (company.empty())
            continue;
        stock.SetName(company);
        view.SetNameText(stock.GetName());
        StockPrice price(source->GetLastTrade(), Date::GetCurrentDate());
        price.SetChange(source->GetChange());
        stock.AddPrice(price);
        stock.FillPriceHistory(view.History());
        found = true;
        break;
    }
    if (!found)
        Warn("None of the existing data sources could find a name for " + symbol + "!");
    view.EnableSearch(true);
    view.EndWaitCursor();
    return found;
}

bool StockEditor::Apply(const Form& form) {
    const std::string symbol = Trimmed(form.symbol);
    if (symbol.empty()) {
        Warn("Invalid symbol!");
        return false;
    }
    stock.SetSymbol(symbol);
    stock.SetName(Trimmed(form.name));
    stock.SetDataSource(form.dataSource);
    stock.GetAlert().SetUpper(form.upperAlert, std::strtod(form.upperLimit.c_str(), nullptr));
    stock.GetAlert().SetLower(form.lowerAlert, std::strtod(form.lowerLimit.c_str(), nullptr));
    return true;
}

std::vector<std::string> StockEditor::ComboEntries() const {
    std::vector<std::string> entries = sources.names();
    std::stable_sort(entries.begin(), entries.end(),
                     [](const std::string& a, const std::string& b) { return Lower(a) < Lower(b); });
    return entries;
}

int StockEditor::FindSourceEntry(const std::vector<std::string>& entries, const std::string& prefix) {
    const std::string wanted = Lower(prefix.empty() ? std::string("Yahoo") : prefix);
    for (size_t i = 0; i < entries.size(); ++i)
        if (Lower(entries[i]).compare(0, wanted.size(), wanted) == 0)
            return static_cast<int>(i);
    return -1;
}

std::string StockEditor::LimitText(double limit, double lastPrice) {
    char text[64];
    std::snprintf(text, sizeof text, "%.02f", limit == 0 ? lastPrice : limit);
    return text;
}

} // namespace quillory
