#pragma once

#include <QDialog>
#include <QFutureWatcher>
#include <memory>

#include "app/core/StockDialogView.h"
#include "app/core/StockEditor.h"
#include "app/core/StockSources.h"
#include "foundation/CancelToken.h"
#include "model/Stock.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace quillory {

class HistoryChart;
class ListViewWidget;
class SymbolLookup;

// Adds or edits one investment: symbol (with candidates looked up while it is typed), name, quote
// source, quantity held, alert limits, and its price history as a list and a chart.
// The caller reads `stock` back after Accepted; the dialog never touches the investment list.
class DlgStock : public QDialog, public StockDialogView {
    Q_OBJECT
public:
    DlgStock(const Stock& stock, StockSources sources, QWidget* parent = nullptr);
    ~DlgStock() override;

    // Starts the search off the GUI thread; while it runs the button reads "Cancel" and stops it.
    void OnSearch();
    bool IsSearching() const { return searchWatcher != nullptr; }
    void OnUpperAlertCheck();
    void OnLowerAlertCheck();
    void accept() override;
    // Closing the dialog, however, cancels a running search; its result never arrives.
    void done(int result) override;

    std::string GetSymbolText() override;
    void SelectSource(const std::string& name) override;
    void SetNameText(const std::string& name) override;
    ListView& History() override;
    void EnableSearch(bool enable) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

    Stock stock;

    // For the program's tests.
    HistoryChart* Chart() const { return chart; }
    SymbolLookup* Lookup() const { return lookup; }

private:
    // The chart with the limits as the form shows them now.
    void RefreshChart();
    void OnSearchDone();
    void DropSearch();

    StockEditor editor;
    std::shared_ptr<CancelToken> searchToken;
    QFutureWatcher<SearchOutcome>* searchWatcher = nullptr; // a child: gone with the dialog
    std::string searchSymbol;
    QComboBox* sourceCombo;
    QCheckBox* lowerCheck;
    QCheckBox* upperCheck;
    QLineEdit* upperEdit;
    QLineEdit* lowerEdit;
    QLineEdit* symbolEdit;
    QLineEdit* nameEdit;
    ListViewWidget* historyList;
    QPushButton* searchButton;
    QLineEdit* quantityEdit;
    HistoryChart* chart;
    SymbolLookup* lookup;
    // Cancelled when the dialog closes: a lookup still running ends at its next wait.
    std::shared_ptr<CancelToken> lookupToken = std::make_shared<CancelToken>();
};

} // namespace quillory
