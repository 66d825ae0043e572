#include "app/qt/HistoryChart.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

#include "app/core/QuilloryApp.h"
#include "foundation/MessageBox.h"

namespace quillory {

namespace {

qint64 Msecs(const Date& date) {
    return QDateTime(QDate(date.GetYear(), date.GetMonth(), date.GetDay()), QTime(12, 0)).toMSecsSinceEpoch();
}

} // namespace

HistoryChart::HistoryChart(QWidget* parent) : QWidget(parent) {
    rangeCombo = new QComboBox(this);
    rangeCombo->setObjectName("range");
    for (const std::string& name : HistoryChartData::RangeNames())
        rangeCombo->addItem(QString::fromStdString(name));
    rangeCombo->setCurrentIndex(static_cast<int>(range));
    chart = new QChart;
    chart->legend()->hide();
    chart->setMargins(QMargins(2, 2, 2, 2));
    view = new QChartView(chart, this);
    view->setObjectName("chart");
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(260, 180);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel("Show", this));
    top->addWidget(rangeCombo);
    top->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addWidget(view, 1);
    connect(rangeCombo, &QComboBox::currentIndexChanged, this,
            [this](int index) { SetRange(static_cast<HistoryChartData::Range>(index)); });
}

void HistoryChart::SetHistory(const StockPriceList& history, const StockAlert& limits) {
    prices = history;
    alert = limits;
    Rebuild();
}

void HistoryChart::SetRange(HistoryChartData::Range value) {
    range = value;
    if (rangeCombo->currentIndex() != static_cast<int>(value))
        rangeCombo->setCurrentIndex(static_cast<int>(value));
    Rebuild();
}

QList<QLineSeries*> HistoryChart::LimitSeries() const {
    QList<QLineSeries*> lines;
    for (QAbstractSeries* series : chart->series())
        if (series != priceSeries)
            lines.append(static_cast<QLineSeries*>(series));
    return lines;
}

void HistoryChart::Rebuild() {
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes())
        chart->removeAxis(axis);
    priceSeries = new QLineSeries;
    priceSeries->setName("Price");
    const std::vector<HistoryChartData::Point> points = HistoryChartData::SeriesPoints(prices, range);
    double low = 0, high = 0;
    for (const HistoryChartData::Point& point : points) {
        priceSeries->append(static_cast<qreal>(Msecs(point.date)), point.price);
        low = priceSeries->count() == 1 ? point.price : std::min(low, point.price);
        high = priceSeries->count() == 1 ? point.price : std::max(high, point.price);
    }
    chart->addSeries(priceSeries);

    auto* timeAxis = new QDateTimeAxis;
    timeAxis->setFormat("MMM d");
    timeAxis->setTickCount(4);
    qint64 first = points.empty() ? QDateTime::currentMSecsSinceEpoch() : Msecs(points.front().date);
    qint64 last = points.empty() ? first : Msecs(points.back().date);
    if (last == first) { // one day still needs a width to draw in
        first -= 86400000LL;
        last += 86400000LL;
    }
    timeAxis->setRange(QDateTime::fromMSecsSinceEpoch(first), QDateTime::fromMSecsSinceEpoch(last));
    auto* priceAxis = new QValueAxis;
    priceAxis->setLabelFormat("%.2f");
    chart->addAxis(timeAxis, Qt::AlignBottom);
    chart->addAxis(priceAxis, Qt::AlignLeft);
    priceSeries->attachAxis(timeAxis);
    priceSeries->attachAxis(priceAxis);

    for (const HistoryChartData::LimitLine& limit : HistoryChartData::LimitLines(alert)) {
        auto* line = new QLineSeries;
        line->setName(limit.upper ? "Upper limit" : "Lower limit");
        line->append(static_cast<qreal>(first), limit.value);
        line->append(static_cast<qreal>(last), limit.value);
        QPen pen(limit.upper ? QColor(0x2e, 0x8b, 0x57) : QColor(0xc0, 0x39, 0x2b));
        pen.setStyle(Qt::DashLine);
        pen.setWidth(1);
        line->setPen(pen);
        chart->addSeries(line);
        line->attachAxis(timeAxis);
        line->attachAxis(priceAxis);
        if (points.empty() && low == 0 && high == 0)
            low = high = limit.value;
        low = std::min(low, limit.value);
        high = std::max(high, limit.value);
    }
    const double margin = high > low ? (high - low) * 0.08 : std::max(1.0, high * 0.05);
    priceAxis->setRange(low - margin, high + margin);
}

HistoryWindow::HistoryWindow(const Stock& shown, QWidget* parent) : QDialog(parent), stock(shown) {
    setWindowTitle(QString::fromStdString(stock.GetSymbol() + " - History"));
    setObjectName("historyWindow");
    chart = new HistoryChart(this);
    chart->SetHistory(stock.GetPrices(), stock.GetAlert());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* exportButton = buttons->addButton("Export…", QDialogButtonBox::ActionRole);
    exportButton->setObjectName("export");
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(exportButton, &QPushButton::clicked, this, [this] { ExportHistory(stock, this); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(chart, 1);
    layout->addWidget(buttons);
    resize(560, 360);
}

QString WriteHistoryCsv(const Stock& stock, const QString& path) {
    const std::string bytes = HistoryChartData::Csv(stock.GetPrices());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) ||
        !file.commit())
        return file.errorString();
    return QString();
}

void ExportHistory(const Stock& stock, QWidget* parent) {
    QString name = QString::fromStdString(stock.GetSymbol());
    name.replace('/', '_');
    const QString path = QFileDialog::getSaveFileName(parent, "Export history", QDir::home().filePath(name + ".csv"),
                                                      "CSV files (*.csv);;All files (*)");
    if (path.isEmpty())
        return;
    const QString error = WriteHistoryCsv(stock, path);
    if (!error.isEmpty())
        ShowMessageBox("Unable to write " + path.toStdString() + ": " + error.toStdString(), QuilloryApp::kName,
                       MessageBoxIcon::Warning);
}

} // namespace quillory
