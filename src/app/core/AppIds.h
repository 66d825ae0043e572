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

// Images of the tray icon and the program's other pictures, by their resource numbers.
constexpr int kIconAlert = 128;
constexpr int kIconIdle = 134;
constexpr int kIconBlinkOn = 138;
constexpr int kIconBlinkOff = 139;
constexpr int kIconBusy = 142;
constexpr int kBitmapAdd = 143;
constexpr int kBitmapEdit = 144;
constexpr int kBitmapDelete = 145;

// List columns of the main window.
constexpr int kColumnSymbol = 0;
constexpr int kColumnName = 1;
constexpr int kColumnPrice = 2;
constexpr int kColumnChange = 3;
constexpr int kColumnCount = 4;

} // namespace quillory
