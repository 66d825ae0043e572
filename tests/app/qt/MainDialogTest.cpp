#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <csignal>
#include <filesystem>

#include "../core/FakeSources.h"
#include "PageServer.h"
#include "PrivateBus.h"
#include "QtTestApp.h"
#include "TestServer.h"
#include "TestSupport.h"
#include "app/core/AppIds.h"
#include "app/qt/DlgAlert.h"
#include "app/qt/DlgStock.h"
#include "app/qt/ExitSignals.h"
#include "app/qt/HistoryChart.h"
#include "app/qt/ListViewWidget.h"
#include "app/qt/MainDialog.h"
#include "app/qt/Notifier.h"
#include "app/qt/Prompts.h"
#include "app/qt/QtSettingsStore.h"
#include "app/qt/SymbolLookup.h"
#include "app/qt/XdgAutostart.h"
#include "foundation/NumericFormat.h"

namespace quillory {
namespace {

using ::testing::ElementsAre;

std::vector<std::string> ActionTexts(QMenu* menu) {
    std::vector<std::string> texts;
    for (QAction* action : menu->actions())
        texts.push_back(action->isSeparator() ? "-" : action->text().toStdString());
    delete menu;
    return texts;
}

template <class Dialog> Dialog* ActiveDialog() {
    return qobject_cast<Dialog*>(QApplication::activeModalWidget());
}

class MainDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureApp();
        std::filesystem::remove(DataFile());
        NumericFormat::SetDefault(NumericFormat('.', ',', 2));
        Prompts::SetQuestionHook([this](const std::string& text) {
            questions.push_back(text);
            return answer;
        });
    }
    void TearDown() override { Prompts::SetQuestionHook(nullptr); }

    std::unique_ptr<MainDialog> Open(std::vector<std::string> symbols) {
        for (const std::string& symbol : symbols)
            list.Add(Stock(symbol, symbol + " Corp"));
        auto dialog = std::make_unique<MainDialog>(app, list, world.Sources({"Yahoo Finance", "Bloomberg"}));
        dialog->SetTrayAvailable(true);
        dialog->OnInitDialog();
        return dialog;
    }
    // The pass's downloads run on worker threads; their results come back through the event loop.
    static void WaitForPass(MainDialog& dialog) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.Cycle().IsUpdating(); }, 20000));
    }
    std::vector<std::string> Symbols(MainDialog& dialog) {
        std::vector<std::string> texts;
        for (int i = 0; i < dialog.List()->GetItemCount(); ++i)
            texts.push_back(dialog.List()->GetItemText(i, 0));
        return texts;
    }
    // The data file's path is fixed at its first use in a process, so every test shares one
    // APPDATA folder and starts without a data file.
    static const std::string& AppData() {
        static test::TempDir dir;
        static test::ScopedEnv env("APPDATA", dir.Path());
        return dir.Path();
    }
    std::string DataFile() const { return AppData() + "/Korvant/Quillory/Quillory.xml"; }

    test::TempDir config;
    test::ScopedEnv configEnv{"XDG_CONFIG_HOME", config.Path()};
    test::MessageBoxRecorder boxes;
    test::LogCapture log;
    QtSettingsStore store;
    XdgAutostart autostart;
    QuilloryApp app{store, autostart};
    StockList list;
    test::FakeSourceWorld world;
    std::vector<std::string> questions;
    bool answer = false;
};

