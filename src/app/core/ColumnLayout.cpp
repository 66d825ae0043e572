#include "app/core/ColumnLayout.h"

#include <algorithm>

namespace quillory::ColumnLayout {

const std::vector<Column>& Columns() {
    static const std::vector<Column> columns = {
        {"Symbol", "EURUSD=X", false}, {"Name", "Microsoft Corporation", false}, {"Price", "-12345.67", true},
        {"Change", "-12345.67", true}, {"Change %", "-100.00%", true},           {"Value", "-1234567.89", true},
    };
    return columns;
}

int DefaultWidth(int column, const TextWidth& textWidth) {
    const Column& c = Columns().at(static_cast<size_t>(column));
    return std::max(textWidth(c.header), textWidth(c.sample)) + kPadding;
}

std::vector<int> Widths(QuilloryApp& app, const TextWidth& textWidth) {
    std::vector<int> widths;
    for (int column = 0; column < kColumnCount; ++column) {
        const int saved = app.GetProfileInt(QuilloryApp::kWindow, "Column" + std::to_string(column), -1);
        widths.push_back(saved >= 0 ? saved : DefaultWidth(column, textWidth));
    }
    return widths;
}

} // namespace quillory::ColumnLayout
