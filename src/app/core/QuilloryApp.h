#pragma once

#include <functional>
#include <string>

#include "app/core/Autostart.h"
#include "app/core/SettingsStore.h"

namespace quillory {

// The application's settings: section "Options" holds the update interval, the start-at-log-on
// switch and the weekend switch; section "Window" the main window's placement and column widths.
class QuilloryApp {
public:
    static constexpr const char* kName = "Quillory";
    static constexpr const char* kOptions = "Options";
    static constexpr const char* kWindow = "Window";

    QuilloryApp(SettingsStore& store, Autostart& autostart);
    virtual ~QuilloryApp() = default;

    int GetUpdateTime();
    void SetUpdateTime(int minutes);
    int GetAutoStart();
    // Also writes or deletes the log-on entry, whether or not the value changed, so an entry
    // that points at a moved program is corrected by the next confirmation.
    void SetAutoStart(int value);
    int GetWeekendUpdateFlag();
    void SetWeekendUpdateFlag(int value);
    // Whether a row whose source fails is tried with "Automatic" (on unless turned off).
    int GetFallback();
    void SetFallback(int value);
    // Whether alerts are also announced as desktop notifications (on unless turned off).
    int GetNotifications();
    void SetNotifications(int value);

    // Start and end of the program: the default number format ('.', ',', 2 decimals), the
    // investment list loaded from its data file, the main window run until it ends, the list saved.
    bool InitInstance(const std::function<void()>& runMainDialog);

    int GetProfileInt(const std::string& section, const std::string& name, int defaultValue);
    void WriteProfileInt(const std::string& section, const std::string& name, int value);

private:
    SettingsStore& store;
    Autostart& autostart;
};

} // namespace quillory
