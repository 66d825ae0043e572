#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/core/StockDialogView.h"
#include "app/core/StockSources.h"
#include "model/Stock.h"

namespace quillory {

// What a search over the sources found. Made on whatever thread the search runs on.
struct SearchOutcome {
    bool found = false;
    bool cancelled = false;
    std::string source; // the source that found the name, or the last one tried
    std::string company;
    double lastTrade = 0, change = 0;
    int invalidSources = 0; // names the factory could not create
};

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
        std::string quantity; // blank for no holding
    };

    StockEditor(Stock& stock, StockSources sources);
    virtual ~StockEditor() = default;

    // Tries the sources in byte order of their names until one knows the symbol; that source
    // stays selected, the name is shown and today's price joins the history. True when found.
    bool Search(StockDialogView& view);

    // The same search in three steps, so that the middle one can run off the GUI thread.
    // GUI thread: reads and trims the symbol; false (with its box) for a blank one. Otherwise
    // the view shows that a search runs.
    bool StartSearch(StockDialogView& view, std::string& symbol);
    // Any thread: tries the sources in byte order, telling `trying` each name first; stops early
    // when the thread's CancelToken is cancelled.
    static SearchOutcome RunSearch(const StockSources& sources, const std::string& symbol,
                                   const std::function<void(const std::string& name)>& trying);
    // GUI thread: shows what was found (or the box saying nothing was, unless cancelled) and
    // readies the view for the next search. True when a name was found.
    bool FinishSearch(StockDialogView& view, const std::string& symbol, const SearchOutcome& outcome);
    const StockSources& Sources() const { return sources; }
    // False (with "Invalid symbol!") for a blank symbol; otherwise stores every field, trimmed
    // symbol and name, and limits read as strtod does (no number gives 0), checked or not. A
    // quantity that is not a number is refused with "Invalid quantity!" rather than taken as 0.
    bool Apply(const Form& form);

    // The source names in the order the dialog's sorted list shows them (case-insensitive).
    std::vector<std::string> ComboEntries() const;
    // Index of the first entry beginning with prefix (case-insensitive), or -1; an empty prefix
    // looks for "Yahoo", the default source.
    static int FindSourceEntry(const std::vector<std::string>& entries, const std::string& prefix);
    // A limit edit's text: the limit, or the last price when the limit is 0, as "%.02f".
    static std::string LimitText(double limit, double lastPrice);

private:
    bool Show(StockDialogView& view, const std::string& symbol, const SearchOutcome& outcome, bool selectSource);

    Stock& stock;
    StockSources sources;
};

} // namespace quillory
