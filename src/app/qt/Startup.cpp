#include "app/qt/Startup.h"

#include <QApplication>

#include <clocale>

#include "app/core/QuilloryApp.h"
#include "app/core/StockSources.h"
#include "app/qt/CommandLineAnswer.h"
#include "app/qt/ExitSignals.h"
#include "app/qt/Icons.h"
#include "app/qt/MainDialog.h"
#include "app/qt/Prompts.h"
#include "app/qt/QtSettingsStore.h"
#include "app/qt/SingleInstance.h"
#include "app/qt/XdgAutostart.h"
#include "storage/StockList.h"

namespace quillory {

int RunQuillory(int argc, char** argv) {
    if (std::optional<int> answered = AnswerCommandLine(argc, argv))
        return *answered;
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
    SingleInstance instance;
    if (SingleInstance::Outcome outcome = instance.Start(); outcome != SingleInstance::Outcome::Owner)
        return outcome == SingleInstance::Outcome::HandedOver ? 0 : instance.ReportNoAnswer();
    ExitSignals exitSignals;
    // A signal may come before the window exists, while a start-up box (a broken data file, say)
    // is open: it ends the program all the same, as Exit does.
    bool exitRequested = false;
    QObject::connect(&exitSignals, &ExitSignals::received, &qapp, [&exitRequested] {
        exitRequested = true;
        Prompts::EndBoxes();
    });

    QtSettingsStore store;
    XdgAutostart autostart;
    QuilloryApp app(store, autostart);
    bool ok = app.InitInstance([&] {
        if (exitRequested)
            return;
        MainDialog dialog(app, theStockList, StockSources::Default());
        QObject::connect(&dialog, &MainDialog::exitRequested, &qapp, &QApplication::quit, Qt::QueuedConnection);
        QObject::connect(&exitSignals, &ExitSignals::received, &dialog, &MainDialog::OnExit);
        QObject::connect(&qapp, &QGuiApplication::commitDataRequest, &dialog, &MainDialog::OnSessionEnd);
        // However the event loop is asked to end (the session manager's "die" among others), a
        // running pass is cancelled and the placement kept, as Exit does.
        QObject::connect(&qapp, &QCoreApplication::aboutToQuit, &dialog, &MainDialog::OnExit);
        QObject::connect(&instance, &SingleInstance::showRequested, &dialog, &MainDialog::RestoreWindow);
        QObject::connect(&instance, &SingleInstance::quitRequested, &dialog, &MainDialog::OnExit);
        dialog.OnInitDialog();
        instance.SetReady();
        QApplication::exec();
    });
    return ok ? 0 : 1;
}

} // namespace quillory
