#pragma once

#include <list>
#include <string>

#include "app/core/QuoteRows.h"
#include "app/core/TimerControl.h"

namespace quillory {

// What the update pass needs from the main window besides its list rows. Message boxes go
// through ShowMessageBox and the current moment through Clock.
class UpdateWindow : public QuoteRows, public TimerControl {
public:
    virtual void EnableUpdateButton(bool enable) = 0;
    virtual std::string GetStatusText() = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    virtual void SetTrayIcon(int iconId) = 0;
    // The text shown when the pointer rests on the tray icon.
    virtual void SetTrayToolTip(const std::string& text) = 0;
    // The alert texts one pass collected, once at its end when there are any; they also wait in the
    // pending list as before.
    virtual void AlertsCollected(const std::list<std::string>& texts) { (void)texts; }
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
};

} // namespace quillory
