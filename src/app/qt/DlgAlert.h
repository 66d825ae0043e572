#pragma once

#include <QDialog>
#include <list>
#include <string>

#include "app/core/AlertSequence.h"

class QPlainTextEdit;
class QPushButton;

namespace quillory {

// Shows the waiting alert texts one at a time; its button steps to the next and closes after the
// last. Escape drops the texts not yet shown.
class DlgAlert : public QDialog {
    Q_OBJECT
public:
    explicit DlgAlert(std::list<std::string> alertTexts, QWidget* parent = nullptr);
    ~DlgAlert() override = default;

    void OnNext();

private:
    void ShowCurrent();

    AlertSequence sequence;
    QPlainTextEdit* textEdit;
    QPushButton* nextButton;
};

} // namespace quillory
