#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>

namespace quillory::test {

// The one QApplication of a test program, on the offscreen platform unless one is chosen.
inline QApplication& EnsureApp() {
    static int argc = 1;
    static char name[] = "quillory-tests";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: Qt's own process-wide objects (QTest's input devices among them) must not
    // outlive the application they hang from at exit.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Runs `step` as soon as the next modal loop (a dialog's exec) starts.
inline void WhenModal(std::function<void()> step) {
    QTimer::singleShot(0, std::move(step));
}

} // namespace quillory::test
