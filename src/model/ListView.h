#pragma once

#include <string>

namespace quillory {

// The few row operations the records need from a list control: the main window's sorted list and
// the investment dialog's price history implement it with widgets, tests with a fake.
class ListView {
public:
    virtual ~ListView() = default;

    virtual void DeleteAllItems() = 0;
    // Inserts a row whose first column reads `text`; returns the row's actual index (the view may
    // sort), negative on failure.
    virtual int InsertItem(int index, const std::string& text) = 0;
    virtual void SetItemText(int item, int column, const std::string& text) = 0;
};

} // namespace quillory
