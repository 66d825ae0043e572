#pragma once

#include <QDialog>

#include "app/core/StockDialogView.h"
#include "app/core/StockEditor.h"
#include "app/core/StockSources.h"
#include "model/Stock.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace quillory {

class ListViewWidget;

// Adds or edits one investment: symbol, name, quote source, alert limits, and its price history.
// The caller reads `stock` back after Accepted; the dialog never touches the investment list.
class DlgStock : public QDialog, public StockDialogView {
    Q_OBJECT
public:
    DlgStock(const Stock& stock, StockSources sources, QWidget* parent = nullptr);
    ~DlgStock() override = default;

    void OnSearch();
    void OnUpperAlertCheck();
    void OnLowerAlertCheck();
    void accept() override;

    std::string GetSymbolText() override;
    void SelectSource(const std::string& name) override;
    void SetNameText(const std::string& name) override;
    ListView& History() override;
    void EnableSearch(bool enable) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

    Stock stock;

private:
    StockEditor editor;
    QComboBox* sourceCombo;
    QCheckBox* lowerCheck;
    QCheckBox* upperCheck;
    QLineEdit* upperEdit;
    QLineEdit* lowerEdit;
    QLineEdit* symbolEdit;
    QLineEdit* nameEdit;
    ListViewWidget* historyList;
    QPushButton* searchButton;
};

} // namespace quillory