TEST_F(MainDialogTest, FirstStartUsesTheDefaultPlacementAndColumns) {
    auto dialog = Open({"MSFT", "^DJI", "goog"});
    EXPECT_EQ(dialog->frameGeometry().topLeft(), QPoint(100, 100));
    EXPECT_EQ(dialog->frameGeometry().size(), QSize(300, 400));
    ListViewWidget* view = dialog->List();
    // No saved widths: each column fits its header and the widest text it usually shows.
    const QFontMetrics metrics = view->fontMetrics();
    const int margins = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
    EXPECT_GE(view->columnWidth(2), metrics.horizontalAdvance("-12345.67") + margins);
    EXPECT_GE(view->columnWidth(3), metrics.horizontalAdvance("-12345.67") + margins);
    EXPECT_GE(view->columnWidth(0), metrics.horizontalAdvance("EURUSD=X") + margins);
    EXPECT_GE(view->columnWidth(4), metrics.horizontalAdvance("-100.00%") + margins);
    ASSERT_EQ(view->columnCount(), 6);
    EXPECT_EQ(view->horizontalHeaderItem(3)->text(), "Change");
    EXPECT_EQ(view->horizontalHeaderItem(4)->text(), "Change %");
    EXPECT_EQ(view->horizontalHeaderItem(5)->text(), "Value");
    EXPECT_TRUE(view->isColumnHidden(5)) << "no investment has a quantity";
    EXPECT_THAT(Symbols(*dialog), ElementsAre("^DJI", "goog", "MSFT"));
    EXPECT_EQ(view->GetItemText(2, 1), "MSFT Corp");
    EXPECT_EQ(view->GetItemText(2, 2), "N/A");
    EXPECT_EQ(view->GetSelectionMark(), 0);
    EXPECT_EQ(dialog->TimerInterval(kUpdateTimer), 2000);
    EXPECT_EQ(dialog->TrayIcon(), kIconIdle);
    EXPECT_EQ(dialog->GetStatusText(), "Quotes delayed 20 minutes\nLast update: N/A");
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(MainDialogTest, SavedColumnWidthsWin) {
    const int saved[] = {50, 100, 55, 50};
    for (int column = 0; column < 4; ++column)
        app.WriteProfileInt("Window", "Column" + std::to_string(column), saved[column]);
    auto dialog = Open({"MSFT"});
    for (int column = 0; column < 4; ++column)
        EXPECT_EQ(dialog->List()->columnWidth(column), saved[column]) << column;
    EXPECT_GT(dialog->List()->columnWidth(4), 0) << "a column new to the saved settings gets its default";
}

TEST_F(MainDialogTest, HoldingsShowTheirValueAndTheTotalPerCurrency) {
    test::ScopedClock clock(2026, 12, 9, 14, 5, 9);
    Stock msft("MSFT", "Microsoft");
    msft.SetQuantity(10);
    msft.SetCurrency("USD");
    list.Add(msft);
    world.Add("Yahoo Finance", "MSFT", {"Microsoft", 400, 4, "", "USD"});
    world.Add("Yahoo Finance", "SAP.DE", {"SAP", 200, -2, "", "EUR"});
    auto dialog = Open({"SAP.DE"});
    ListViewWidget* view = dialog->List();
    EXPECT_FALSE(view->isColumnHidden(5));
    EXPECT_EQ(view->GetItemText(0, 5), "N/A") << "a holding without a price yet";

    dialog->UpdateQuotes();
    WaitForPass(*dialog);
    EXPECT_THAT(Symbols(*dialog), ElementsAre("MSFT", "SAP.DE"));
    EXPECT_EQ(view->GetItemText(0, 4), "1.01%");
    EXPECT_EQ(view->GetItemText(0, 5), "4000.00");
    EXPECT_EQ(view->GetItemText(1, 4), "-0.99%");
    EXPECT_EQ(view->GetItemText(1, 5), "") << "no quantity, no value";
    EXPECT_EQ(dialog->GetStatusText(), "Quotes delayed 20 minutes\nLast update: 14:05:09");
    EXPECT_EQ(dialog->StatusLineText(),
              "Quotes delayed 20 minutes\nLast update: 14:05:09\nHoldings: 4,000.00 USD (+40.00, +1.01%)");
    EXPECT_EQ(dialog->TrayToolTip(), "Quillory\nMSFT 400.00 1.01%\nSAP.DE 200.00 -0.99%");
    Stock stored;
    list.Get("SAP.DE", stored);
    EXPECT_EQ(stored.GetCurrency(), "EUR");
    std::string text;
    list.CreateXMLString(text);
    EXPECT_NE(
        text.find(R"(<Stock Symbol="MSFT" Name="Microsoft" Quantity="10" DataSource="Yahoo Finance" Currency="USD">)"),
        std::string::npos);
}

TEST_F(MainDialogTest, AnAlertOfAPassIsOneNotificationWhichOpensTheAlertDialog) {
    test::PrivateBus bus;
    if (!bus.Started())
        GTEST_SKIP() << "dbus-daemon did not start";
    test::FakeNotificationService service;
    QDBusConnection serviceConnection = bus.Connect("notifications");
    ASSERT_TRUE(serviceConnection.registerVirtualObject(Notifier::kPath, &service));
    ASSERT_TRUE(serviceConnection.registerService(Notifier::kService));

    Stock msft("MSFT", "Microsoft");
    msft.GetAlert().SetUpper(true, 300);
    list.Add(msft);
    world.Add("Yahoo Finance", "MSFT", {"Microsoft", 400, 4});
    auto dialog = Open({});
    dialog->SetNotificationBus(bus.Connect("program"));
    QSignalSpy shown(&dialog->Notifications(), &Notifier::shown);
    dialog->UpdateQuotes();
    WaitForPass(*dialog);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.count() == 1; }, 5000));
    ASSERT_EQ(service.calls.size(), 1);
    EXPECT_EQ(service.calls[0][4].toString(), "MSFT price is 400.00 which is above your limit of 300.00!");
    EXPECT_EQ(dialog->Cycle().GetPendingAlerts().size(), 1u) << "the tray still blinks";

    // The dialog opens inside the signal's delivery: a timer looks for it from within its loop.
    std::string shownText;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&shownText] {
        if (DlgAlert* alert = ActiveDialog<DlgAlert>()) {
            shownText = alert->findChild<QPlainTextEdit*>()->toPlainText().toStdString();
            alert->reject();
        }
    });
    poll.start(10);
    QDBusMessage signal = QDBusMessage::createSignal(Notifier::kPath, Notifier::kInterface, "ActionInvoked");
    signal << uint(41) << QString("default");
    serviceConnection.send(signal);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shownText.empty(); }, 5000));
    EXPECT_EQ(shownText, "MSFT price is 400.00 which is above your limit of 300.00!");
    EXPECT_TRUE(dialog->Cycle().GetPendingAlerts().empty());

    // With the option off the next crossing only blinks.
    app.SetNotifications(0);
    dialog->UpdateQuotes();
    WaitForPass(*dialog);
    QTest::qWait(100);
    EXPECT_EQ(service.calls.size(), 1);
    EXPECT_EQ(dialog->Cycle().GetPendingAlerts().size(), 1u);
}

