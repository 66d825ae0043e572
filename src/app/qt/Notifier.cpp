#include "app/qt/Notifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QSystemTrayIcon>
#include <QVariantMap>

#include "app/core/QuilloryApp.h"

namespace quillory {

Notifier::Notifier(QSystemTrayIcon* tray, QObject* parent) : Notifier(tray, QDBusConnection::sessionBus(), parent) {}

Notifier::Notifier(QSystemTrayIcon* tray, QDBusConnection bus, QObject* parent)
    : QObject(parent), tray(tray), bus(std::move(bus)) {
    showTrayMessage = [this](const QString& title, const QString& body) {
        if (this->tray)
            this->tray->showMessage(title, body, QSystemTrayIcon::Warning);
    };
    if (this->tray)
        connect(this->tray, &QSystemTrayIcon::messageClicked, this, &Notifier::activated);
    if (this->bus.isConnected()) {
        this->bus.connect(kService, kPath, kInterface, "ActionInvoked", this, SLOT(OnActionInvoked(uint, QString)));
        this->bus.connect(kService, kPath, kInterface, "NotificationClosed", this,
                          SLOT(OnNotificationClosed(uint, uint)));
    }
}

void Notifier::Notify(const std::list<std::string>& texts) {
    if (texts.empty())
        return;
    QString body;
    for (const std::string& text : texts) {
        if (!body.isEmpty())
            body += '\n';
        body += QString::fromStdString(text);
    }
    if (!bus.isConnected()) {
        ShowTrayMessage(body);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Notify");
    QVariantMap hints;
    hints.insert("desktop-entry", QString("quillory"));
    hints.insert("urgency", QVariant::fromValue(uchar(1)));
    // A body is plain text to us; servers that read markup would take "<" and "&" as tags.
    QString escaped = body.toHtmlEscaped();
    call << QString(QuilloryApp::kName) << uint(0) << QString("quillory") << QString(QuilloryApp::kName) << escaped
         << QStringList{"default", "Show alerts"} << hints << int(-1);
    // Asynchronous: a slow or absent service must not hold the window.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, body] {
        watcher->deleteLater();
        QDBusPendingReply<uint> reply = *watcher;
        if (reply.isError()) {
            ShowTrayMessage(body);
            return;
        }
        openIds.insert(reply.value());
        emit shown(Channel::Desktop);
    });
}

void Notifier::ShowTrayMessage(const QString& body) {
    showTrayMessage(QuilloryApp::kName, body);
    emit shown(Channel::TrayMessage);
}

void Notifier::OnActionInvoked(uint id, const QString& actionKey) {
    if (openIds.contains(id) && actionKey == "default")
        emit activated();
}

void Notifier::OnNotificationClosed(uint id, uint) {
    openIds.remove(id);
}

} // namespace quillory
