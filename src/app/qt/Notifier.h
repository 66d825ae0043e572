#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QSet>
#include <QString>
#include <functional>
#include <list>
#include <string>

class QDBusPendingCallWatcher;
class QSystemTrayIcon;

namespace quillory {

// Announces the alert texts of a pass as one desktop notification through
// org.freedesktop.Notifications; where no notification service answers, as a message of the tray
// icon. Activating either (the notification's default action, a click on the tray message) emits
// activated().
class Notifier : public QObject {
    Q_OBJECT
public:
    enum class Channel { None, Desktop, TrayMessage };
    Q_ENUM(Channel)

    Notifier(QSystemTrayIcon* tray, QDBusConnection bus, QObject* parent = nullptr);
    explicit Notifier(QSystemTrayIcon* tray, QObject* parent = nullptr);
    ~Notifier() override = default;

    // Sends the texts (nothing for none). The answer of the service arrives later: shown() tells
    // which way the texts went.
    void Notify(const std::list<std::string>& texts);

    // The tray message; replaceable so the fallback can be seen where no tray shows messages.
    std::function<void(const QString& title, const QString& body)> showTrayMessage;

    static constexpr const char* kService = "org.freedesktop.Notifications";
    static constexpr const char* kPath = "/org/freedesktop/Notifications";
    static constexpr const char* kInterface = "org.freedesktop.Notifications";

signals:
    void activated();
    void shown(quillory::Notifier::Channel channel);

private slots:
    void OnActionInvoked(uint id, const QString& actionKey);
    void OnNotificationClosed(uint id, uint reason);

private:
    void ShowTrayMessage(const QString& body);

    QSystemTrayIcon* tray;
    QDBusConnection bus;
    QSet<uint> openIds;
};

} // namespace quillory
