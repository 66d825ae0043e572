#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "model/ListView.h"

namespace quillory::test {

// A list view in memory. With `sorted` it places each new row by its first column, as the main
// window's list does, and returns where the row landed.
class FakeListView : public ListView {
public:
    explicit FakeListView(bool sorted = false) : sorted(sorted) {}

    void DeleteAllItems() override { rows.clear(); }
    int InsertItem(int index, const std::string& text) override {
        if (failInsert)
            return -1;
        if (sorted)
            index =
                static_cast<int>(std::upper_bound(rows.begin(), rows.end(), text,
                                                  [](const std::string& t, const auto& row) { return t < row[0]; }) -
                                 rows.begin());
        index = std::clamp(index, 0, static_cast<int>(rows.size()));
        rows.insert(rows.begin() + index, std::vector<std::string>{text});
        return index;
    }
    void SetItemText(int item, int column, const std::string& text) override {
        auto& row = rows.at(static_cast<size_t>(item));
        if (row.size() <= static_cast<size_t>(column))
            row.resize(static_cast<size_t>(column) + 1);
        row[static_cast<size_t>(column)] = text;
    }

    std::vector<std::vector<std::string>> rows;
    bool failInsert = false;

private:
    bool sorted;
};

} // namespace quillory::test
