#include "app/qt/QtSettingsStore.h"

#include <QDir>
#include <QSettings>

#include "foundation/Log.h"

namespace quillory {

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

// A QSettings made per call re-reads the file when its size or modification time changed, so a
// value edited on disk is seen by the next read.
int QtSettingsStore::GetProfileInt(const std::string& section, const std::string& name, int defaultValue) {
    QSettings settings(path, QSettings::IniFormat);
    const QVariant value = settings.value(QString::fromStdString(section + "/" + name));
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok);
    return ok ? number : defaultValue;
}

void QtSettingsStore::WriteProfileInt(const std::string& section, const std::string& name, int value) {
    QSettings settings(path, QSettings::IniFormat);
    settings.setValue(QString::fromStdString(section + "/" + name), value);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        LogError("QtSettingsStore::WriteProfileInt() - Can't write " + path.toStdString());
}

} // namespace quillory
