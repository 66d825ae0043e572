#include "app/qt/DlgStock.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThreadPool>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include "app/qt/HistoryChart.h"
#include "app/qt/ListViewWidget.h"
#include "app/qt/SymbolLookup.h"
#include "foundation/StringUtils.h"
#include "tasks/ThreadPool.h"

namespace quillory {

namespace {

// Upper-cases ASCII letters only, as symbols are typed.
QString AsciiUpper(const QString& text) {
    QString result = text;
    for (QChar& c : result)
        if (c >= 'a' && c <= 'z')
            c = QChar(c.unicode() - 'a' + 'A');
    return result;
}

// The searches' threads, ended with the application.
QThreadPool& SearchThreads() {
    static QThreadPool* pool = new QThreadPool(qApp);
    return *pool;
}

} // namespace

DlgStock::DlgStock(const Stock& initial, StockSources sources, QWidget* parent)
    : QDialog(parent), stock(initial), editor(stock, std::move(sources)) {
    setWindowTitle("Stock");

    auto* general = new QGroupBox("General information", this);
    symbolEdit = new QLineEdit(general);
    symbolEdit->setObjectName("symbol");
    searchButton = new QPushButton("Search", general);
    searchButton->setObjectName("search");
    searchButton->setAutoDefault(false);
    nameEdit = new QLineEdit(general);
    nameEdit->setObjectName("name");
    sourceCombo = new QComboBox(general);
    sourceCombo->setObjectName("source");
    quantityEdit = new QLineEdit(general);
    quantityEdit->setObjectName("quantity");
    quantityEdit->setPlaceholderText("none");
    auto* generalGrid = new QGridLayout(general);
    generalGrid->addWidget(new QLabel("Symbol", general), 0, 0);
    generalGrid->addWidget(symbolEdit, 0, 1);
    generalGrid->addWidget(searchButton, 0, 2);
    generalGrid->addWidget(new QLabel("Name", general), 1, 0);
    generalGrid->addWidget(nameEdit, 1, 1, 1, 2);
    generalGrid->addWidget(new QLabel("Source", general), 2, 0);
    generalGrid->addWidget(sourceCombo, 2, 1, 1, 2);
    generalGrid->addWidget(new QLabel("Quantity", general), 3, 0);
    generalGrid->addWidget(quantityEdit, 3, 1, 1, 2);

    auto* alerts = new QGroupBox("Alerts", this);
    upperCheck = new QCheckBox("Alert if price goes greater than", alerts);
    upperCheck->setObjectName("upperAlert");
    upperEdit = new QLineEdit(alerts);
    upperEdit->setObjectName("upperLimit");
    lowerCheck = new QCheckBox("Alert if price goes less than", alerts);
    lowerCheck->setObjectName("lowerAlert");
    lowerEdit = new QLineEdit(alerts);
    lowerEdit->setObjectName("lowerLimit");
    upperEdit->setMaximumWidth(80);
    lowerEdit->setMaximumWidth(80);
    auto* alertGrid = new QGridLayout(alerts);
    alertGrid->addWidget(upperCheck, 0, 0);
    alertGrid->addWidget(upperEdit, 0, 1);
    alertGrid->addWidget(lowerCheck, 1, 0);
    alertGrid->addWidget(lowerEdit, 1, 1);

    historyList = new ListViewWidget(false, this);
    historyList->setObjectName("history");
    historyList->SetColumns({{"Date", Qt::AlignLeft, 80}, {"Price", Qt::AlignRight, 60}});
    historyList->horizontalHeader()->setSectionsClickable(false);
    historyList->setMinimumWidth(165);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &DlgStock::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DlgStock::reject);

    auto* left = new QVBoxLayout;
    left->addWidget(general);
    left->addWidget(alerts);
    chart = new HistoryChart(this);
    chart->setObjectName("historyChart");
    chart->setMinimumWidth(320);
    auto* histories = new QHBoxLayout;
    histories->addWidget(historyList);
    histories->addWidget(chart, 1);
    auto* right = new QVBoxLayout;
    right->addLayout(histories, 1);
    right->addWidget(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right);