TEST_F(MainDialogTest, TypingASymbolOffersCandidatesLookedUpOffTheGuiThread) {
    test::PageServer server(true);
    Stock fresh;
    fresh.SetDataSource("Bloomberg");
    DlgStock dialog(fresh, world.Sources({"Yahoo Finance", "Automatic", "Bloomberg"}));
    dialog.show();
    auto* symbol = dialog.findChild<QLineEdit*>("symbol");
    symbol->setFocus();
    QTest::keyClicks(symbol, "apple");
    EXPECT_EQ(symbol->text(), "APPLE");
    QAbstractItemView* popup = dialog.Lookup()->Completer()->popup();
    ASSERT_TRUE(QTest::qWaitFor([&] { return popup->isVisible(); }, 15000));
    EXPECT_EQ(dialog.Lookup()->Requests(), 1) << "one lookup after the pause, not one per key";
    ASSERT_EQ(popup->model()->rowCount(), 2);
    EXPECT_EQ(popup->model()->index(0, 0).data().toString(), "AAPL");

    emit dialog.Lookup()->Completer()->activated(popup->model()->index(0, 0));
    EXPECT_EQ(symbol->text(), "AAPL");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("name")->text(), "Apple Inc.");
    EXPECT_EQ(dialog.findChild<QComboBox*>("source")->currentText(), "Automatic");
    dialog.reject();
}

TEST_F(MainDialogTest, PlacementPastTheScreenEdgeMovesBackOntoIt) {
    const int screenWidth = QGuiApplication::primaryScreen()->geometry().width();
    app.WriteProfileInt("Window", "Left", 1700);
    app.WriteProfileInt("Window", "Right", 2000);
    app.WriteProfileInt("Window", "Top", -40);
    app.WriteProfileInt("Window", "Bottom", 360);
    auto dialog = Open({});
    EXPECT_EQ(dialog->frameGeometry().left(), screenWidth - 300);
    EXPECT_EQ(dialog->frameGeometry().top(), 0);
    EXPECT_EQ(dialog->frameGeometry().size(), QSize(300, 400));
}

TEST_F(MainDialogTest, LayoutFollowsTheSizeAndStopsAtTheMinimum) {
    auto dialog = Open({"MSFT"});
    dialog->resize(100, 200);
    EXPECT_EQ(dialog->size(), QSize(150, 300));
    EXPECT_EQ(dialog->List()->geometry(), QRect(7, 39, 150 - 14, 300 - 115));
    dialog->resize(400, 500);
    EXPECT_EQ(dialog->findChild<QPushButton*>("update")->geometry(), QRect(7, 500 - 32, 400 - 14, 25));
    EXPECT_EQ(dialog->findChild<QWidget*>("status")->geometry(), QRect(7, 500 - 69, 400 - 14, 30));
}

TEST_F(MainDialogTest, TheNameColumnTakesWhatTheWindowGainsAndGivesItBackFirst) {
    const int saved[] = {50, 100, 55, 50, 50};
    for (int column = 0; column < 5; ++column)
        app.WriteProfileInt("Window", "Column" + std::to_string(column), saved[column]);
    auto dialog = Open({"MSFT"});
    ListViewWidget* view = dialog->List();
    QTest::qWait(300); // the sizes of the way to the screen are not the user's
    EXPECT_EQ(view->columnWidth(1), 100);

    dialog->resize(700, 400);
    EXPECT_EQ(view->horizontalHeader()->length(), view->viewport()->width()) << "no empty room after the last column";
    EXPECT_GT(view->columnWidth(1), 300);
    EXPECT_EQ(view->columnWidth(2), 55);

    dialog->resize(320, 400);
    EXPECT_EQ(view->columnWidth(1), std::max(60, 100 - (305 - view->viewport()->width())));
    EXPECT_EQ(view->columnWidth(2), 55);
}

