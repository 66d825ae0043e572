#include "app/qt/XdgAutostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "app/qt/QtSettingsStore.h"
#include "foundation/Log.h"

namespace quillory {

XdgAutostart::XdgAutostart(QString entryPath, QString programPath)
    : entryPath(std::move(entryPath)), programPath(std::move(programPath)) {}

QString XdgAutostart::DefaultEntryPath() {
    return QtSettingsStore::ConfigHome() + "/autostart/Quillory.desktop";
}

QString XdgAutostart::RunningProgramPath() {
    return QFileInfo("/proc/self/exe").canonicalFilePath();
}

QString XdgAutostart::QuoteExec(const QString& path) {
    QString quoted = "\"";
    for (QChar c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    // The desktop-entry string type escapes every backslash once more.
    quoted.replace("\\", "\\\\");
    return quoted;
}

void XdgAutostart::Enable() {
    QDir().mkpath(QFileInfo(entryPath).absolutePath());
    QSaveFile file(entryPath);
    if (!file.open(QIODevice::WriteOnly)) {
        LogError("XdgAutostart::Enable() - Can't write " + entryPath.toStdString());
        return;
    }
    QString text = "[Desktop Entry]\n"
                   "Type=Application\n"
                   "Name=Quillory\n"
                   "Exec=" +
                   QuoteExec(programPath) + "\n";
    file.write(text.toUtf8());
    if (!file.commit())
        LogError("XdgAutostart::Enable() - Can't write " + entryPath.toStdString());
}

void XdgAutostart::Disable() {
    QFile::remove(entryPath);
}

} // namespace quillory