    connect(searchButton, &QPushButton::clicked, this, &DlgStock::OnSearch);
    connect(upperCheck, &QCheckBox::toggled, this, &DlgStock::OnUpperAlertCheck);
    connect(lowerCheck, &QCheckBox::toggled, this, &DlgStock::OnLowerAlertCheck);
    for (QLineEdit* limit : {upperEdit, lowerEdit})
        connect(limit, &QLineEdit::textChanged, this, &DlgStock::RefreshChart);

    // Lookups share the searches' threads; a running one is dropped with the dialog.
    auto runner = [token = lookupToken](QObject* receiver, std::function<std::vector<SymbolSearch::Candidate>()> work,
                                        std::function<void(std::vector<SymbolSearch::Candidate>)> done) {
        auto* watcher = new QFutureWatcher<std::vector<SymbolSearch::Candidate>>(receiver);
        connect(watcher, &QFutureWatcherBase::finished, receiver, [watcher, done = std::move(done)] {
            watcher->deleteLater();
            if (watcher->future().resultCount() > 0)
                done(watcher->result());
        });
        WorkerSignalBlock block;
        watcher->setFuture(QtConcurrent::run(&SearchThreads(), [token, work = std::move(work)] {
            CancelToken::Scope scope(token.get());
            return work();
        }));
    };
    lookup = new SymbolLookup(symbolEdit, SymbolSearch::Find, runner);
    connect(lookup, &SymbolLookup::picked, this, [this](const SymbolSearch::Candidate& candidate) {
        symbolEdit->setText(QString::fromStdString(candidate.symbol));
        nameEdit->setText(QString::fromStdString(candidate.name));
        SelectSource(Stock::NewInvestmentSource);
    });
    connect(symbolEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
        QString upper = AsciiUpper(text);
        if (upper != text) {
            int cursor = symbolEdit->cursorPosition();
            symbolEdit->setText(upper);
            symbolEdit->setCursorPosition(cursor);
        }
    });

    for (const std::string& name : editor.ComboEntries())
        sourceCombo->addItem(QString::fromStdString(name));
    SelectSource(stock.GetDataSource());
    nameEdit->setText(QString::fromStdString(stock.GetName()));
    symbolEdit->setText(QString::fromStdString(stock.GetSymbol()));
    stock.FillPriceHistory(*historyList);
    if (stock.GetQuantity() != 0)
        quantityEdit->setText(QString::fromStdString(StringUtils::ToString(stock.GetQuantity())));

    const double last = stock.GetLastPrice().GetPrice();
    const StockAlert& alert = stock.GetAlert();
    upperCheck->setChecked(alert.IsUpperAlert());
    upperEdit->setText(QString::fromStdString(StockEditor::LimitText(alert.GetUpperLimit(), last)));
    lowerCheck->setChecked(alert.IsLowerAlert());
    lowerEdit->setText(QString::fromStdString(StockEditor::LimitText(alert.GetLowerLimit(), last)));
    OnUpperAlertCheck();
    OnLowerAlertCheck();
    RefreshChart();
}

void DlgStock::RefreshChart() {
    StockAlert shown;
    shown.SetUpper(upperCheck->isChecked(), std::strtod(upperEdit->text().toStdString().c_str(), nullptr));
    shown.SetLower(lowerCheck->isChecked(), std::strtod(lowerEdit->text().toStdString().c_str(), nullptr));
    chart->SetHistory(stock.GetPrices(), shown);
}

DlgStock::~DlgStock() {
    DropSearch();
}

