#include "app/qt/DlgAlert.h"

#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/core/AppIds.h"
#include "app/qt/Icons.h"

namespace quillory {

DlgAlert::DlgAlert(std::list<std::string> alertTexts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), sequence(std::move(alertTexts)) {
    setWindowTitle("Alert");
    auto* icon = new QLabel(this);
    icon->setPixmap(Icons::Pixmap(kIconAlert, 32));
    icon->setAlignment(Qt::AlignTop);
    textEdit = new QPlainTextEdit(this);
    textEdit->setObjectName("alertText");
    textEdit->setReadOnly(true);
    textEdit->setMinimumSize(280, 80);
    nextButton = new QPushButton("Next >>", this);
    nextButton->setObjectName("next");
    nextButton->setDefault(true);
    connect(nextButton, &QPushButton::clicked, this, &DlgAlert::OnNext);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0);
    layout->addWidget(textEdit, 0, 1);
    layout->addWidget(nextButton, 1, 1);
    ShowCurrent();
}

void DlgAlert::ShowCurrent() {
    textEdit->setPlainText(QString::fromStdString(sequence.Current()));
    nextButton->setText(QString::fromStdString(sequence.ButtonText()));
}

void DlgAlert::OnNext() {
    if (sequence.Next())
        accept();
    else
        ShowCurrent();
}

} // namespace quillory
