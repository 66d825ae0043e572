#pragma once

#include <QString>

#include "app/core/SettingsStore.h"

namespace quillory {

// The settings as an INI file, by default $XDG_CONFIG_HOME/Korvant/Quillory.conf with the
// sections [Options] and [Window], through QSettings. Every read sees the file as it is on disk.
class QtSettingsStore : public SettingsStore {
public:
    explicit QtSettingsStore(QString path = DefaultPath());
    ~QtSettingsStore() override = default;

    int GetProfileInt(const std::string& section, const std::string& name, int defaultValue) override;
    void WriteProfileInt(const std::string& section, const std::string& name, int value) override;

    const QString& Path() const { return path; }
    // $XDG_CONFIG_HOME, or ~/.config when it is unset or not absolute.
    static QString ConfigHome();
    static QString DefaultPath();

private:
    QString path;
};

} // namespace quillory
