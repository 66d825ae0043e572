#pragma once

#include <QTimer>
#include <QWidget>
#include <memory>

#include "app/core/QuilloryApp.h"
#include "app/core/StockQuoteUpdater.h"
#include "app/core/StockSources.h"
#include "app/core/UpdateCycle.h"
#include "app/core/UpdateWindow.h"
#include "app/core/WindowPlacement.h"
#include "storage/StockList.h"
#include "tasks/ThreadPool.h"

class QDBusConnection;
class QLabel;
class QMenu;
class QPushButton;
class QSystemTrayIcon;

namespace quillory {

class ListViewWidget;
class Notifier;

// The program's window: the investment list with its add, edit and delete commands, the status
// line and the update button, beside a tray icon. Closing or minimising only hides it (or, with
// no tray to come back from, minimises it); Exit from either menu ends the program.
class MainDialog : public QWidget, public UpdateWindow {
    Q_OBJECT
public:
    MainDialog(QuilloryApp& app, StockList& list, StockSources sources, QWidget* parent = nullptr);
    ~MainDialog() override;

    // Restores the placement, adds the tray icon, fills the list and arms the first pass.
    void OnInitDialog();

    void UpdateQuotes(); // a user's request: the button or the tray's "Update"
    void OnTimer(int id);
    void OnAdd();
    void OnEdit();
    void OnDelete();
    void OnOptions();
    void OnAbout();
    void OnMaker();
    // Cancels a running pass and waits for its workers, saves column widths and placement, removes
    // the tray icon, stops timer 1 and asks the application to end.
    void OnExit();
    void OnTrayDoubleClick();
    // The desktop notification of an alert (or the tray message) was clicked: shows the waiting
    // alerts as the tray icon's double click does.
    void OnNotificationActivated();
    // "History…" and "Export…" of the selected row.
    void OnHistory();
    void OnExport();
    // Shows the window, restored and on top (also when another start of the program asks).
    void RestoreWindow();
    void OnCancel();
    // Column widths and window rectangle in the "Window" settings.
    void SaveWindowSettings();
    // The desktop session ends and may kill the program without an Exit: keep what Exit keeps.
    void OnSessionEnd();

    QMenu* CreateListMenu();
    QMenu* CreateTrayMenu();

    // UpdateWindow
    void DeleteAllItems() override;
    int InsertItem(int index, const std::string& text) override;
    void SetItemText(int row, int column, const std::string& text) override;
    int GetItemCount() override;
    std::string GetItemText(int row, int column) override;
    void RedrawItem(int row) override;
    void SetItemToolTip(int row, const std::string& text) override;
    void EnableUpdateButton(bool enable) override;
    std::string GetStatusText() override;
    void SetStatusText(const std::string& text) override;
    void SetTimer(int id, int milliseconds) override;
    void KillTimer(int id) override;
    void SetTrayIcon(int iconId) override;
    void SetTrayToolTip(const std::string& text) override;
    void AlertsCollected(const std::list<std::string>& texts) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

    // For the program's tests and start-up.
    ListViewWidget* List() const { return listView; }
    UpdateCycle& Cycle() { return cycle; }
    int TimerInterval(int id) const; // -1 when the timer is not running
    QString TrayToolTip() const;
    QString StatusLineText() const; // the status with the holdings line under it
    Notifier& Notifications() { return *notifier; }
    // Announces alerts over `bus` from now on instead of the session bus.
    void SetNotificationBus(const QDBusConnection& bus);
    int TrayIcon() const { return trayIconId; }
    bool HasTray() const { return trayAvailable; }
    void SetTrayAvailable(bool available) { trayAvailable = available; }
    bool IsExiting() const { return exiting; }

signals:
    void exitRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void RestorePlacement();
    void ShowListMenu(const QPoint& globalPos);
    void HideOrMinimize();
    void ConnectNotifier();
    // The "Change %" and "Value" cells of a row, from the investment the list holds.
    void RefreshHoldingCells(int row);
    // Every row's holding cells, the Value column's visibility, the holdings line and the tooltip.
    void RefreshHoldings();
    // The Value column's visibility and the holdings line.
    void RefreshTotals();
    void ShowStatus();
    void LayOut();
    const Stock* SelectedStock(Stock& stock);

    QuilloryApp& app;
    StockList& list;
    StockSources sources;
    StockQuoteUpdater updater;
    // The downloads of a pass: at most 4 at once, 2 to one host.
    ThreadPool pool;
    UpdateCycle cycle;

    QPushButton* addButton;
    QPushButton* editButton;
    QPushButton* deleteButton;
    QPushButton* makerButton;
    ListViewWidget* listView;
    QLabel* statusLine;
    QPushButton* updateButton;
    QSystemTrayIcon* tray;
    std::unique_ptr<QMenu> trayMenu;
    QTimer updateTimer;
    QTimer blinkTimer;
    QTimer deadlineTimer;
    int trayIconId = 0;
    bool trayAvailable;
    bool exiting = false;
    bool frameAdjusted = false;
    Notifier* notifier = nullptr;
    std::string statusText;
    std::string holdingsText;
    std::string trayTipHead;
    int listWidth = -1; // the list's width at the last resize, once the columns are set
    WindowPlacement placement;
};

} // namespace quillory
