#include "app/qt/ListViewWidget.h"

#include <QHeaderView>

namespace quillory {

ListViewWidget::ListViewWidget(bool sortedByFirstColumn, QWidget* parent)
    : QTableWidget(parent), sorted(sortedByFirstColumn) {
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
}

void ListViewWidget::SetColumns(const std::vector<ListColumn>& columns) {
    setColumnCount(static_cast<int>(columns.size()));
    alignments.clear();
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
        auto* header = new QTableWidgetItem(columns[i].header);
        header->setTextAlignment(columns[i].alignment | Qt::AlignVCenter);
        setHorizontalHeaderItem(i, header);
        setColumnWidth(i, columns[i].width);
        alignments.push_back(columns[i].alignment);
    }
}

void ListViewWidget::DeleteAllItems() {
    setRowCount(0);
}

int ListViewWidget::InsertItem(int index, const std::string& text) {
    const QString key = QString::fromStdString(text);
    int row = std::clamp(index, 0, rowCount());
    if (sorted) {
        row = rowCount();
        for (int i = 0; i < rowCount(); ++i) {
            if (QString::compare(key, item(i, 0)->text(), Qt::CaseInsensitive) < 0) {
                row = i;
                break;
            }
        }
    }
    insertRow(row);
    for (int column = 0; column < columnCount(); ++column) {
        auto* cell = new QTableWidgetItem(column == 0 ? key : QString());
        if (column < static_cast<int>(alignments.size()))
            cell->setTextAlignment(alignments[column] | Qt::AlignVCenter);
        setItem(row, column, cell);
    }
    return row;
}

void ListViewWidget::SetItemText(int row, int column, const std::string& text) {
    if (QTableWidgetItem* cell = item(row, column))
        cell->setText(QString::fromStdString(text));
}

void ListViewWidget::SetItemToolTip(int row, const std::string& text) {
    for (int column = 0; column < columnCount(); ++column)
        if (QTableWidgetItem* cell = item(row, column))
            cell->setToolTip(QString::fromStdString(text));
}

std::string ListViewWidget::GetItemText(int row, int column) {
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text().toStdString() : std::string();
}

void ListViewWidget::RedrawItem(int row) {
    if (row < 0 || row >= rowCount())
        return;
    QRect area = visualRect(model()->index(row, 0));
    area.setLeft(0);
    area.setRight(viewport()->width());
    viewport()->repaint(area);
}

void ListViewWidget::DeleteItem(int row) {
    if (row >= 0 && row < rowCount())
        removeRow(row);
}

int ListViewWidget::GetSelectionMark() const {
    if (rowCount() == 0 || !currentIndex().isValid())
        return -1;
    return currentIndex().row();
}

void ListViewWidget::SelectRow(int row) {
    if (row < 0 || row >= rowCount())
        return;
    setCurrentCell(row, 0);
    selectRow(row);
}

} // namespace quillory