TEST_F(MainDialogTest, MenusOfferTheirCommands) {
    auto dialog = Open({});
    EXPECT_THAT(ActionTexts(dialog->CreateListMenu()),
                ElementsAre("&Add", "-", "&Options...", "-", "A&bout...", "E&xit"));
    EXPECT_THAT(ActionTexts(dialog->CreateTrayMenu()),
                ElementsAre("Add", "Update", "-", "Options...", "-", "About...", "Exit"));
    dialog->InsertItem(0, "MSFT");
    dialog->List()->SelectRow(0);
    EXPECT_THAT(ActionTexts(dialog->CreateListMenu()), ElementsAre("&Add", "&Edit", "&Delete", "History…", "Export…",
                                                                   "-", "&Options...", "-", "A&bout...", "E&xit"));
}

TEST_F(MainDialogTest, AddingAnExistingSymbolLeavesTheListAlone) {
    auto dialog = Open({"MSFT"});
    test::WhenModal([] {
        DlgStock* stockDialog = ActiveDialog<DlgStock>();
        ASSERT_NE(stockDialog, nullptr);
        stockDialog->findChild<QLineEdit*>("symbol")->setText("MSFT");
        stockDialog->accept();
    });
    dialog->OnAdd();
    EXPECT_THAT(Symbols(*dialog), ElementsAre("MSFT"));
    EXPECT_EQ(list.size(), 1u);

    test::WhenModal([] {
        DlgStock* stockDialog = ActiveDialog<DlgStock>();
        stockDialog->findChild<QLineEdit*>("symbol")->setText(" IBM ");
        stockDialog->findChild<QLineEdit*>("name")->setText("International Business Machines");
        stockDialog->accept();
    });
    dialog->OnAdd();
    EXPECT_THAT(Symbols(*dialog), ElementsAre("IBM", "MSFT"));
    EXPECT_EQ(dialog->List()->GetSelectionMark(), 0);
    EXPECT_NE(test::ReadFile(DataFile()).find("Symbol=\"IBM\" Name=\"International Business Machines\""),
              std::string::npos);
}

TEST_F(MainDialogTest, EditingASymbolRewritesTheRowInPlace) {
    auto dialog = Open({"AAA", "BBB", "MSFT", "ZZZ"});
    dialog->List()->SelectRow(2);
    test::WhenModal([] {
        DlgStock* stockDialog = ActiveDialog<DlgStock>();
        ASSERT_NE(stockDialog, nullptr);
        EXPECT_EQ(stockDialog->findChild<QLineEdit*>("symbol")->text(), "MSFT");
        stockDialog->findChild<QLineEdit*>("symbol")->setText("AAPL");
        stockDialog->accept();
    });
    dialog->OnEdit();
    EXPECT_THAT(Symbols(*dialog), ElementsAre("AAA", "BBB", "AAPL", "ZZZ"));
    EXPECT_FALSE(list.Contains("MSFT"));
    EXPECT_TRUE(list.Contains("AAPL"));
    EXPECT_NE(test::ReadFile(DataFile()).find("Symbol=\"AAPL\""), std::string::npos);
}

TEST_F(MainDialogTest, DeleteAsksFirstAndNoChangesNothing) {
    auto dialog = Open({"AAA", "BBB"});
    dialog->List()->SelectRow(1);
    answer = false;
    dialog->OnDelete();
    EXPECT_THAT(questions, ElementsAre("Do you really want to delete this stock?"));
    EXPECT_THAT(Symbols(*dialog), ElementsAre("AAA", "BBB"));
    EXPECT_FALSE(std::filesystem::exists(DataFile())) << "No must not save";

    answer = true;
    dialog->OnDelete();
    EXPECT_THAT(Symbols(*dialog), ElementsAre("AAA"));
    EXPECT_FALSE(list.Contains("BBB"));
    EXPECT_TRUE(std::filesystem::exists(DataFile()));
}

