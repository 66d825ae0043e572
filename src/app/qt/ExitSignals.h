#pragma once

#include <QObject>

class QSocketNotifier;

namespace quillory {

// Turns SIGTERM and SIGINT into a Qt signal on the GUI thread, so that they end the program the
// way Exit does (placement and investment list saved) instead of killing it.
class ExitSignals : public QObject {
    Q_OBJECT
public:
    explicit ExitSignals(QObject* parent = nullptr);
    ~ExitSignals() override;

signals:
    void received(int signalNumber);

private:
    void OnReadable();
    QSocketNotifier* notifier = nullptr;
};

} // namespace quillory
