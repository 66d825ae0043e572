#include "app/core/ListColours.h"

#include <cstdlib>

#include "app/core/AppIds.h"

namespace quillory::ListColours {

std::optional<Rgb> RowBackground(int row) {
    if (row % 2 == 0)
        return Rgb{231, 231, 231};
    return std::nullopt;
}

std::optional<Rgb> CellText(int column, const std::string& text) {
    if (column != kColumnChange)
        return std::nullopt;
    if (std::strtod(text.c_str(), nullptr) < 0)
        return Rgb{191, 0, 0};
    return Rgb{0, 127, 0};
}

} // namespace quillory::ListColours