TEST_F(MainDialogTest, OptionsRestartTimerOneOnlyWhenTheIntervalChanged) {
    auto dialog = Open({});
    auto acceptWith = [](const char* minutes) {
        test::WhenModal([minutes] {
            QWidget* options = QApplication::activeModalWidget();
            ASSERT_NE(options, nullptr);
            options->findChild<QLineEdit*>("updateTime")->setText(minutes);
            QMetaObject::invokeMethod(options, "accept");
        });
    };
    acceptWith("10");
    dialog->OnOptions();
    EXPECT_EQ(dialog->TimerInterval(kUpdateTimer), 2000);
    acceptWith("15");
    dialog->OnOptions();
    EXPECT_EQ(dialog->TimerInterval(kUpdateTimer), 900000);
    EXPECT_EQ(app.GetUpdateTime(), 15);
}

TEST_F(MainDialogTest, NewInvestmentsUseAutomaticAndTheOptionsHoldTheFallback) {
    MainDialog dialog(app, list, world.Sources({"Yahoo Finance", "Automatic", "Bloomberg"}));
    dialog.SetTrayAvailable(true);
    dialog.OnInitDialog();
    test::WhenModal([] {
        DlgStock* stockDialog = ActiveDialog<DlgStock>();
        ASSERT_NE(stockDialog, nullptr);
        EXPECT_EQ(stockDialog->findChild<QComboBox*>("source")->currentText(), "Automatic");
        stockDialog->findChild<QLineEdit*>("symbol")->setText("SAP.DE");
        stockDialog->accept();
    });
    dialog.OnAdd();
    EXPECT_NE(test::ReadFile(DataFile()).find("Symbol=\"SAP.DE\" DataSource=\"Automatic\""), std::string::npos)
        << test::ReadFile(DataFile());

    EXPECT_EQ(app.GetFallback(), 1);
    test::WhenModal([] {
        QWidget* options = QApplication::activeModalWidget();
        ASSERT_NE(options, nullptr);
        auto* fallback = options->findChild<QCheckBox*>("fallback");
        ASSERT_NE(fallback, nullptr);
        EXPECT_EQ(fallback->text(), "Try other sources when one fails");
        EXPECT_TRUE(fallback->isChecked());
        fallback->setChecked(false);
        QMetaObject::invokeMethod(options, "accept");
    });
    dialog.OnOptions();
    EXPECT_EQ(app.GetFallback(), 0);
}

TEST_F(MainDialogTest, CloseHidesWithATrayAndMinimisesWithout) {
    auto dialog = Open({});
    dialog->close();
    EXPECT_FALSE(dialog->isVisible());
    dialog->OnTrayDoubleClick();
    EXPECT_TRUE(dialog->isVisible());

    dialog->SetTrayAvailable(false);
    dialog->close();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->isMinimized());
}

TEST_F(MainDialogTest, PassShowsQuotesAndTrayDoubleClickShowsTheAlerts) {
    test::ScopedClock clock(2026, 12, 9, 14, 5, 9);
    Stock stock("MSFT", "Microsoft");
    stock.GetAlert().SetUpper(true, 1200);
    list.Add(stock);
    world.Add("Yahoo Finance", "MSFT", {"Microsoft", 1234.5, -1.25});
    auto dialog = Open({});
    dialog->OnTimer(kUpdateTimer);
    WaitForPass(*dialog);

    EXPECT_EQ(dialog->GetItemText(0, 2), "1234.50");
    EXPECT_EQ(dialog->GetItemText(0, 3), "-1.25");
    EXPECT_EQ(dialog->GetStatusText(), "Quotes delayed 20 minutes\nLast update: 14:05:09");
    EXPECT_EQ(dialog->TimerInterval(kUpdateTimer), 600000);
    EXPECT_EQ(dialog->TimerInterval(kBlinkTimer), 500);

    std::string shown;
    test::WhenModal([&] {
        QWidget* alert = QApplication::activeModalWidget();
        ASSERT_NE(alert, nullptr);
        shown = alert->findChild<QPlainTextEdit*>("alertText")->toPlainText().toStdString();
        alert->findChild<QPushButton*>("next")->click();
    });
    dialog->OnTrayDoubleClick();
    EXPECT_EQ(shown, "MSFT price is 1,234.50 which is above your limit of 1,200.00!");
    EXPECT_EQ(dialog->TimerInterval(kBlinkTimer), -1);
    EXPECT_EQ(dialog->TrayIcon(), kIconIdle);
}

