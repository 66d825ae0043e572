#include "app/core/QuilloryApp.h"

#include "foundation/NumericFormat.h"
#include "storage/StockList.h"

namespace quillory {

QuilloryApp::QuilloryApp(SettingsStore& store, Autostart& autostart) : store(store), autostart(autostart) {}

int QuilloryApp::GetUpdateTime() {
    return store.GetProfileInt(kOptions, "UpdateTime", 10);
}
void QuilloryApp::SetUpdateTime(int minutes) {
    store.WriteProfileInt(kOptions, "UpdateTime", minutes);
}
int QuilloryApp::GetAutoStart() {
    return store.GetProfileInt(kOptions, "AutoStart", 0);
}

void QuilloryApp::SetAutoStart(int value) {
    store.WriteProfileInt(kOptions, "AutoStart", value);
    if (value == 0)
        autostart.Disable();
    else
        autostart.Enable();
}

int QuilloryApp::GetWeekendUpdateFlag() {
    return store.GetProfileInt(kOptions, "WeekendUpdateFlag", 0);
}
void QuilloryApp::SetWeekendUpdateFlag(int value) {
    store.WriteProfileInt(kOptions, "WeekendUpdateFlag", value);
}

int QuilloryApp::GetFallback() {
    return store.GetProfileInt(kOptions, "Fallback", 1);
}
void QuilloryApp::SetFallback(int value) {
    store.WriteProfileInt(kOptions, "Fallback", value);
}

int QuilloryApp::GetNotifications() {
    return store.GetProfileInt(kOptions, "Notifications", 1);
}
void QuilloryApp::SetNotifications(int value) {
    store.WriteProfileInt(kOptions, "Notifications", value);
}

bool QuilloryApp::InitInstance(const std::function<void()>& runMainDialog) {
    NumericFormat::SetDefault(NumericFormat('.', ',', 2));
    theStockList.Load();
    runMainDialog();
    theStockList.Save();
    return true;
}

int QuilloryApp::GetProfileInt(const std::string& section, const std::string& name, int defaultValue) {
    return store.GetProfileInt(section, name, defaultValue);
}

void QuilloryApp::WriteProfileInt(const std::string& section, const std::string& name, int value) {
    store.WriteProfileInt(section, name, value);
}

} // namespace quillory
