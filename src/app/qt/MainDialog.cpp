#include "app/qt/MainDialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QUrl>
#include <QWindow>

#include "app/core/AppIds.h"
#include "app/core/ColumnLayout.h"
#include "app/core/Holdings.h"
#include "app/core/OptionsValues.h"
#include "app/core/WindowPlacement.h"
#include "app/qt/DlgAbout.h"
#include "app/qt/DlgAlert.h"
#include "app/qt/DlgOptions.h"
#include "app/qt/DlgStock.h"
#include "app/qt/HistoryChart.h"
#include "app/qt/Icons.h"
#include "app/qt/ListViewWidget.h"
#include "app/qt/Notifier.h"
#include "app/qt/Prompts.h"
#include "app/qt/RowColourDelegate.h"

namespace quillory {

MainDialog::MainDialog(QuilloryApp& app, StockList& list, StockSources sources, QWidget* parent)
    : QWidget(parent), app(app), list(list), sources(sources), updater(list, sources),
      pool(4, 2,
           [this](std::function<void()> function) {
               // Runs on the GUI thread; dropped with the window if it is gone by then.
               QMetaObject::invokeMethod(this, std::move(function), Qt::QueuedConnection);
           }),
      cycle(app, *this, updater, pool), trayAvailable(QSystemTrayIcon::isSystemTrayAvailable()) {
    setWindowTitle(QuilloryApp::kName);
    setObjectName("mainDialog");
    updater.SetFallback(app.GetFallback() != 0);
    setMinimumSize(WindowPlacement::kMinWidth, WindowPlacement::kMinHeight);

    auto makeButton = [this](const char* name, int bitmap) {
        auto* button = new QPushButton(this);
        button->setObjectName(name);
        button->setFlat(true);
        button->setIcon(Icons::Get(bitmap));
        button->setIconSize(QSize(16, 16));
        button->setToolTip(name);
        button->setFocusPolicy(Qt::TabFocus);
        return button;
    };
    addButton = makeButton("Add", kBitmapAdd);
    editButton = makeButton("Edit", kBitmapEdit);
    deleteButton = makeButton("Del", kBitmapDelete);
    makerButton = new QPushButton("Korvant", this);
    makerButton->setObjectName("maker");
    makerButton->setFlat(true);

    listView = new ListViewWidget(true, this);
    listView->setObjectName("investments");
    listView->setItemDelegate(new RowColourDelegate(listView));
    listView->setContextMenuPolicy(Qt::CustomContextMenu);

    statusLine = new QLabel("Quotes delayed 20 minutes\nLast update: N/A", this);
    statusLine->setObjectName("status");
    statusLine->setAlignment(Qt::AlignCenter);

    updateButton = new QPushButton("Update quotes", this);
    updateButton->setObjectName("update");
    updateButton->setDefault(true);

    tray = new QSystemTrayIcon(this);
    notifier = new Notifier(tray, this);
    ConnectNotifier();
    statusText = statusLine->text().toStdString();
    trayTipHead = QuilloryApp::kName;

    updateTimer.setObjectName("timer1");
    blinkTimer.setObjectName("timer2");
    deadlineTimer.setObjectName("timer3");
    connect(&updateTimer, &QTimer::timeout, this, [this] { OnTimer(kUpdateTimer); });
    connect(&blinkTimer, &QTimer::timeout, this, [this] { OnTimer(kBlinkTimer); });
    connect(&deadlineTimer, &QTimer::timeout, this, [this] { OnTimer(kPassDeadlineTimer); });

    connect(updateButton, &QPushButton::clicked, this, &MainDialog::UpdateQuotes);
    connect(makerButton, &QPushButton::clicked, this, &MainDialog::OnMaker);
    connect(addButton, &QPushButton::clicked, this, &MainDialog::OnAdd);
    connect(editButton, &QPushButton::clicked, this, &MainDialog::OnEdit);
    connect(deleteButton, &QPushButton::clicked, this, &MainDialog::OnDelete);
    connect(listView, &QTableWidget::cellDoubleClicked, this, [this](int, int) { OnEdit(); });
    connect(listView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { ShowListMenu(listView->viewport()->mapToGlobal(pos)); });
    connect(tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick)
            OnTrayDoubleClick();
    });
}

