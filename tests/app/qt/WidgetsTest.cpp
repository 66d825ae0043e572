#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "QtTestApp.h"
#include "TestSupport.h"
#include "app/core/AppIds.h"
#include "app/qt/DlgAlert.h"
#include "app/qt/DlgOptions.h"
#include "app/qt/Icons.h"
#include "app/qt/ListViewWidget.h"
#include "app/qt/RowColourDelegate.h"

namespace quillory {
namespace {

class WidgetsTest : public ::testing::Test {
protected:
    void SetUp() override { test::EnsureApp(); }
};

std::vector<std::string> Column0(ListViewWidget& list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list.GetItemCount(); ++i)
        texts.push_back(list.GetItemText(i, 0));
    return texts;
}

TEST_F(WidgetsTest, SortedListInsertsCaseInsensitivelyAndNeverResorts) {
    ListViewWidget list(true);
    list.SetColumns({{"Symbol", Qt::AlignLeft, 50}, {"Name", Qt::AlignLeft, 100}});
    for (const char* symbol : {"MSFT", "^DJI", "goog", "AAPL", "IBM"})
        list.InsertItem(0, symbol);
    EXPECT_EQ(Column0(list), (std::vector<std::string>{"^DJI", "AAPL", "goog", "IBM", "MSFT"}));
    EXPECT_EQ(list.InsertItem(0, "HPQ"), 3);

    list.SetItemText(4, 0, "ZZZ"); // IBM renamed in place
    EXPECT_EQ(Column0(list), (std::vector<std::string>{"^DJI", "AAPL", "goog", "HPQ", "ZZZ", "MSFT"}));
    EXPECT_EQ(list.GetItemText(9, 0), "");
    EXPECT_EQ(list.GetSelectionMark(), -1);
}

TEST_F(WidgetsTest, UnsortedListInsertsAtTheIndexAsked) {
    ListViewWidget history(false);
    history.SetColumns({{"Date", Qt::AlignLeft, 80}, {"Price", Qt::AlignRight, 60}});
    history.InsertItem(0, "2010/05/03");
    history.InsertItem(0, "2010/05/04");
    EXPECT_EQ(Column0(history), (std::vector<std::string>{"2010/05/04", "2010/05/03"}));
    history.DeleteAllItems();
    EXPECT_EQ(history.GetItemCount(), 0);
}

TEST_F(WidgetsTest, DelegatePaintsEvenRowsGreyAndChangeBySign) {
    ListViewWidget list(false);
    list.SetColumns({{"Symbol", Qt::AlignLeft, 50},
                     {"Name", Qt::AlignLeft, 100},
                     {"Price", Qt::AlignRight, 55},
                     {"Change", Qt::AlignRight, 50}});
    const char* changes[] = {"-0.25", "0.00", "N/A", "1.00", "-3.10"};
    for (int i = 0; i < 5; ++i) {
        int row = list.InsertItem(i, "S" + std::to_string(i));
        list.SetItemText(row, 3, changes[i]);
    }
    RowColourDelegate delegate;
    for (int row = 0; row < 5; ++row) {
        QStyleOptionViewItem option;
        delegate.initStyleOption(&option, list.model()->index(row, 3));
        EXPECT_EQ(option.backgroundBrush.color() == QColor(231, 231, 231), row % 2 == 0) << row;
        QColor expected = row == 0 || row == 4 ? QColor(191, 0, 0) : QColor(0, 127, 0);
        EXPECT_EQ(option.palette.color(QPalette::Text), expected) << row;
    }
}

TEST_F(WidgetsTest, EveryPictureIsCompiledIn) {
    for (int id :
         {kIconAlert, kIconIdle, kIconBlinkOn, kIconBlinkOff, kIconBusy, kBitmapAdd, kBitmapEdit, kBitmapDelete})
        EXPECT_FALSE(Icons::Pixmap(id, 16).isNull()) << id;
    EXPECT_TRUE(Icons::Get(999).isNull());
}

TEST_F(WidgetsTest, OptionsDialogRefusesBadIntervalsWithTheirMessages) {
    test::MessageBoxRecorder boxes;
    DlgOptions dialog;
    dialog.updateTime = 5; // stored outside the dialog: shown, but must be corrected
    auto* edit = dialog.findChild<QLineEdit*>("updateTime");
    int result = -1;
    test::WhenModal([&] {
        EXPECT_EQ(edit->text(), "5");
        dialog.accept();
        edit->setText("");
        dialog.accept();
        edit->setText("1000");
        dialog.findChild<QCheckBox*>("weekendUpdate")->setChecked(true);
        dialog.accept();
    });
    result = dialog.exec();

    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Enter an integer between 10 and 1000.");
    EXPECT_EQ(boxes.Boxes()[1].text, "Enter an integer.");
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(dialog.updateTime, 1000);
    EXPECT_EQ(dialog.weekendUpdate, 1);
    EXPECT_EQ(dialog.autoStart, 0);
}

TEST_F(WidgetsTest, AlertDialogStepsThroughItsTexts) {
    DlgAlert single({"only"});
    EXPECT_EQ(single.findChild<QPushButton*>("next")->text(), "Close");

    DlgAlert dialog({"one", "two", "three"});
    auto* next = dialog.findChild<QPushButton*>("next");
    auto* text = dialog.findChild<QPlainTextEdit*>("alertText");
    std::vector<std::string> seen;
    test::WhenModal([&] {
        for (int i = 0; i < 3; ++i) {
            seen.push_back(text->toPlainText().toStdString() + "|" + next->text().toStdString());
            next->click();
        }
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(seen, (std::vector<std::string>{"one|Next >>", "two|Next >>", "three|Close"}));
}

} // namespace
} // namespace quillory
