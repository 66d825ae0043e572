#include <gtest/gtest.h>

#include <QComboBox>
#include <QCompleter>
#include <QDateTime>
#include <QLineEdit>
#include <QLineSeries>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include "QtTestApp.h"
#include "TestSupport.h"
#include "app/qt/HistoryChart.h"
#include "app/qt/SymbolLookup.h"

namespace quillory {
namespace {

class HistoryChartTest : public ::testing::Test {
protected:
    void SetUp() override { test::EnsureApp(); }
};

Stock WithHistory() {
    Stock stock("MSFT", "Microsoft");
    for (const auto& [date, price] : {std::pair{Date(2026, 12, 9), 411.25}, std::pair{Date(2026, 1, 5), 300.0},
                                      std::pair{Date(2026, 11, 20), 400.0}}) {
        StockPrice entry(price, date);
        entry.SetChange(1);
        stock.AddPrice(entry);
    }
    return stock;
}

std::vector<std::pair<QString, double>> Points(QLineSeries* series) {
    std::vector<std::pair<QString, double>> points;
    for (const QPointF& p : series->points())
        points.emplace_back(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(p.x())).date().toString(Qt::ISODate),
                            p.y());
    return points;
}

TEST_F(HistoryChartTest, SeriesInDateOrderAndLinesOnlyForEnabledLimits) {
    Stock stock = WithHistory();
    stock.GetAlert().SetLower(false, 100);
    stock.GetAlert().SetUpper(true, 450);
    HistoryChart chart;
    chart.SetHistory(stock.GetPrices(), stock.GetAlert());
    chart.SetRange(HistoryChartData::Range::All);
    using P = std::vector<std::pair<QString, double>>;
    EXPECT_EQ(Points(chart.PriceSeries()), (P{{"2026-01-05", 300}, {"2026-11-20", 400}, {"2026-12-09", 411.25}}));
    ASSERT_EQ(chart.LimitSeries().size(), 1);
    EXPECT_EQ(chart.LimitSeries()[0]->name(), "Upper limit");
    EXPECT_EQ(chart.LimitSeries()[0]->at(0).y(), 450);

    // The range choice in the window itself.
    chart.findChild<QComboBox*>("range")->setCurrentIndex(0);
    EXPECT_EQ(Points(chart.PriceSeries()), (P{{"2026-11-20", 400}, {"2026-12-09", 411.25}}));

    stock.GetAlert().SetLower(true, 100);
    stock.GetAlert().SetUpper(false, 450);
    chart.SetHistory(stock.GetPrices(), stock.GetAlert());
    ASSERT_EQ(chart.LimitSeries().size(), 1);
    EXPECT_EQ(chart.LimitSeries()[0]->name(), "Lower limit");
    chart.SetHistory(StockPriceList(), StockAlert());
    EXPECT_EQ(chart.PriceSeries()->count(), 0);
    EXPECT_TRUE(chart.LimitSeries().isEmpty());
}

TEST_F(HistoryChartTest, ExportWritesTheCsvBytesOrSaysWhyNot) {
    test::TempDir temp;
    const QString path = QString::fromStdString(temp.File("msft.csv"));
    EXPECT_EQ(WriteHistoryCsv(WithHistory(), path), QString());
    EXPECT_EQ(test::ReadFile(path.toStdString()), "Date,Price,Change\n"
                                                  "2026-01-05,300,1\n"
                                                  "2026-11-20,400,1\n"
                                                  "2026-12-09,411.25,1\n");
    EXPECT_NE(WriteHistoryCsv(WithHistory(), QString::fromStdString(temp.File("no/such/folder.csv"))), QString());
}

// Runs the work at once on the GUI thread, counting the runs; the real runner's threads are
// tested with the dialog.
struct CountingRunner {
    int* runs;
    void operator()(QObject*, std::function<std::vector<SymbolSearch::Candidate>()> work,
                    std::function<void(std::vector<SymbolSearch::Candidate>)> done) const {
        ++*runs;
        done(work());
    }
};

TEST_F(HistoryChartTest, LookupWaitsForAPauseAndOffersTheCandidates) {
    QLineEdit edit;
    edit.show();
    std::vector<std::string> asked;
    int runs = 0;
    SymbolLookup lookup(
        &edit,
        [&](const std::string& text, std::vector<SymbolSearch::Candidate>& found, std::string&) {
            asked.push_back(text);
            found = {{"AAPL", "Apple Inc.", "NASDAQ", "Equity"}, {"APLE", "Apple Hospitality", "NYSE", "Equity"}};
            return true;
        },
        CountingRunner{&runs});
    QSignalSpy picked(&lookup, &SymbolLookup::picked);

    QTest::keyClicks(&edit, "a");
    QTest::qWait(SymbolLookup::kDelayMs + 100);
    EXPECT_TRUE(asked.empty()) << "one character is not looked up";
    QTest::keyClicks(&edit, "pp");
    QTest::keyClicks(&edit, "l");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !asked.empty(); }, 3000));
    EXPECT_EQ(asked, std::vector<std::string>{"appl"}) << "typing within the pause asks once";
    QAbstractItemView* popup = lookup.Completer()->popup();
    ASSERT_TRUE(QTest::qWaitFor([&] { return popup->isVisible(); }, 3000));
    ASSERT_EQ(popup->model()->rowCount(), 2);
    EXPECT_EQ(popup->model()->index(1, 1).data().toString(), "Apple Hospitality");
    EXPECT_EQ(popup->model()->index(0, 2).data().toString(), "NASDAQ");

    emit lookup.Completer()->activated(popup->model()->index(1, 0));
    ASSERT_EQ(picked.count(), 1);
    EXPECT_EQ(picked.at(0).at(0).value<SymbolSearch::Candidate>().symbol, "APLE");
}

} // namespace
} // namespace quillory
