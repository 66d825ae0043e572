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
#include "app/core/OptionsValues.h"
#include "app/core/WindowPlacement.h"
#include "app/qt/DlgAbout.h"
#include "app/qt/DlgAlert.h"
#include "app/qt/DlgOptions.h"
#include "app/qt/DlgStock.h"
#include "app/qt/Icons.h"
#include "app/qt/ListViewWidget.h"
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

    listView->SetColumns({{"Symbol", Qt::AlignLeft, ColumnWidths::Read(app, 0)},
                          {"Name", Qt::AlignLeft, ColumnWidths::Read(app, 1)},
                          {"Price", Qt::AlignRight, ColumnWidths::Read(app, 2)},
                          {"Change", Qt::AlignRight, ColumnWidths::Read(app, 3)}});
    list.FillListView(*listView);
    if (listView->GetItemCount() > 0)
        listView->SelectRow(0);
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
    }
}

void MainDialog::SaveWindowSettings() {
    for (int column = 0; column < listView->columnCount(); ++column)
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
    const int cx = width(), cy = height();
    addButton->setGeometry(7, 7, 20, 20);
    editButton->setGeometry(37, 7, 20, 20);
    deleteButton->setGeometry(67, 7, 20, 20);
    makerButton->setGeometry(97, 7, 80, 20);
    listView->setGeometry(7, 39, cx - 14, cy - 115);
    statusLine->setGeometry(7, cy - 69, cx - 14, 30);
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
    list.Save();
}

void MainDialog::OnOptions() {
    DlgOptions dialog(isVisible() ? this : nullptr);
    OptionsValues values = OptionsValues::Read(app);
    dialog.updateTime = values.updateTime;
    dialog.autoStart = values.autoStart;
    dialog.weekendUpdate = values.weekendUpdate;
    dialog.fallback = values.fallback;
    if (dialog.exec() != QDialog::Accepted)
        return;
    OptionsValues{dialog.updateTime, dialog.autoStart, dialog.weekendUpdate, dialog.fallback}.Apply(app, *this);
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

// UpdateWindow

void MainDialog::DeleteAllItems() {
    listView->DeleteAllItems();
}
int MainDialog::InsertItem(int index, const std::string& text) {
    return listView->InsertItem(index, text);
}
void MainDialog::SetItemText(int row, int column, const std::string& text) {
    listView->SetItemText(row, column, text);
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
    return statusLine->text().toStdString();
}
void MainDialog::SetStatusText(const std::string& text) {
    statusLine->setText(QString::fromStdString(text));
    statusLine->setToolTip(statusLine->text()); // the line may be wider than the window
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
    tray->setToolTip(QString::fromStdString(text));
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
