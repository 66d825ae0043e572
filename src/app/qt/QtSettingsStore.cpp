#include "app/qt/QtSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include "foundation/Log.h"

namespace quillory {

// The file is read and written here rather than through QSettings, whose in-process cache would
// not see a change made on disk within the same second: every read must see the file as it is.
namespace {

QStringList ReadLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    text.replace("\r\n", "\n");
    QStringList lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool IsSection(const QString& line, QString* name = nullptr) {
    QString trimmed = line.trimmed();
    if (!trimmed.startsWith('[') || !trimmed.endsWith(']'))
        return false;
    if (name)
        *name = trimmed.mid(1, trimmed.size() - 2).trimmed();
    return true;
}

// Index of the line "name=..." in section, or -1; sectionEnd gets the index after the section's
// last line (or -1 when the section is missing).
int FindKey(const QStringList& lines, const QString& section, const QString& name, int& sectionEnd) {
    sectionEnd = -1;
    bool inSection = false;
    for (int i = 0; i < lines.size(); ++i) {
        QString current;
        if (IsSection(lines[i], &current)) {
            if (inSection)
                return -1;
            inSection = current == section;
            if (inSection)
                sectionEnd = i + 1;
            continue;
        }
        if (!inSection)
            continue;
        if (!lines[i].trimmed().isEmpty())
            sectionEnd = i + 1;
        int equals = lines[i].indexOf('=');
        if (equals > 0 && lines[i].left(equals).trimmed() == name)
            return i;
    }
    return -1;
}

} // namespace

QtSettingsStore::QtSettingsStore(QString path) : path(std::move(path)) {}

QString QtSettingsStore::ConfigHome() {
    QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (home.isEmpty() || !QDir::isAbsolutePath(home))
        home = QDir::homePath() + "/.config";
    return home;
}

QString QtSettingsStore::DefaultPath() {
    return ConfigHome() + "/Korvant/Quillory.conf";
}

int QtSettingsStore::GetProfileInt(const std::string& section, const std::string& name, int defaultValue) {
    QStringList lines = ReadLines(path);
    int sectionEnd = -1;
    int index = FindKey(lines, QString::fromStdString(section), QString::fromStdString(name), sectionEnd);
    if (index < 0)
        return defaultValue;
    bool ok = false;
    int value = lines[index].mid(lines[index].indexOf('=') + 1).trimmed().toInt(&ok);
    return ok ? value : defaultValue;
}

void QtSettingsStore::WriteProfileInt(const std::string& section, const std::string& name, int value) {
    const QString qsection = QString::fromStdString(section), qname = QString::fromStdString(name);
    QStringList lines = ReadLines(path);
    int sectionEnd = -1;
    int index = FindKey(lines, qsection, qname, sectionEnd);
    const QString line = qname + '=' + QString::number(value);
    if (index >= 0) {
        lines[index] = line;
    } else if (sectionEnd >= 0) {
        lines.insert(sectionEnd, line);
    } else {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(QString());
        lines.append('[' + qsection + ']');
        lines.append(line);
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        LogError("QtSettingsStore::WriteProfileInt() - Can't write " + path.toStdString());
        return;
    }
    file.write((lines.join('\n') + '\n').toUtf8());
    if (!file.commit())
        LogError("QtSettingsStore::WriteProfileInt() - Can't write " + path.toStdString());
}

} // namespace quillory
