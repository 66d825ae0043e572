#pragma once

#include <QStyledItemDelegate>

namespace quillory {

// Paints the main list's even rows grey and its Change column red or green.
class RowColourDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

} // namespace quillory
