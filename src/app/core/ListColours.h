#pragma once

#include <optional>
#include <string>

namespace quillory {

struct Rgb {
    int red, green, blue;
    bool operator==(const Rgb&) const = default;
};

// Colours of the main window's list: even rows on light grey, the Change column red below zero
// and green otherwise (so "N/A" and "..." read as 0 and show green).
namespace ListColours {

std::optional<Rgb> RowBackground(int row);
std::optional<Rgb> CellText(int column, const std::string& text);

} // namespace ListColours

} // namespace quillory