MainDialog::~MainDialog() {
    // The workers post to this window: they must be gone before it is.
    cycle.CancelPass();
    pool.Shutdown();
}

void MainDialog::OnInitDialog() {
    RestorePlacement();
    SetTrayIcon(kIconIdle);
    tray->setToolTip(QuilloryApp::kName);
    trayMenu.reset(CreateTrayMenu());
    tray->setContextMenu(trayMenu.get());
    if (trayAvailable)
        tray->show();
    setWindowIcon(Icons::Get(kIconIdle));

    const QFontMetrics metrics = listView->fontMetrics();
    const std::vector<int> widths = ColumnLayout::Widths(
        app, [&metrics](const std::string& text) { return metrics.horizontalAdvance(QString::fromStdString(text)); });
    std::vector<ListColumn> columns;
    for (size_t i = 0; i < ColumnLayout::Columns().size(); ++i) {
        const ColumnLayout::Column& column = ColumnLayout::Columns()[i];
        columns.push_back({column.header, column.rightAligned ? Qt::AlignRight : Qt::AlignLeft, widths[i]});
    }
    listView->SetColumns(columns);
    list.FillListView(*listView);
    if (listView->GetItemCount() > 0)
        listView->SelectRow(0);
    RefreshHoldings();
    SetTimer(kUpdateTimer, kFirstUpdateDelayMs);
    show();
    raise();
}

void MainDialog::RestorePlacement() {
    placement = WindowPlacement::Read(app);
    QScreen* screen = QGuiApplication::primaryScreen();
    QRect desktop = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    placement.FitToScreen(desktop.width(), desktop.height());
    move(placement.left, placement.top);
    resize(placement.Width(), placement.Height());
}

void MainDialog::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The saved rectangle is the whole window, frame included; once the frame is known, take it
    // off the client size so the window keeps its size from one run to the next.
    if (!frameAdjusted && windowHandle()) {
        frameAdjusted = true;
        QMargins margins = windowHandle()->frameMargins();
        resize(std::max(placement.Width() - margins.left() - margins.right(), minimumWidth()),
               std::max(placement.Height() - margins.top() - margins.bottom(), minimumHeight()));
        move(placement.left, placement.top);
        // The Name column follows the user's resizing, not the sizes the window takes on its way
        // to the screen: those would shrink it a little on every start.
        QTimer::singleShot(200, this, [this] { listWidth = listView->width(); });
    }
}

void MainDialog::SaveWindowSettings() {
    for (int column = 0; column < listView->columnCount(); ++column)
        if (!listView->isColumnHidden(column)) // a hidden column keeps the width it had when shown
            ColumnWidths::Write(app, column, listView->columnWidth(column));
    QRect frame = frameGeometry();
    WindowPlacement placement{frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()};
    placement.Write(app);
}

void MainDialog::OnSessionEnd() {
    SaveWindowSettings();
    list.Save();
}

void MainDialog::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
    if (listWidth >= 0 && listView->width() != listWidth) {
        // The Name column takes the room the window gains once every column shows, and gives it
        // back first when the window narrows, so the numbers scroll out of sight last.
        const bool grown = listView->width() > listWidth;
        listWidth = listView->width();
        const int room = listView->viewport()->width() - listView->horizontalHeader()->length();
        const int name = listView->columnWidth(kColumnName);
        constexpr int kMinName = 60;
        if (grown && room > 0)
            listView->setColumnWidth(kColumnName, name + room);
        else if (!grown && room < 0 && name > kMinName)
            listView->setColumnWidth(kColumnName, std::max(kMinName, name + room));
    }
}

void MainDialog::LayOut() {
    const int cx = width(), cy = height();
    // The holdings line takes a third line of the status area from the list.
    const int extra = holdingsText.empty() ? 0 : statusLine->fontMetrics().lineSpacing() + 2;
    addButton->setGeometry(7, 7, 20, 20);
    editButton->setGeometry(37, 7, 20, 20);
    deleteButton->setGeometry(67, 7, 20, 20);
    makerButton->setGeometry(97, 7, 80, 20);
    listView->setGeometry(7, 39, cx - 14, cy - 115 - extra);
    statusLine->setGeometry(7, cy - 69 - extra, cx - 14, 30 + extra);
    statusLine->update();
    updateButton->setGeometry(7, cy - 32, cx - 14, 25);
}

