#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QVariant>
#include <string>

#include "TestSupport.h"

namespace quillory::test {

// A session bus of the test's own: a dbus-daemon with no service directories, so nothing on the
// machine (a real notification daemon among them) is started behind the test's back.
class PrivateBus {
public:
    PrivateBus() {
        const std::string config = temp.File("bus.conf");
        WriteFile(config, "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\" "
                          "\"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                          "<busconfig><type>session</type><listen>unix:dir=" +
                              temp.Path() +
                              "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                              "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                              "<allow own=\"*\"/></policy></busconfig>\n");
        daemon.start("dbus-daemon", {"--config-file=" + QString::fromStdString(config), "--nofork", "--print-address"});
        if (daemon.waitForStarted(5000) && daemon.waitForReadyRead(5000))
            address = QString::fromUtf8(daemon.readLine()).trimmed();
    }
    ~PrivateBus() {
        for (const QString& name : names)
            QDBusConnection::disconnectFromBus(name);
        daemon.kill();
        daemon.waitForFinished(5000);
    }
    bool Started() const { return !address.isEmpty(); }
    const QString& Address() const { return address; }
    // A new connection to the bus under `name`.
    QDBusConnection Connect(const QString& name) {
        names.append(name);
        return QDBusConnection::connectToBus(address, name);
    }

private:
    TempDir temp;
    QProcess daemon;
    QString address;
    QStringList names;
};

// org.freedesktop.Notifications as far as the program uses it: Notify is recorded and answered
// with a new id.
class FakeNotificationService : public QDBusVirtualObject {
public:
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.interface() != "org.freedesktop.Notifications" || message.member() != "Notify")
            return false;
        calls.append(message.arguments());
        connection.send(message.createReply(QVariant::fromValue(uint(calls.size() + 40))));
        return true;
    }
    QString introspect(const QString&) const override { return QString(); }

    QList<QList<QVariant>> calls;
};

} // namespace quillory::test
