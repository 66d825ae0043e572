#pragma once

#include <QDialog>
#include <QString>
#include <QWidget>

#include "app/core/HistoryChartData.h"
#include "model/Stock.h"

class QChart;
class QChartView;
class QComboBox;
class QLineSeries;

namespace quillory {

// A stock's price history as a line over time, its enabled alert limits as horizontal lines, and
// a choice of how far back to show.
class HistoryChart : public QWidget {
    Q_OBJECT
public:
    explicit HistoryChart(QWidget* parent = nullptr);
    ~HistoryChart() override = default;

    void SetHistory(const StockPriceList& prices, const StockAlert& alert);
    void SetRange(HistoryChartData::Range range);

    // For the program's tests.
    QLineSeries* PriceSeries() const { return priceSeries; }
    QList<QLineSeries*> LimitSeries() const;

private:
    void Rebuild();

    StockPriceList prices;
    StockAlert alert;
    HistoryChartData::Range range = HistoryChartData::Range::SixMonths;
    QComboBox* rangeCombo;
    QChart* chart;
    QChartView* view;
    QLineSeries* priceSeries = nullptr;
};

// The "History…" window of one investment: the chart and an "Export…" button.
class HistoryWindow : public QDialog {
    Q_OBJECT
public:
    HistoryWindow(const Stock& stock, QWidget* parent = nullptr);
    HistoryChart* Chart() const { return chart; }

private:
    Stock stock;
    HistoryChart* chart;
};

// Asks where to save `stock`'s history as CSV and writes it; a failure is shown in a box.
void ExportHistory(const Stock& stock, QWidget* parent);
// Writes the CSV bytes to `path`; the error text, or empty on success.
QString WriteHistoryCsv(const Stock& stock, const QString& path);

} // namespace quillory
