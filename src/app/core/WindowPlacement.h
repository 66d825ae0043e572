#pragma once

#include "app/core/QuilloryApp.h"

namespace quillory {

// The main window's rectangle in screen pixels (right and bottom exclusive) and the rules that
// keep it on the primary screen and above its minimum size.
struct WindowPlacement {
    int left = 100, top = 100, right = 400, bottom = 500;

    static constexpr int kMinWidth = 150;
    static constexpr int kMinHeight = 300;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }

    static WindowPlacement Read(QuilloryApp& app);
    void Write(QuilloryApp& app) const;

    // A window past the right or left edge moves to the right edge, one past the bottom or top
    // edge to the top, keeping its size.
    void FitToScreen(int screenWidth, int screenHeight);
};

// Column widths of the main window's list, "Column0" to "Column3" in section "Window".
namespace ColumnWidths {
int Read(QuilloryApp& app, int column);
void Write(QuilloryApp& app, int column, int width);
} // namespace ColumnWidths

} // namespace quillory