TEST_F(MainDialogTest, WhileASourceBlocksTheEventLoopRunsAndTheWindowAnswers) {
    test::ScopedClock clock(2026, 12, 9, 14, 5, 9);
    world.Add("Yahoo Finance", "IBM", {"IBM", 150, 1});
    world.Add("Yahoo Finance", "MSFT", {"Microsoft", 30.5, 0.25});
    auto gate = std::make_shared<test::Gate>();
    world.gates["MSFT"] = gate;
    auto dialog = Open({"IBM", "MSFT"});
    dialog->OnTimer(kUpdateTimer);

    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(10);
    // IBM arrives while MSFT's source still blocks, and the timer keeps ticking meanwhile.
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->GetItemText(0, 2) == "150.00" && ticks >= 5; }, 20000));
    EXPECT_TRUE(dialog->Cycle().IsUpdating());
    EXPECT_EQ(dialog->GetItemText(1, 2), "...");
    EXPECT_EQ(dialog->GetStatusText(), "Quotes delayed 20 minutes\nUpdating 1 of 2\u2026");
    EXPECT_FALSE(dialog->findChild<QPushButton*>("update")->isEnabled());
    EXPECT_EQ(dialog->TrayIcon(), kIconBusy);
    // Escape hides the window at once.
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());

    gate->Open();
    WaitForPass(*dialog);
    EXPECT_EQ(dialog->GetItemText(1, 2), "30.50");
    EXPECT_EQ(dialog->GetStatusText(), "Quotes delayed 20 minutes\nLast update: 14:05:09");
    EXPECT_TRUE(dialog->findChild<QPushButton*>("update")->isEnabled());
    EXPECT_EQ(dialog->TrayIcon(), kIconIdle);
}

// Not a timed assertion: prints the longest gap between two ticks of a 10 ms timer on the GUI
// thread during a pass of 20 investments over real downloads that take 300 ms each.
TEST_F(MainDialogTest, GuiThreadKeepsTickingDuringAPassOfRealDownloads) {
    const std::pair<const char*, const char*> services[] = {{"Yahoo Finance", "YahooFinance/ibm.html"},
                                                            {"MSN Money UK", "MsnMoneyUk/share.html"},
                                                            {"Bloomberg", "Bloomberg/quote.html"},
                                                            {"Money Central", "MoneyCentral/quote.html"}};
    std::vector<std::unique_ptr<test::TestServer>> servers;
    std::string hosts;
    for (const auto& [name, page] : services) {
        servers.push_back(std::make_unique<test::TestServer>(
            "quote_server.py",
            std::vector<std::string>{"--delay", "0.3", "--page", std::string(QUILLORY_PAGES_DIR) + "/" + page}));
        hosts += std::string(name) + "=127.0.0.1:" + std::to_string(servers.back()->Port()) + ";";
    }
    test::ScopedEnv hostsEnv("QUILLORY_HOSTS", hosts);
    for (int i = 0; i < 20; ++i) {
        Stock stock("SYM" + std::to_string(i), "");
        stock.SetDataSource(services[i % 4].first);
        list.Add(stock);
    }
    MainDialog dialog(app, list, StockSources::Default());
    dialog.SetTrayAvailable(true);
    dialog.OnInitDialog();

    QElapsedTimer clock;
    qint64 last = 0, longest = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    clock.start();
    ticker.start(10);
    dialog.UpdateQuotes();
    WaitForPass(dialog);
    std::printf("pass of 20 investments: %lld ms, longest gap between 10 ms ticks on the GUI thread: %lld ms\n",
                static_cast<long long>(clock.elapsed()), static_cast<long long>(longest));
    for (int row = 0; row < 20; ++row)
        EXPECT_NE(dialog.GetItemText(row, 2), "N/A") << dialog.GetItemText(row, 0);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(MainDialogTest, TimerPassFailuresGoToTheStatusLineAndTrayTipAndAUserPassKeepsTheBox) {
    test::ScopedClock clock(2026, 12, 9, 14, 5, 9);
    auto dialog = Open({"GOOG", "MSFT"});
    dialog->OnTimer(kUpdateTimer);
    WaitForPass(*dialog);
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(dialog->GetStatusText(), "Quotes delayed 20 minutes\nLast update: 14:05:09 (failed: GOOG, MSFT)");
    EXPECT_EQ(dialog->TrayToolTip(),
              "Quillory\nQuillory failed to download quotes for GOOG, MSFT.\nGOOG N/A\nMSFT N/A");

    dialog->UpdateQuotes();
    WaitForPass(*dialog);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text.rfind("Quillory failed to download quotes for GOOG, MSFT.\n", 0), 0u);
    EXPECT_EQ(dialog->GetStatusText(), "Quotes delayed 20 minutes\nLast update: 14:05:09");
    EXPECT_EQ(dialog->TrayToolTip(), "Quillory\nGOOG N/A\nMSFT N/A");
}