void MainDialog::HideOrMinimize() {
    if (trayAvailable)
        hide();
    else
        showMinimized();
}

void MainDialog::RestoreWindow() {
    showNormal();
    raise();
    activateWindow();
}

void MainDialog::OnCancel() {
    HideOrMinimize();
}

void MainDialog::closeEvent(QCloseEvent* event) {
    if (exiting) {
        event->accept();
        return;
    }
    event->ignore();
    OnCancel();
}

void MainDialog::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && trayAvailable) {
        // Hiding from inside the state change confuses some window managers; do it right after.
        QTimer::singleShot(0, this, [this] {
            if (isMinimized()) {
                setWindowState(windowState() & ~Qt::WindowMinimized);
                hide();
            }
        });
    }
}

void MainDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        OnCancel();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        UpdateQuotes();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MainDialog::contextMenuEvent(QContextMenuEvent* event) {
    ShowListMenu(event->globalPos());
}

QMenu* MainDialog::CreateListMenu() {
    auto* menu = new QMenu(this);
    menu->addAction("&Add", this, &MainDialog::OnAdd);
    if (listView->GetSelectionMark() >= 0) {
        menu->addAction("&Edit", this, &MainDialog::OnEdit);
        menu->addAction("&Delete", this, &MainDialog::OnDelete);
        menu->addAction("History…", this, &MainDialog::OnHistory);
        menu->addAction("Export…", this, &MainDialog::OnExport);
    }
    menu->addSeparator();
    menu->addAction("&Options...", this, &MainDialog::OnOptions);
    menu->addSeparator();
    menu->addAction("A&bout...", this, &MainDialog::OnAbout);
    menu->addAction("E&xit", this, &MainDialog::OnExit);
    return menu;
}

QMenu* MainDialog::CreateTrayMenu() {
    auto* menu = new QMenu;
    menu->addAction("Add", this, &MainDialog::OnAdd);
    menu->addAction("Update", this, &MainDialog::UpdateQuotes);
    menu->addSeparator();
    menu->addAction("Options...", this, &MainDialog::OnOptions);
    menu->addSeparator();
    menu->addAction("About...", this, &MainDialog::OnAbout);
    menu->addAction("Exit", this, &MainDialog::OnExit);
    return menu;
}

void MainDialog::ShowListMenu(const QPoint& globalPos) {
    std::unique_ptr<QMenu> menu(CreateListMenu());
    menu->exec(globalPos);
}

void MainDialog::UpdateQuotes() {
    cycle.UpdateQuotes(UpdateCycle::Trigger::User);
}
void MainDialog::OnTimer(int id) {
    cycle.OnTimer(id);
}

void MainDialog::OnAdd() {
    Stock fresh("", "");
    fresh.SetDataSource(Stock::NewInvestmentSource);
    DlgStock dialog(fresh, sources, isVisible() ? this : nullptr);
    if (dialog.exec() != QDialog::Accepted)
        return;
    Stock stock = dialog.stock;
    if (list.Add(stock)) {
        int row = stock.InsertListRow(*listView);
        listView->SelectRow(row);
    }
    RefreshHoldings();
    // Saved also when the list refused the investment: the file then stays as it was.
    list.Save();
}

void MainDialog::OnEdit() {
    const int mark = listView->GetSelectionMark();
    if (mark < 0)
        return;
    const std::string symbol = listView->GetItemText(mark, kColumnSymbol);
    Stock stock("", "");
    list.Get(symbol, stock);
    DlgStock dialog(stock, sources, isVisible() ? this : nullptr);
    if (dialog.exec() != QDialog::Accepted)
        return;
    list.Update(symbol, dialog.stock);
    dialog.stock.UpdateListRow(mark, *listView);
    RefreshHoldings();
    list.Save();
}

void MainDialog::OnDelete() {
    const int mark = listView->GetSelectionMark();
    if (mark < 0)
        return;
    const std::string symbol = listView->GetItemText(mark, kColumnSymbol);
    if (!Prompts::AskYesNo("Do you really want to delete this stock?"))
        return;
    list.Remove(symbol);
    listView->DeleteItem(mark);
    int next = listView->GetSelectionMark();
    if (next >= 0)
        listView->SelectRow(next);
    RefreshHoldings();
    list.Save();
}

