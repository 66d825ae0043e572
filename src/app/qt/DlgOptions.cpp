#include "app/qt/DlgOptions.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "app/core/OptionsValues.h"
#include "app/core/QuilloryApp.h"
#include "foundation/MessageBox.h"

namespace quillory {

DlgOptions::DlgOptions(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Options");
    auto* group = new QGroupBox("General", this);
    autoStartCheck = new QCheckBox("Start automatically with Windows", group);
    autoStartCheck->setObjectName("autoStart");
    weekendCheck = new QCheckBox("Update during weekends", group);
    weekendCheck->setObjectName("weekendUpdate");
    fallbackCheck = new QCheckBox("Try other sources when one fails", group);
    fallbackCheck->setObjectName("fallback");
    notificationsCheck = new QCheckBox("Show desktop notifications for alerts", group);
    notificationsCheck->setObjectName("notifications");
    updateEdit = new QLineEdit(group);
    updateEdit->setObjectName("updateTime");
    updateEdit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), updateEdit));
    updateEdit->setMaximumWidth(60);

    auto* grid = new QGridLayout(group);
    grid->addWidget(autoStartCheck, 0, 0, 1, 3);
    grid->addWidget(weekendCheck, 1, 0, 1, 3);
    grid->addWidget(new QLabel("Update quotes every", group), 2, 0);
    grid->addWidget(updateEdit, 2, 1);
    grid->addWidget(new QLabel("minute(s)", group), 2, 2);
    grid->addWidget(fallbackCheck, 3, 0, 1, 3);
    grid->addWidget(notificationsCheck, 4, 0, 1, 3);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &DlgOptions::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DlgOptions::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

int DlgOptions::exec() {
    updateEdit->setText(QString::number(updateTime));
    autoStartCheck->setChecked(autoStart != 0);
    weekendCheck->setChecked(weekendUpdate != 0);
    fallbackCheck->setChecked(fallback != 0);
    notificationsCheck->setChecked(notifications != 0);
    return QDialog::exec();
}

void DlgOptions::accept() {
    int minutes = 0;
    std::string error;
    if (!OptionsValues::ParseUpdateTime(updateEdit->text().toStdString(), minutes, error)) {
        ShowMessageBox(error, QuilloryApp::kName, MessageBoxIcon::Warning);
        updateEdit->setFocus();
        updateEdit->selectAll();
        return;
    }
    updateTime = minutes;
    autoStart = autoStartCheck->isChecked() ? 1 : 0;
    weekendUpdate = weekendCheck->isChecked() ? 1 : 0;
    fallback = fallbackCheck->isChecked() ? 1 : 0;
    notifications = notificationsCheck->isChecked() ? 1 : 0;
    QDialog::accept();
}

} // namespace quillory