TEST_F(MainDialogTest, ExitDuringABlockedPassCancelsItAndEnds) {
    world.gates["MSFT"] = std::make_shared<test::Gate>(); // never opened
    auto dialog = Open({"MSFT"});
    dialog->OnTimer(kUpdateTimer);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            std::lock_guard lock(world.mutex);
            return world.runs.size() == 1; // the worker waits at the gate now
        },
        20000));
    QSignalSpy exitSpy(dialog.get(), &MainDialog::exitRequested);
    dialog->OnExit(); // returns once the worker has left its download
    EXPECT_EQ(exitSpy.count(), 1);
    EXPECT_FALSE(dialog->Cycle().IsUpdating());
    QTest::qWait(50); // nothing of the cancelled pass arrives later
    EXPECT_EQ(dialog->GetItemText(0, 2), "...");
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(MainDialogTest, ExitSavesColumnsAndPlacement) {
    auto dialog = Open({"MSFT"});
    const int symbolWidth = dialog->List()->columnWidth(0);
    dialog->List()->setColumnWidth(1, 140);
    dialog->move(120, 130);
    QSignalSpy exitSpy(dialog.get(), &MainDialog::exitRequested);
    dialog->OnExit();
    EXPECT_EQ(exitSpy.count(), 1);
    EXPECT_EQ(dialog->TimerInterval(kUpdateTimer), -1);
    EXPECT_EQ(app.GetProfileInt("Window", "Column1", 0), 140);
    EXPECT_EQ(app.GetProfileInt("Window", "Column0", 0), symbolWidth);
    EXPECT_EQ(app.GetProfileInt("Window", "Column5", -1), -1) << "the hidden Value column keeps no width of 0";
    EXPECT_EQ(app.GetProfileInt("Window", "Left", 0), 120);
    EXPECT_EQ(app.GetProfileInt("Window", "Top", 0), 130);
    EXPECT_EQ(app.GetProfileInt("Window", "Right", 0), 420);
    EXPECT_EQ(app.GetProfileInt("Window", "Bottom", 0), 530);
}

TEST_F(MainDialogTest, SessionEndKeepsTodaysPricesAndThePlacement) {
    test::ScopedClock clock(2026, 12, 9);
    list.Add(Stock("MSFT", "Microsoft"));
    world.Add("Yahoo Finance", "MSFT", {"Microsoft", 30.5, 0.25});
    auto dialog = Open({});
    dialog->OnTimer(kUpdateTimer);
    WaitForPass(*dialog);
    dialog->OnSessionEnd();
    EXPECT_NE(test::ReadFile(DataFile()).find("<StockPrice Date=\"2026-12-09\" Price=\"30.5\" Change=\"0.25\"/>"),
              std::string::npos);
    EXPECT_EQ(app.GetProfileInt("Window", "Right", 0), 400);
    EXPECT_TRUE(dialog->isVisible()) << "the session may still be cancelled";
}

TEST_F(MainDialogTest, TermAndIntSignalsArriveAsExitRequests) {
    ExitSignals exitSignals;
    QSignalSpy spy(&exitSignals, &ExitSignals::received);
    std::raise(SIGTERM);
    ASSERT_TRUE(spy.wait(2000));
    std::raise(SIGINT);
    ASSERT_TRUE(spy.count() == 2 || spy.wait(2000));
    EXPECT_EQ(spy.at(0).at(0).toInt(), SIGTERM);
    EXPECT_EQ(spy.at(1).at(0).toInt(), SIGINT);
}

class DlgStockTest : public MainDialogTest {};

TEST_F(DlgStockTest, NewInvestmentStartsOnYahooWithDisabledZeroLimits) {
    DlgStock dialog(Stock("", ""), world.Sources({"Bloomberg", "Yahoo Finance", "Yahoo Finance UK"}));
    EXPECT_EQ(dialog.findChild<QComboBox*>("source")->currentText(), "Yahoo Finance");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("symbol")->text(), "");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("upperLimit")->text(), "0.00");
    EXPECT_FALSE(dialog.findChild<QLineEdit*>("upperLimit")->isEnabled());
    EXPECT_EQ(dialog.findChild<QLineEdit*>("lowerLimit")->text(), "0.00");
    EXPECT_FALSE(dialog.findChild<QLineEdit*>("lowerLimit")->isEnabled());
    EXPECT_EQ(dialog.findChild<ListViewWidget*>("history")->GetItemCount(), 0);

    auto* upper = dialog.findChild<QCheckBox*>("upperAlert");
    upper->setChecked(true);
    EXPECT_TRUE(dialog.findChild<QLineEdit*>("upperLimit")->isEnabled());
    upper->setChecked(false);
    EXPECT_FALSE(dialog.findChild<QLineEdit*>("upperLimit")->isEnabled());
}

