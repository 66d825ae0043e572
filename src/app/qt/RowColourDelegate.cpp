#include "app/qt/RowColourDelegate.h"

#include "app/core/ListColours.h"

namespace quillory {

void RowColourDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (auto background = ListColours::RowBackground(index.row()))
        option->backgroundBrush = QColor(background->red, background->green, background->blue);
    if (auto text = ListColours::CellText(index.column(), option->text.toStdString()))
        option->palette.setColor(QPalette::Text, QColor(text->red, text->green, text->blue));
}

} // namespace quillory