void MainDialog::OnOptions() {
    DlgOptions dialog(isVisible() ? this : nullptr);
    OptionsValues values = OptionsValues::Read(app);
    dialog.updateTime = values.updateTime;
    dialog.autoStart = values.autoStart;
    dialog.weekendUpdate = values.weekendUpdate;
    dialog.fallback = values.fallback;
    dialog.notifications = values.notifications;
    if (dialog.exec() != QDialog::Accepted)
        return;
    OptionsValues{dialog.updateTime, dialog.autoStart, dialog.weekendUpdate, dialog.fallback, dialog.notifications}
        .Apply(app, *this);
    updater.SetFallback(dialog.fallback != 0);
}

void MainDialog::OnAbout() {
    DlgAbout dialog;
    dialog.exec();
}

void MainDialog::OnMaker() {
    QDesktopServices::openUrl(QUrl(kMakerProductsPage));
}

void MainDialog::OnExit() {
    if (exiting)
        return;
    exiting = true;
    // The pass's downloads stop at their next wait; nothing they bring is applied any more.
    cycle.CancelPass();
    pool.Shutdown();
    SaveWindowSettings();
    tray->hide();
    KillTimer(kUpdateTimer);
    close();
    emit exitRequested();
}

void MainDialog::OnTrayDoubleClick() {
    if (!cycle.GetPendingAlerts().empty()) {
        RestoreWindow();
        DlgAlert dialog(cycle.TakePendingAlerts(), this);
        dialog.exec();
    } else if (isVisible() && !isMinimized()) {
        hide();
    } else {
        RestoreWindow();
    }
}

void MainDialog::OnNotificationActivated() {
    if (cycle.GetPendingAlerts().empty() || findChild<DlgAlert*>()) {
        RestoreWindow();
        return;
    }
    OnTrayDoubleClick();
}

void MainDialog::ConnectNotifier() {
    connect(notifier, &Notifier::activated, this, &MainDialog::OnNotificationActivated);
}

void MainDialog::SetNotificationBus(const QDBusConnection& bus) {
    delete notifier;
    notifier = new Notifier(tray, bus, this);
    ConnectNotifier();
}

void MainDialog::AlertsCollected(const std::list<std::string>& texts) {
    if (app.GetNotifications() != 0)
        notifier->Notify(texts);
}

const Stock* MainDialog::SelectedStock(Stock& stock) {
    const int mark = listView->GetSelectionMark();
    if (mark < 0 || !list.Get(listView->GetItemText(mark, kColumnSymbol), stock))
        return nullptr;
    return &stock;
}

void MainDialog::OnHistory() {
    Stock stock;
    if (!SelectedStock(stock))
        return;
    HistoryWindow window(stock, isVisible() ? this : nullptr);
    window.exec();
}

void MainDialog::OnExport() {
    Stock stock;
    if (SelectedStock(stock))
        ExportHistory(stock, isVisible() ? this : nullptr);
}

namespace {

// The investment a row shows, without copying its history.
const Stock* Find(const StockList& list, const std::string& symbol) {
    for (const Stock& stock : list)
        if (stock.GetSymbol() == symbol)
            return &stock;
    return nullptr;
}

} // namespace

void MainDialog::RefreshHoldingCells(int row) {
    if (listView->columnCount() <= ColumnLayout::kColumnValue)
        return;
    const Stock* stock = Find(list, listView->GetItemText(row, kColumnSymbol));
    if (!stock)
        return;
    // While the row is fetched ("...") or failed ("N/A") its other cells say the same.
    const std::string price = listView->GetItemText(row, kColumnPrice);
    const bool pending = price == "..." || price == "N/A";
    listView->SetItemText(row, ColumnLayout::kColumnChangePercent,
                          pending ? price : Holdings::ChangePercentText(*stock));
    listView->SetItemText(row, ColumnLayout::kColumnValue,
                          stock->GetQuantity() == 0 ? ""
                          : pending                 ? price
                                                    : Holdings::ValueText(*stock));
}

void MainDialog::RefreshTotals() {
    listView->setColumnHidden(ColumnLayout::kColumnValue, !Holdings::AnyHolding(list));
    const std::string holdings = Holdings::TotalsText(Holdings::TotalsPerCurrency(list));
    if (holdings != holdingsText) {
        holdingsText = holdings;
        LayOut();
    }
    ShowStatus();
}

