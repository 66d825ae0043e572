#pragma once

#include <QTableWidget>
#include <string>
#include <vector>

#include "app/core/QuoteRows.h"

namespace quillory {

struct ListColumn {
    QString header;
    Qt::Alignment alignment;
    int width;
};

// A report-style list with grid lines, single full-row selection and read-only cells. With
// sortedByFirstColumn new rows go to their place in the case-insensitive order of column 0,
// whatever index they were asked for, and stay there when cells change later.
class ListViewWidget : public QTableWidget, public QuoteRows {
    Q_OBJECT
public:
    ListViewWidget(bool sortedByFirstColumn, QWidget* parent = nullptr);
    ~ListViewWidget() override = default;

    void SetColumns(const std::vector<ListColumn>& columns);

    void DeleteAllItems() override;
    // The row's actual index, or -1 for a failed insertion.
    int InsertItem(int index, const std::string& text) override;
    void SetItemText(int row, int column, const std::string& text) override;
    int GetItemCount() override { return rowCount(); }
    std::string GetItemText(int row, int column) override;
    void RedrawItem(int row) override;
    void SetItemToolTip(int row, const std::string& text) override;
    void DeleteItem(int row);

    // The marked (current) row, or -1.
    int GetSelectionMark() const;
    void SelectRow(int row);

private:
    bool sorted;
    std::vector<Qt::Alignment> alignments;
};

} // namespace quillory
