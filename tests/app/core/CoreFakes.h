#pragma once

#include <algorithm>
#include <list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/core/AppIds.h"
#include "app/core/Autostart.h"
#include "app/core/SettingsStore.h"
#include "app/core/UpdateWindow.h"

namespace quillory::test {

class MemorySettingsStore : public SettingsStore {
public:
    int GetProfileInt(const std::string& section, const std::string& name, int defaultValue) override {
        ++reads;
        auto it = values.find({section, name});
        return it == values.end() ? defaultValue : it->second;
    }
    void WriteProfileInt(const std::string& section, const std::string& name, int value) override {
        values[{section, name}] = value;
    }
    std::map<std::pair<std::string, std::string>, int> values;
    int reads = 0;
};

class FakeAutostart : public Autostart {
public:
    void Enable() override {
        enabled = true;
        calls.push_back("Enable");
    }
    void Disable() override {
        enabled = false;
        calls.push_back("Disable");
    }
    bool enabled = false;
    std::vector<std::string> calls;
};

// A main window in memory: rows of four cells, the timers that run, and a journal of the
// visible events (redraws, tray images, button states) in the order they happened.
class FakeWindow : public UpdateWindow {
public:
    void AddRow(const std::string& symbol) { rows.push_back({symbol, "", "", ""}); }

    void DeleteAllItems() override { rows.clear(); }
    // Keeps rows in the order of column 0, as the main window's list does, whatever index is asked.
    int InsertItem(int, const std::string& text) override {
        auto at =
            std::upper_bound(rows.begin(), rows.end(), text,
                             [](const std::string& key, const std::vector<std::string>& row) { return key < row[0]; });
        int index = static_cast<int>(at - rows.begin());
        rows.insert(at, {text, "", "", ""});
        return index;
    }
    int GetItemCount() override { return static_cast<int>(rows.size()); }
    std::string GetItemText(int row, int column) override {
        if (row < 0 || row >= GetItemCount() || column < 0 || column > 3)
            return "";
        return rows[row][column];
    }
    void SetItemText(int row, int column, const std::string& text) override {
        if (row >= 0 && row < GetItemCount() && column >= 0 && column <= 3)
            rows[row][column] = text;
    }
    void SetItemToolTip(int row, const std::string& text) override { toolTips[row] = text; }
    void RedrawItem(int row) override {
        journal.push_back("redraw " + std::to_string(row) + " " + rows[row][2] + "/" + rows[row][3]);
    }
    void EnableUpdateButton(bool enable) override {
        buttonEnabled = enable;
        journal.push_back(enable ? "button on" : "button off");
    }
    std::string GetStatusText() override { return status; }
    void SetStatusText(const std::string& text) override { status = text; }
    void SetTimer(int id, int milliseconds) override { timers[id] = milliseconds; }
    void KillTimer(int id) override { timers.erase(id); }
    void SetTrayIcon(int iconId) override {
        trayIcon = iconId;
        trayHistory.push_back(iconId);
    }
    void SetTrayToolTip(const std::string& text) override { trayToolTip = text; }
    void AlertsCollected(const std::list<std::string>& texts) override { alertPasses.push_back(texts); }
    void BeginWaitCursor() override { ++waitDepth; }
    void EndWaitCursor() override { --waitDepth; }

    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> journal;
    std::map<int, int> timers;
    std::map<int, std::string> toolTips;
    std::vector<int> trayHistory;
    std::string status = "Quotes delayed 20 minutes\nLast update: N/A";
    std::string trayToolTip = "Quillory";
    std::vector<std::list<std::string>> alertPasses; // what each pass announced
    int trayIcon = kIconIdle;
    int waitDepth = 0;
    bool buttonEnabled = true;
};

} // namespace quillory::test
