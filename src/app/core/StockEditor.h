#pragma once

#include <string>
#include <vector>

#include "app/core/StockDialogView.h"
#include "app/core/StockSources.h"
#include "model/Stock.h"

namespace quillory {

// The logic of the investment dialog: finding a symbol's name over every source, and storing the
// edited fields at OK.
class StockEditor {
public:
    // The dialog's fields as the user left them.
    struct Form {
        std::string symbol, name, dataSource;
        bool upperAlert = false;
        std::string upperLimit;
        bool lowerAlert = false;
        std::string lowerLimit;
    };

    StockEditor(Stock& stock, StockSources sources);
    virtual ~StockEditor() = default;

    // Tries the sources in byte order of their names until one knows the symbol; that source
    // stays selected, the name is shown and today's price joins the history. True when found.
    bool Search(StockDialogView& view);
    // False (with "Invalid symbol!") for a blank symbol; otherwise stores every field, trimmed
    // symbol and name, and limits read as strtod does (no number gives 0), checked or not.
    bool Apply(const Form& form);

    // The source names in the order the dialog's sorted list shows them (case-insensitive).
    std::vector<std::string> ComboEntries() const;
    // Index of the first entry beginning with prefix (case-insensitive), or -1; an empty prefix
    // looks for "Yahoo", the default source.
    static int FindSourceEntry(const std::vector<std::string>& entries, const std::string& prefix);
    // A limit edit's text: the limit, or the last price when the limit is 0, as "%.02f".
    static std::string LimitText(double limit, double lastPrice);

private:
    Stock& stock;
    StockSources sources;
};

} // namespace quillory
