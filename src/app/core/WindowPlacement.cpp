#include "app/core/WindowPlacement.h"

#include <string>

namespace quillory {

WindowPlacement WindowPlacement::Read(QuilloryApp& app) {
    WindowPlacement p;
    p.left = app.GetProfileInt(QuilloryApp::kWindow, "Left", 100);
    p.top = app.GetProfileInt(QuilloryApp::kWindow, "Top", 100);
    p.right = app.GetProfileInt(QuilloryApp::kWindow, "Right", 400);
    p.bottom = app.GetProfileInt(QuilloryApp::kWindow, "Bottom", 500);
    return p;
}

void WindowPlacement::Write(QuilloryApp& app) const {
    app.WriteProfileInt(QuilloryApp::kWindow, "Left", left);
    app.WriteProfileInt(QuilloryApp::kWindow, "Top", top);
    app.WriteProfileInt(QuilloryApp::kWindow, "Right", right);
    app.WriteProfileInt(QuilloryApp::kWindow, "Bottom", bottom);
}

void WindowPlacement::FitToScreen(int screenWidth, int screenHeight) {
    if (right > screenWidth || left < 0) {
        int width = Width();
        right = screenWidth;
        left = screenWidth - width;
    }
    if (bottom > screenHeight || top < 0) {
        int height = Height();
        top = 0;
        bottom = height;
    }
}

namespace ColumnWidths {

namespace {
constexpr int kDefaults[] = {50, 100, 55, 50};
}

int Read(QuilloryApp& app, int column) {
    int fallback = column >= 0 && column < 4 ? kDefaults[column] : 50;
    return app.GetProfileInt(QuilloryApp::kWindow, "Column" + std::to_string(column), fallback);
}

void Write(QuilloryApp& app, int column, int width) {
    app.WriteProfileInt(QuilloryApp::kWindow, "Column" + std::to_string(column), width);
}

} // namespace ColumnWidths

} // namespace quillory
