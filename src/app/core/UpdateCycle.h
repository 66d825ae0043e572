#pragma once

#include <ctime>
#include <list>
#include <string>

#include "app/core/QuilloryApp.h"
#include "app/core/RowQuoteUpdater.h"
#include "app/core/UpdateWindow.h"

namespace quillory {

// Which of the two blink images timer 2 shows next. Process-wide and never reset, so a new
// blinking goes on from where the previous one stopped.
extern bool alertBlinkPhase;

// The quote update pass of the main window and its two timers: timer 1 runs the pass at the
// configured interval, timer 2 blinks the tray icon while alert texts wait to be read.
class UpdateCycle {
public:
    enum class Trigger { User, Timer };

    UpdateCycle(QuilloryApp& app, UpdateWindow& window, RowQuoteUpdater& updater);
    virtual ~UpdateCycle() = default;

    // Runs one pass over every row. Returns at once when a pass is already running (a message
    // box opened by the pass keeps events flowing). A weekend refusal started by the user shows
    // a box; one started by timer 1 is silent and re-arms the timer so that updates resume on
    // Monday.
    void UpdateQuotes(Trigger trigger = Trigger::User);
    void OnTimer(int id);

    // Hands the waiting alert texts over to be shown: stops the blinking, shows the idle image
    // and leaves the pending list empty.
    std::list<std::string> TakePendingAlerts();

    std::time_t GetLastUpdateTime() const { return lastUpdateTime; }
    bool IsUpdating() const { return updating; }
    const std::list<std::string>& GetPendingAlerts() const { return pendingAlerts; }

    // "Last update: 14:05:09" from "Last update: N/A": the text up to its first colon, a blank
    // and the local time of the moment.
    static std::string StatusWithTime(const std::string& status, std::time_t moment);

private:
    bool IsRefusedWeekend();

    QuilloryApp& app;
    UpdateWindow& window;
    RowQuoteUpdater& updater;

    std::time_t lastUpdateTime = 0;
    bool updating = false;
    std::list<std::string> pendingAlerts;
};

} // namespace quillory
