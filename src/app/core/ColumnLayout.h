#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/core/QuilloryApp.h"

namespace quillory {

// The main window's list columns and their widths. Widths saved in "Window" win; a column without
// one gets a width from the font, wide enough for its header and its longest usual content.
namespace ColumnLayout {

constexpr int kColumnChangePercent = 4;
constexpr int kColumnValue = 5;
constexpr int kColumnCount = 6;

struct Column {
    const char* header;
    const char* sample; // the widest text the column is meant to show whole
    bool rightAligned;
};
const std::vector<Column>& Columns();

// Pixels a text takes in the list's font.
using TextWidth = std::function<int(const std::string&)>;
// Room beside the text for the cell's margins and the header's sort mark.
constexpr int kPadding = 16;

int DefaultWidth(int column, const TextWidth& textWidth);
// The saved width of each column, or its default from the font.
std::vector<int> Widths(QuilloryApp& app, const TextWidth& textWidth);

} // namespace ColumnLayout

} // namespace quillory
