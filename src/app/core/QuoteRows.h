#pragma once

#include <string>

#include "model/ListView.h"

namespace quillory {

// The rows and cells of the main window's investment list, as the update pass sees them.
class QuoteRows : public ListView {
public:
    virtual int GetItemCount() = 0;
    // Empty for a row or column that does not exist.
    virtual std::string GetItemText(int row, int column) = 0;
    // Repaints one row at once, so progress shows while the pass keeps the thread busy.
    virtual void RedrawItem(int row) = 0;
    // The text shown when the pointer rests on a row; rows without one show none.
    virtual void SetItemToolTip(int row, const std::string& text) {
        (void)row;
        (void)text;
    }
};

} // namespace quillory