void MainDialog::RefreshHoldings() {
    if (listView->columnCount() <= ColumnLayout::kColumnValue) { // before the window is set up
        tray->setToolTip(QString::fromStdString(trayTipHead));
        ShowStatus();
        return;
    }
    std::vector<const Stock*> shown;
    for (int row = 0; row < listView->GetItemCount(); ++row) {
        RefreshHoldingCells(row);
        if (const Stock* stock = Find(list, listView->GetItemText(row, kColumnSymbol)))
            shown.push_back(stock);
    }
    RefreshTotals();
    // The pass's own text first (failures among it), then the investments in list order.
    const std::size_t name = std::string(QuilloryApp::kName).size();
    const std::size_t budget = 480 > trayTipHead.size() ? 480 - trayTipHead.size() : 0;
    const std::string lines = Holdings::TrayToolTip(shown, budget + name);
    tray->setToolTip(QString::fromStdString(trayTipHead + lines.substr(name)));
}

void MainDialog::ShowStatus() {
    std::string text = statusText;
    if (!holdingsText.empty())
        text += "\n" + holdingsText;
    statusLine->setText(QString::fromStdString(text));
    statusLine->setToolTip(statusLine->text()); // the line may be wider than the window
}

QString MainDialog::StatusLineText() const {
    return statusLine->text();
}

// UpdateWindow

void MainDialog::DeleteAllItems() {
    listView->DeleteAllItems();
}
int MainDialog::InsertItem(int index, const std::string& text) {
    return listView->InsertItem(index, text);
}
void MainDialog::SetItemText(int row, int column, const std::string& text) {
    listView->SetItemText(row, column, text);
    if (column == kColumnChange) // a row is rewritten up to this column, in order
        RefreshHoldingCells(row);
}
int MainDialog::GetItemCount() {
    return listView->GetItemCount();
}
std::string MainDialog::GetItemText(int row, int column) {
    return listView->GetItemText(row, column);
}
void MainDialog::SetItemToolTip(int row, const std::string& text) {
    listView->SetItemToolTip(row, text);
}

void MainDialog::RedrawItem(int row) {
    listView->RedrawItem(row);
}
void MainDialog::EnableUpdateButton(bool enable) {
    updateButton->setEnabled(enable);
}
std::string MainDialog::GetStatusText() {
    return statusText;
}
void MainDialog::SetStatusText(const std::string& text) {
    statusText = text;
    // The pass moved prices: the totals follow (the rows follow cell by cell, the tooltip at the end).
    if (listView->columnCount() > ColumnLayout::kColumnValue)
        RefreshTotals();
    else
        ShowStatus();
}

void MainDialog::SetTimer(int id, int milliseconds) {
    if (id == kUpdateTimer)
        updateTimer.start(milliseconds);
    else if (id == kBlinkTimer)
        blinkTimer.start(milliseconds);
    else if (id == kPassDeadlineTimer)
        deadlineTimer.start(milliseconds);
}

void MainDialog::KillTimer(int id) {
    if (id == kUpdateTimer)
        updateTimer.stop();
    else if (id == kBlinkTimer)
        blinkTimer.stop();
    else if (id == kPassDeadlineTimer)
        deadlineTimer.stop();
}

int MainDialog::TimerInterval(int id) const {
    const QTimer& timer = id == kUpdateTimer ? updateTimer : id == kBlinkTimer ? blinkTimer : deadlineTimer;
    return timer.isActive() ? timer.interval() : -1;
}

void MainDialog::SetTrayIcon(int iconId) {
    trayIconId = iconId;
    tray->setIcon(Icons::Get(iconId));
}

void MainDialog::SetTrayToolTip(const std::string& text) {
    trayTipHead = text;
    RefreshHoldings();
}

QString MainDialog::TrayToolTip() const {
    return tray->toolTip();
}

void MainDialog::BeginWaitCursor() {
    // The pass runs in the background: the pointer says so but the window takes clicks.
    QApplication::setOverrideCursor(Qt::BusyCursor);
}
void MainDialog::EndWaitCursor() {
    QApplication::restoreOverrideCursor();
}

} // namespace quillory
