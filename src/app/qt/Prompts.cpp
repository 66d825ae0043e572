#include "app/qt/Prompts.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include "foundation/MessageBox.h"

namespace quillory::Prompts {

namespace {

QuestionHook& Hook() {
    static QuestionHook hook;
    return hook;
}

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
    return QMessageBox::question(QApplication::activeWindow(), "Quillory", QString::fromStdString(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

QuestionHook SetQuestionHook(QuestionHook hook) {
    QuestionHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

} // namespace quillory::Prompts
