#pragma once

#include <string>

namespace quillory {

// The rows and cells of the main window's investment list, as the update pass sees them.
class QuoteRows {
public:
    virtual ~QuoteRows() = default;
    virtual int GetItemCount() = 0;
    // Empty for a row or column that does not exist.
    virtual std::string GetItemText(int row, int column) = 0;
    virtual void SetItemText(int row, int column, const std::string& text) = 0;
    // Repaints one row at once, so progress shows while the pass keeps the thread busy.
    virtual void RedrawItem(int row) = 0;
};

} // namespace quillory
