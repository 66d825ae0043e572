#include "app/qt/Prompts.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QThread>

#include <cstdio>

#include "foundation/MessageBox.h"

namespace quillory::Prompts {

namespace {

QuestionHook& Hook() {
    static QuestionHook hook;
    return hook;
}

// Set once the program is ending: no box may hold it any more.
bool ending = false;

QMessageBox::Icon ToQt(MessageBoxIcon icon) {
    switch (icon) {
    case MessageBoxIcon::Information:
        return QMessageBox::Information;
    case MessageBoxIcon::Error:
        return QMessageBox::Critical;
    case MessageBoxIcon::Warning:
    case MessageBoxIcon::None:
        break;
    }
    return QMessageBox::Warning;
}

} // namespace

void InstallQtMessageBox() {
    SetMessageBoxHook([](const std::string& text, const std::string& caption, MessageBoxIcon icon) {
        auto show = [text, caption, icon] {
            if (ending) {
                std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
                return;
            }
            QMessageBox box(ToQt(icon), QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::Ok,
                            QApplication::activeWindow());
            box.exec();
        };
        // Widgets live on the GUI thread only: a box asked for by a worker (an internal error in
        // the log) is shown from there, without holding the worker.
        if (QThread::currentThread() != qApp->thread())
            QMetaObject::invokeMethod(qApp, show, Qt::QueuedConnection);
        else
            show();
    });
}

bool AskYesNo(const std::string& text) {
    if (Hook())
        return Hook()(text);
    if (ending)
        return false;
    return QMessageBox::question(QApplication::activeWindow(), "Quillory", QString::fromStdString(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void EndBoxes() {
    ending = true;
    // Each box runs an event loop of its own, which this ends; the innermost is the active one.
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->done(QDialog::Rejected);
        else
            modal->close();
        if (QApplication::activeModalWidget() == modal)
            break; // it would not close; nothing more to do here
    }
}

QuestionHook SetQuestionHook(QuestionHook hook) {
    QuestionHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

} // namespace quillory::Prompts