TEST_F(DlgStockTest, LastPriceFillsZeroLimitsAndTypedSymbolsAreUpperCase) {
    Stock stock("MSFT", "Microsoft");
    stock.SetDataSource("Bloomberg");
    stock.AddPrice(StockPrice(12.5, Date(2026, 12, 8)));
    DlgStock dialog(stock, world.Sources({"Bloomberg", "Yahoo Finance"}));
    EXPECT_EQ(dialog.findChild<QComboBox*>("source")->currentText(), "Bloomberg");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("upperLimit")->text(), "12.50");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("lowerLimit")->text(), "12.50");
    EXPECT_EQ(dialog.findChild<ListViewWidget*>("history")->GetItemText(0, 0), "2026/12/08");

    auto* symbol = dialog.findChild<QLineEdit*>("symbol");
    symbol->clear();
    QTest::keyClicks(symbol, "msft");
    EXPECT_EQ(symbol->text(), "MSFT");
}

TEST_F(DlgStockTest, SearchEndsOnTheSourceThatKnowsTheSymbol) {
    test::ScopedClock clock(2026, 12, 9);
    const std::vector<std::string> names = {"Yahoo Finance", "Russian Trade System", "India Times",
                                            "AMFI India",    "Money Central",        "Google Finance"};
    world.Add("India Times", "TCS", {"Tata Consultancy", 3500, 12}); // fifth in byte order
    DlgStock dialog(Stock("", ""), world.Sources(names));
    dialog.findChild<QLineEdit*>("symbol")->setText("TCS");
    dialog.findChild<QPushButton*>("search")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.IsSearching(); }, 20000));

    EXPECT_EQ(dialog.findChild<QComboBox*>("source")->currentText(), "India Times");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("name")->text(), "Tata Consultancy");
    EXPECT_EQ(dialog.findChild<ListViewWidget*>("history")->GetItemText(0, 1), "3500.00");
    EXPECT_THAT(world.runs, ElementsAre("AMFI India:TCS", "Google Finance:TCS", "India Times:TCS"));
    EXPECT_TRUE(dialog.findChild<QPushButton*>("search")->isEnabled());
    EXPECT_EQ(dialog.findChild<QPushButton*>("search")->text(), "Search");
    dialog.accept();
    EXPECT_EQ(dialog.stock.GetDataSource(), "India Times");
    EXPECT_EQ(dialog.stock.GetSymbol(), "TCS");
}

TEST_F(DlgStockTest, SearchBlockedOnASourceCanBeCancelledAndTheDialogAnswersMeanwhile) {
    world.Add("Finam", "SBER", {"Sberbank", 250, 0});
    world.gates["SBER"] = std::make_shared<test::Gate>(); // every source hangs on this symbol
    DlgStock dialog(Stock("", ""), world.Sources({"Bloomberg", "Finam"}));
    dialog.show();
    auto* search = dialog.findChild<QPushButton*>("search");
    dialog.findChild<QLineEdit*>("symbol")->setText("SBER");
    search->click();
    EXPECT_TRUE(dialog.IsSearching());
    EXPECT_EQ(search->text(), "Cancel");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            std::lock_guard lock(world.mutex);
            return world.runs.size() == 1; // Bloomberg hangs now
        },
        20000));
    // The dialog takes typing while the source hangs.
    QTest::keyClicks(dialog.findChild<QLineEdit*>("name"), "typed");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("name")->text(), "typed");

    search->click(); // Cancel
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.IsSearching(); }, 20000));
    EXPECT_TRUE(boxes.Boxes().empty()) << "a cancelled search has nothing to complain about";
    EXPECT_EQ(search->text(), "Search");
    EXPECT_TRUE(search->isEnabled());
    EXPECT_EQ(dialog.findChild<QLineEdit*>("name")->text(), "typed");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    std::lock_guard lock(world.mutex);
    EXPECT_THAT(world.runs, ElementsAre("Bloomberg:SBER")) << "Finam is never asked";
}

TEST_F(DlgStockTest, ClosingTheDialogCancelsItsSearch) {
    auto gate = std::make_shared<test::Gate>();
    world.gates["SBER"] = gate;
    world.Add("Bloomberg", "SBER", {"Sberbank", 250, 0});
    auto dialog = std::make_unique<DlgStock>(Stock("", ""), world.Sources({"Bloomberg"}));
    dialog->findChild<QLineEdit*>("symbol")->setText("SBER");
    dialog->findChild<QPushButton*>("search")->click();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            std::lock_guard lock(world.mutex);
            return world.runs.size() == 1;
        },
        20000));
    dialog->reject();
    EXPECT_FALSE(dialog->IsSearching());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    dialog.reset();
    gate->Open(); // had the search not been cancelled, it would find the name now
    QTest::qWait(50);
    EXPECT_TRUE(boxes.Boxes().empty());
}

} // namespace
} // namespace quillory