void DlgStock::OnSearch() {
    if (searchWatcher) {
        searchToken->Cancel(); // the search ends at its next wait and reports back
        searchButton->setEnabled(false);
        return;
    }
    std::string symbol;
    if (!editor.StartSearch(*this, symbol))
        return;
    searchSymbol = symbol;
    auto token = std::make_shared<CancelToken>();
    searchToken = token;
    searchWatcher = new QFutureWatcher<SearchOutcome>(this);
    connect(searchWatcher, &QFutureWatcherBase::progressTextChanged, this,
            [this](const QString& name) { SelectSource(name.toStdString()); });
    connect(searchWatcher, &QFutureWatcherBase::finished, this, &DlgStock::OnSearchDone);
    StockSources sources = editor.Sources();
    auto search = [sources, symbol, token](QPromise<SearchOutcome>& promise) {
        CancelToken::Scope scope(token.get());
        int tried = 0;
        promise.addResult(StockEditor::RunSearch(sources, symbol, [&](const std::string& name) {
            promise.setProgressValueAndText(++tried, QString::fromStdString(name));
        }));
    };
    WorkerSignalBlock block; // a thread the pool starts now inherits it
    searchWatcher->setFuture(QtConcurrent::run(&SearchThreads(), search));
}

void DlgStock::OnSearchDone() {
    QFutureWatcher<SearchOutcome>* watcher = searchWatcher;
    searchWatcher = nullptr;
    searchToken.reset();
    SearchOutcome outcome;
    if (watcher->future().resultCount() > 0)
        outcome = watcher->result();
    else
        outcome.cancelled = true;
    watcher->deleteLater();
    editor.FinishSearch(*this, searchSymbol, outcome);
    RefreshChart(); // a found quote joined the history
}

void DlgStock::DropSearch() {
    if (!searchWatcher)
        return;
    searchToken->Cancel();
    delete searchWatcher; // disconnects: the outcome has nowhere to go
    searchWatcher = nullptr;
    searchToken.reset();
    EnableSearch(true);
    EndWaitCursor();
}

void DlgStock::done(int result) {
    DropSearch();
    lookupToken->Cancel();
    QDialog::done(result);
}
void DlgStock::OnUpperAlertCheck() {
    upperEdit->setEnabled(upperCheck->isChecked());
    RefreshChart();
}
void DlgStock::OnLowerAlertCheck() {
    lowerEdit->setEnabled(lowerCheck->isChecked());
    RefreshChart();
}

void DlgStock::accept() {
    StockEditor::Form form;
    form.symbol = symbolEdit->text().toStdString();
    form.name = nameEdit->text().toStdString();
    form.dataSource = sourceCombo->currentText().toStdString();
    form.upperAlert = upperCheck->isChecked();
    form.upperLimit = upperEdit->text().toStdString();
    form.lowerAlert = lowerCheck->isChecked();
    form.lowerLimit = lowerEdit->text().toStdString();
    form.quantity = quantityEdit->text().toStdString();
    if (editor.Apply(form))
        QDialog::accept();
}

std::string DlgStock::GetSymbolText() {
    return symbolEdit->text().toStdString();
}

void DlgStock::SelectSource(const std::string& name) {
    std::vector<std::string> entries;
    for (int i = 0; i < sourceCombo->count(); ++i)
        entries.push_back(sourceCombo->itemText(i).toStdString());
    int index = StockEditor::FindSourceEntry(entries, name);
    if (index >= 0) {
        sourceCombo->setCurrentIndex(index);
        if (sourceCombo->isVisible())
            sourceCombo->repaint();
    }
}

void DlgStock::SetNameText(const std::string& name) {
    nameEdit->setText(QString::fromStdString(name));
}
ListView& DlgStock::History() {
    return *historyList;
}
void DlgStock::EnableSearch(bool enable) {
    // A running search keeps the button, as the way to cancel it.
    searchButton->setText(enable ? "Search" : "Cancel");
    searchButton->setEnabled(true);
}
void DlgStock::BeginWaitCursor() {
    // Busy, but the dialog still takes clicks (Cancel among them).
    QApplication::setOverrideCursor(Qt::BusyCursor);
}
void DlgStock::EndWaitCursor() {
    QApplication::restoreOverrideCursor();
}

} // namespace quillory
