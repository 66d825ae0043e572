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

} // namespace

UpdateCycle::UpdateCycle(QuilloryApp& app, UpdateWindow& window, RowQuoteUpdater& updater)
    : app(app), window(window), updater(updater) {}

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

    std::string failures;
    const int count = window.GetItemCount();
    for (int row = 0; row < count; ++row) {
        // A row deleted from within a message box of this pass must not be fetched blindly.
        if (row >= window.GetItemCount())
            break;
        window.SetItemText(row, kColumnPrice, "...");
        window.SetItemText(row, kColumnChange, "...");
        window.RedrawItem(row);

        const std::string symbol = window.GetItemText(row, kColumnSymbol);
        RowQuoteUpdater::Result result = RowQuoteUpdater::Result::Failed;
        try {
            result = updater.UpdateRow(row, symbol, window, pendingAlerts);
        } catch (...) {
            LogError("UpdateCycle::UpdateQuotes() - Unexpected error while updating [" + symbol + "]");
        }
        if (result == RowQuoteUpdater::Result::NoSource) {
            Warn("Unable to create data extractor for " + symbol +
                 "! Try to update it in the propertied of investment.");
        } else if (result == RowQuoteUpdater::Result::Failed) {
            if (!failures.empty())
                failures += ", ";
            failures += symbol;
            window.SetItemText(row, kColumnPrice, "N/A");
            window.SetItemText(row, kColumnChange, "N/A");
            window.RedrawItem(row);
        }
    }

    if (!failures.empty())
        Warn("Quillory failed to download quotes for " + failures +
             ".\nTry to use different data source, check your Internet connection and try again!");
    window.EnableUpdateButton(true);
    lastUpdateTime = Clock::Now();
    window.SetTimer(kUpdateTimer, app.GetUpdateTime() * 60000);
    window.SetStatusText(StatusWithTime(window.GetStatusText(), lastUpdateTime));
    if (!pendingAlerts.empty())
        window.SetTimer(kBlinkTimer, kBlinkIntervalMs);
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

} // namespace quillory
