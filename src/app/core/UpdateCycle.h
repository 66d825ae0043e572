#pragma once

#include <ctime>
#include <deque>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "app/core/QuilloryApp.h"
#include "app/core/RowQuoteUpdater.h"
#include "app/core/UpdateWindow.h"
#include "foundation/CancelToken.h"
#include "tasks/TaskRunner.h"

namespace quillory {

// Which of the two blink images timer 2 shows next. Process-wide and never reset, so a new
// blinking goes on from where the previous one stopped.
extern bool alertBlinkPhase;

// The quote update pass of the main window and its timers: timer 1 runs the pass at the
// configured interval, timer 2 blinks the tray icon while alert texts wait to be read, timer 3
// ends a pass that has run for too long.
//
// A pass hands every row's fetch to the task runner and returns; the results come back on the
// GUI thread one by one, in whatever order the downloads end, and are applied there. What is
// shown at the end (the failure box, the alerts) follows the row order.
class UpdateCycle {
public:
    enum class Trigger { User, Timer };

    UpdateCycle(QuilloryApp& app, UpdateWindow& window, RowQuoteUpdater& updater, TaskRunner& runner);
    virtual ~UpdateCycle();

    // Starts a pass over every row. Returns at once when a pass is already running. A weekend
    // refusal started by the user shows a box; one started by timer 1 is silent and re-arms the
    // timer so that updates resume on Monday. Failures of a pass timer 1 started go to the status
    // line and the tray tooltip instead of boxes.
    void UpdateQuotes(Trigger trigger = Trigger::User);
    void OnTimer(int id);
    // Ends a running pass at once without applying or showing anything more: its downloads are
    // cancelled and the window looks idle again. For Exit, before the workers are joined.
    void CancelPass();
    // How long a pass may run before the rows not done count as failed.
    void SetPassDeadline(int milliseconds) { passDeadlineMs = milliseconds; }

    // Hands the waiting alert texts over to be shown: stops the blinking, shows the idle image
    // and leaves the pending list empty.
    std::list<std::string> TakePendingAlerts();

    std::time_t GetLastUpdateTime() const { return lastUpdateTime; }
    bool IsUpdating() const { return updating; }
    const std::list<std::string>& GetPendingAlerts() const { return pendingAlerts; }

    // "Last update: 14:05:09" from "Last update: N/A": the text up to its first colon, a blank
    // and the local time of the moment.
    static std::string StatusWithTime(const std::string& status, std::time_t moment);
    // The status during a pass: its first lines kept, the last one "Updating 3 of 20…".
    static std::string StatusWithProgress(const std::string& status, int done, int total);

private:
    struct PassRow {
        RowFetch request;
        int row = 0; // where the row was when the pass started
        bool done = false;
        bool gone = false; // no row shows the symbol any more
        RowQuoteUpdater::Result result = RowQuoteUpdater::Result::Failed;
        std::list<std::string> alerts;
    };
    struct Pass {
        unsigned id = 0;
        Trigger trigger = Trigger::User;
        std::shared_ptr<CancelToken> token = std::make_shared<CancelToken>();
        std::vector<PassRow> rows;
        size_t finished = 0;
        bool submitting = true;
        std::string status; // the status line's text before the pass
    };

    bool IsRefusedWeekend();
    void OnFetched(unsigned passId, size_t index, QuoteFetch& fetch);
    void OnDeadline();
    void MarkFailed(PassRow& row);
    // The row that shows `row`'s symbol now, or -1.
    int FindRow(const PassRow& row);
    // Shows the queued warning boxes one after the other, then ends the pass if all rows are done.
    void ShowBoxesThenFinish();
    void Finish();

    QuilloryApp& app;
    UpdateWindow& window;
    RowQuoteUpdater& updater;
    TaskRunner& runner;

    std::time_t lastUpdateTime = 0;
    bool updating = false;
    std::list<std::string> pendingAlerts;
    std::unique_ptr<Pass> pass;
    unsigned lastPassId = 0;
    int passDeadlineMs;
    std::deque<std::string> boxes;
    bool showingBoxes = false;
};

} // namespace quillory
