#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace quillory {

// The options: update interval in minutes (10 to 1000), start at log-on, weekend updates, trying
// other sources when one fails, desktop notifications for alerts. The caller fills the members before exec and reads
// them back after Accepted.
class DlgOptions : public QDialog {
    Q_OBJECT
public:
    explicit DlgOptions(QWidget* parent = nullptr);
    ~DlgOptions() override = default;

    int updateTime = 10;
    int autoStart = 0;
    int weekendUpdate = 0;
    int fallback = 1;
    int notifications = 1;

    int exec() override;
    void accept() override;

private:
    QLineEdit* updateEdit;
    QCheckBox* autoStartCheck;
    QCheckBox* weekendCheck;
    QCheckBox* fallbackCheck;
    QCheckBox* notificationsCheck;
};

} // namespace quillory
