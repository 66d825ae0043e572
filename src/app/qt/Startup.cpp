#include "app/qt/Startup.h"

#include <QApplication>

#include <clocale>

#include "app/core/QuilloryApp.h"
#include "app/core/StockSources.h"
#include "app/qt/ExitSignals.h"
#include "app/qt/Icons.h"
#include "app/qt/MainDialog.h"
#include "app/qt/Prompts.h"
#include "app/qt/QtSettingsStore.h"
#include "app/qt/XdgAutostart.h"
#include "storage/StockList.h"

namespace quillory {

int RunQuillory(int argc, char** argv) {
    QApplication qapp(argc, argv);
    // QApplication adopts the user's locale; numbers in the data file, the log and the quote pages
    // must keep the C library's "." decimal point whatever it is.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QuilloryApp::kName);
    QApplication::setOrganizationName("Korvant");
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setDesktopFileName("quillory");
    Icons::Init();
    Prompts::InstallQtMessageBox();
    ExitSignals exitSignals;

    QtSettingsStore store;
    XdgAutostart autostart;
    QuilloryApp app(store, autostart);
    bool ok = app.InitInstance([&] {
        MainDialog dialog(app, theStockList, StockSources::Default());
        QObject::connect(&dialog, &MainDialog::exitRequested, &qapp, &QApplication::quit, Qt::QueuedConnection);
        QObject::connect(&exitSignals, &ExitSignals::received, &dialog, &MainDialog::OnExit);
        QObject::connect(&qapp, &QGuiApplication::commitDataRequest, &dialog, &MainDialog::OnSessionEnd);
        // However the event loop is asked to end (the session manager's "die" among others), a
        // running pass is cancelled and the placement kept, as Exit does.
        QObject::connect(&qapp, &QCoreApplication::aboutToQuit, &dialog, &MainDialog::OnExit);
        dialog.OnInitDialog();
        QApplication::exec();
    });
    return ok ? 0 : 1;
}

} // namespace quillory
