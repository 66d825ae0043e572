#pragma once

#include <QString>

#include "app/core/Autostart.h"

namespace quillory {

// The log-on entry as an XDG autostart file, $XDG_CONFIG_HOME/autostart/Quillory.desktop, whose
// Exec line starts the running program by its full path.
class XdgAutostart : public Autostart {
public:
    XdgAutostart(QString entryPath = DefaultEntryPath(), QString programPath = RunningProgramPath());
    ~XdgAutostart() override = default;

    void Enable() override;
    void Disable() override;

    const QString& EntryPath() const { return entryPath; }
    static QString DefaultEntryPath();
    static QString RunningProgramPath();
    // The path as one quoted argument of an Exec key, escaped for the desktop-entry string type.
    static QString QuoteExec(const QString& path);

private:
    QString entryPath;
    QString programPath;
};

} // namespace quillory
