#include "app/core/StockEditor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "app/core/QuilloryApp.h"
#include "datetime/Date.h"
#include "foundation/AmountHelper.h"
#include "foundation/Log.h"
#include "foundation/MessageBox.h"
#include "foundation/StringUtils.h"
#include "model/StockPrice.h"
#include "sources/SourceSearch.h"

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

// A blank quantity is no holding; otherwise an amount in the program's number notation.
bool ParseQuantity(const std::string& text, double& quantity) {
    quantity = 0;
    if (text.empty())
        return true;
    return AmountHelper::ParseAmount(text, quantity) && std::isfinite(quantity);
}

} // namespace

StockEditor::StockEditor(Stock& stock, StockSources sources) : stock(stock), sources(std::move(sources)) {}

bool StockEditor::Search(StockDialogView& view) {
    std::string symbol;
    if (!StartSearch(view, symbol))
        return false;
    SearchOutcome outcome = RunSearch(sources, symbol, [&view](const std::string& name) { view.SelectSource(name); });
    return Show(view, symbol, outcome, false); // the combo already followed each name
}

bool StockEditor::StartSearch(StockDialogView& view, std::string& symbol) {
    symbol = Trimmed(view.GetSymbolText());
    if (symbol.empty()) {
        Warn("You need to enter valid symbol first!");
        return false;
    }
    view.BeginWaitCursor();
    view.EnableSearch(false);
    return true;
}

SearchOutcome StockEditor::RunSearch(const StockSources& sources, const std::string& symbol,
                                     const std::function<void(const std::string& name)>& trying) {
    SourceSearch search = SearchSources(sources.names(), sources.create, symbol, trying, [](const RunOutcome& run) {
        LogError(CaughtText("StockEditor::Search()", run));
    });
    SearchOutcome outcome;
    outcome.source = search.source;
    outcome.invalidSources = search.invalidSources;
    outcome.cancelled = search.cancelled && !search.found;
    if (search.found) {
        outcome.found = true;
        outcome.company = search.found->GetCompanyName();
        outcome.lastTrade = search.found->GetLastTrade();
        outcome.change = search.found->GetChange();
    }
    return outcome;
}

bool StockEditor::FinishSearch(StockDialogView& view, const std::string& symbol, const SearchOutcome& outcome) {
    return Show(view, symbol, outcome, true);
}

bool StockEditor::Show(StockDialogView& view, const std::string& symbol, const SearchOutcome& outcome,
                       bool selectSource) {
    for (int i = 0; i < outcome.invalidSources; ++i)
        Warn("Invalid datasource!");
    if (selectSource && !outcome.source.empty())
        view.SelectSource(outcome.source);
    if (outcome.found) {
        stock.SetName(outcome.company);
        view.SetNameText(stock.GetName());
        StockPrice price(outcome.lastTrade, Date::GetCurrentDate());
        price.SetChange(outcome.change);
        stock.AddPrice(price);
        stock.FillPriceHistory(view.History());
    } else if (!outcome.cancelled) {
        Warn("None of the existing data sources could find a name for " + symbol + "!");
    }
    view.EnableSearch(true);
    view.EndWaitCursor();
    return outcome.found;
}

bool StockEditor::Apply(const Form& form) {
    const std::string symbol = Trimmed(form.symbol);
    if (symbol.empty()) {
        Warn("Invalid symbol!");
        return false;
    }
    double quantity = 0;
    if (!ParseQuantity(Trimmed(form.quantity), quantity)) {
        Warn("Invalid quantity!");
        return false;
    }
    stock.SetSymbol(symbol);
    stock.SetName(Trimmed(form.name));
    stock.SetQuantity(quantity);
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
