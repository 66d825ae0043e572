#include "app/core/UpdateCycle.h"

#include <cstdio>

#include "app/core/AppIds.h"
#include "foundation/Clock.h"
#include "foundation/Log.h"
#include "foundation/MessageBox.h"

namespace quillory {

bool alertBlinkPhase = false;

namespace {

void Warn(const std::string& text) {
    ShowMessageBox(text, QuilloryApp::kName, MessageBoxIcon::Warning);
}

std::string NoSourceText(const std::string& symbol) {
    return "Unable to create data extractor for " + symbol + "! Try to update it in the propertied of investment.";
}

void AppendListed(std::string& list, const std::string& symbol) {
    if (!list.empty())
        list += ", ";
    list += symbol;
}

} // namespace

UpdateCycle::UpdateCycle(QuilloryApp& app, UpdateWindow& window, RowQuoteUpdater& updater, TaskRunner& runner)
    : app(app), window(window), updater(updater), runner(runner), passDeadlineMs(kPassDeadlineMs) {}

UpdateCycle::~UpdateCycle() {
    if (pass)
        pass->token->Cancel();
}

bool UpdateCycle::IsRefusedWeekend() {
    if (app.GetWeekendUpdateFlag() != 0)
        return false;
    std::tm local{};
    if (!Clock::ToLocal(Clock::Now(), local))
        return false;
    return local.tm_wday == 0 || local.tm_wday == 6;
}

void UpdateCycle::UpdateQuotes(Trigger trigger) {
    if (updating)
        return;
    if (IsRefusedWeekend()) {
        if (trigger == Trigger::User)
            ShowMessageBox("Weekend! Market is closed.", QuilloryApp::kName, MessageBoxIcon::Information);
        else
            window.SetTimer(kUpdateTimer, app.GetUpdateTime() * 60000);
        return;
    }

    updating = true;
    window.BeginWaitCursor();
    window.SetTrayIcon(kIconBusy);
    window.EnableUpdateButton(false);

    auto started = std::make_unique<Pass>();
    started->id = ++lastPassId;
    started->trigger = trigger;
    started->status = window.GetStatusText();
    const int count = window.GetItemCount();
    for (int row = 0; row < count; ++row) {
        window.SetItemText(row, kColumnPrice, "...");
        window.SetItemText(row, kColumnChange, "...");
        window.RedrawItem(row);
        PassRow entry;
        entry.row = row;
        entry.request = updater.Prepare(window.GetItemText(row, kColumnSymbol));
        started->rows.push_back(std::move(entry));
    }
    pass = std::move(started);
    const unsigned id = pass->id;
    const size_t total = pass->rows.size();
    if (total > 0) {
        window.SetStatusText(StatusWithProgress(pass->status, 0, static_cast<int>(total)));
        window.SetTimer(kPassDeadlineTimer, passDeadlineMs);
    }
    for (size_t index = 0; index < total; ++index) {
        // A runner that finishes tasks at once may end the pass (Exit from a box) meanwhile.
        if (!pass || pass->id != id)
            return;
        const RowFetch request = pass->rows[index].request;
        const RowQuoteUpdater* fetcher = &updater;
        SubmitTask<QuoteFetch>(
            runner, request.key, pass->token, [fetcher, request] { return fetcher->Fetch(request); },
            [this, id, index](QuoteFetch& fetch) { OnFetched(id, index, fetch); });
    }
    if (!pass || pass->id != id)
        return;
    pass->submitting = false;
    ShowBoxesThenFinish();
}

int UpdateCycle::FindRow(const PassRow& entry) {
    const std::string& symbol = entry.request.symbol;
    if (window.GetItemText(entry.row, kColumnSymbol) == symbol)
        return entry.row;
    const int count = window.GetItemCount();
    for (int row = 0; row < count; ++row)
        if (window.GetItemText(row, kColumnSymbol) == symbol)
            return row;
    return -1;
}

void UpdateCycle::MarkFailed(PassRow& entry) {
    entry.result = RowQuoteUpdater::Result::Failed;
    const int row = FindRow(entry);
    if (row < 0) {
        entry.gone = true;
        return;
    }
    window.SetItemText(row, kColumnPrice, "N/A");
    window.SetItemText(row, kColumnChange, "N/A");
    window.RedrawItem(row);
}

void UpdateCycle::OnFetched(unsigned passId, size_t index, QuoteFetch& fetch) {
    // A result of a pass that ended (deadline, Exit) has nowhere to go.
    if (!pass || pass->id != passId || index >= pass->rows.size())
        return;
    PassRow& entry = pass->rows[index];
    if (entry.done)
        return;
    entry.done = true;
    ++pass->finished;

    const int row = FindRow(entry);
    if (row < 0) {
        entry.gone = true;
        entry.result = RowQuoteUpdater::Result::Stale;
    } else {
        try {
            entry.result = updater.Apply(row, entry.request, fetch, window, entry.alerts);
        } catch (...) {
            LogError("UpdateCycle::UpdateQuotes() - Unexpected error while updating [" + entry.request.symbol + "]");
            entry.result = RowQuoteUpdater::Result::Failed;
        }
    }
    switch (entry.result) {
    case RowQuoteUpdater::Result::NoSource:
        // The row keeps its "..." and stays out of the failure list.
        if (pass->trigger == Trigger::User)
            boxes.push_back(NoSourceText(entry.request.symbol));
        break;
    case RowQuoteUpdater::Result::Failed:
        MarkFailed(entry);
        break;
    case RowQuoteUpdater::Result::Updated:
    case RowQuoteUpdater::Result::Stale:
        break;
    }
    if (pass->finished < pass->rows.size())
        window.SetStatusText(
            StatusWithProgress(pass->status, static_cast<int>(pass->finished), static_cast<int>(pass->rows.size())));
    ShowBoxesThenFinish();
}

void UpdateCycle::OnDeadline() {
    window.KillTimer(kPassDeadlineTimer);
    if (!pass)
        return;
    pass->token->Cancel();
    size_t late = 0;
    for (PassRow& entry : pass->rows) {
        if (entry.done)
            continue;
        entry.done = true;
        ++pass->finished;
        ++late;
        MarkFailed(entry);
    }
    LogMessage("UpdateCycle::OnDeadline() - The update pass ran out of time; " + std::to_string(late) +
               " investment(s) not updated");
    ShowBoxesThenFinish();
}

void UpdateCycle::ShowBoxesThenFinish() {
    // A box runs a nested event loop in which more results arrive: they queue their boxes here and
    // the outermost call shows them one after the other.
    if (showingBoxes)
        return;
    showingBoxes = true;
    while (!boxes.empty()) {
        const std::string text = boxes.front();
        boxes.pop_front();
        Warn(text);
    }
    showingBoxes = false;
    if (pass && !pass->submitting && pass->finished == pass->rows.size())
        Finish();
}

void UpdateCycle::Finish() {
    window.KillTimer(kPassDeadlineTimer);
    const unsigned id = pass->id;
    const Trigger trigger = pass->trigger;
    std::string failures, unreachable;
    std::vector<std::string> noSource;
    std::list<std::string> passAlerts;
    for (PassRow& entry : pass->rows) {
        passAlerts.insert(passAlerts.end(), entry.alerts.begin(), entry.alerts.end());
        pendingAlerts.splice(pendingAlerts.end(), entry.alerts);
        if (entry.gone)
            continue;
        if (entry.result == RowQuoteUpdater::Result::Failed)
            AppendListed(failures, entry.request.symbol);
        if (entry.result == RowQuoteUpdater::Result::Failed || entry.result == RowQuoteUpdater::Result::NoSource)
            AppendListed(unreachable, entry.request.symbol);
        if (entry.result == RowQuoteUpdater::Result::NoSource)
            noSource.push_back(entry.request.symbol);
    }
    const std::string failureText = "Quillory failed to download quotes for " + failures + ".";
    if (trigger == Trigger::User && !failures.empty()) {
        Warn(failureText + "\nTry to use different data source, check your Internet connection and try again!");
        if (!pass || pass->id != id)
            return; // Exit ended the pass while the box was open
    }

    window.EnableUpdateButton(true);
    lastUpdateTime = Clock::Now();
    window.SetTimer(kUpdateTimer, app.GetUpdateTime() * 60000);
    std::string status = StatusWithTime(pass->status, lastUpdateTime);
    std::string tip = QuilloryApp::kName;
    // A computer left offline must not collect a box every interval: a timer's pass tells what
    // failed where it can be read without being in the way.
    if (trigger == Trigger::Timer && !unreachable.empty()) {
        status += " (failed: " + unreachable + ")";
        if (!failures.empty())
            tip += "\n" + failureText;
        for (const std::string& symbol : noSource)
            tip += "\n" + NoSourceText(symbol);
    }
    window.SetStatusText(status);
    window.SetTrayToolTip(tip);
    if (!pendingAlerts.empty())
        window.SetTimer(kBlinkTimer, kBlinkIntervalMs);
    window.SetTrayIcon(kIconIdle);
    pass.reset();
    if (!passAlerts.empty())
        window.AlertsCollected(passAlerts);
    updating = false;
    window.EndWaitCursor();
}

void UpdateCycle::CancelPass() {
    if (!pass)
        return;
    pass->token->Cancel();
    window.KillTimer(kPassDeadlineTimer);
    boxes.clear();
    const std::string status = pass->status;
    pass.reset();
    window.SetStatusText(status);
    window.EnableUpdateButton(true);
    window.SetTrayIcon(kIconIdle);
    updating = false;
    window.EndWaitCursor();
}

void UpdateCycle::OnTimer(int id) {
    if (id == kUpdateTimer) {
        window.KillTimer(kUpdateTimer);
        UpdateQuotes(Trigger::Timer);
    } else if (id == kBlinkTimer) {
        alertBlinkPhase = !alertBlinkPhase;
        window.SetTrayIcon(alertBlinkPhase ? kIconBlinkOn : kIconBlinkOff);
    } else if (id == kPassDeadlineTimer) {
        OnDeadline();
    }
}

std::list<std::string> UpdateCycle::TakePendingAlerts() {
    window.KillTimer(kBlinkTimer);
    window.SetTrayIcon(kIconIdle);
    std::list<std::string> texts;
    texts.swap(pendingAlerts);
    return texts;
}

std::string UpdateCycle::StatusWithTime(const std::string& status, std::time_t moment) {
    std::string text = status.substr(0, status.find(':'));
    text += ':';
    std::tm local{};
    char clock[16] = "N/A";
    if (Clock::ToLocal(moment, local))
        std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    return text + " " + clock;
}

std::string UpdateCycle::StatusWithProgress(const std::string& status, int done, int total) {
    const size_t lastLine = status.rfind('\n');
    const std::string kept = lastLine == std::string::npos ? std::string() : status.substr(0, lastLine + 1);
    return kept + "Updating " + std::to_string(done) + " of " + std::to_string(total) + "\u2026";
}

} // namespace quillory
