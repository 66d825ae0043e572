#pragma once

namespace quillory {

// Timers of the main window.
constexpr int kUpdateTimer = 1;
constexpr int kBlinkTimer = 2;
// Ends an update pass that takes too long: rows not done by then count as failed.
constexpr int kPassDeadlineTimer = 3;
constexpr int kPassDeadlineMs = 2 * 60 * 1000;
constexpr int kFirstUpdateDelayMs = 2000;
constexpr int kBlinkIntervalMs = 500;

// Images of the tray icon and the program's other pictures; each names an SVG file of
// resources/icons (kIconIdle is the program's own icon, quillory.svg).
enum IconId : int {
    kIconAlert,
    kIconIdle,
    kIconBlinkOn,
    kIconBlinkOff,
    kIconBusy,
    kBitmapAdd,
    kBitmapEdit,
    kBitmapDelete,
};

// List columns of the main window.
constexpr int kColumnSymbol = 0;
constexpr int kColumnName = 1;
constexpr int kColumnPrice = 2;
constexpr int kColumnChange = 3;

} // namespace quillory
