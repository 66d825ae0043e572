#include <gtest/gtest.h>

#include <QDBusAbstractAdaptor>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QSignalSpy>
#include <QTest>

#include "PrivateBus.h"
#include "QtTestApp.h"
#include "app/qt/Notifier.h"

namespace quillory {
namespace {

class NotifierTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureApp();
        if (!bus.Started())
            GTEST_SKIP() << "dbus-daemon did not start";
    }
    // Registers the fake service on a connection of its own.
    void StartService() {
        QDBusConnection connection = bus.Connect("service");
        ASSERT_TRUE(connection.registerVirtualObject(Notifier::kPath, &service));
        ASSERT_TRUE(connection.registerService(Notifier::kService));
    }
    void Invoke(uint id, const QString& action) {
        QDBusMessage signal = QDBusMessage::createSignal(Notifier::kPath, Notifier::kInterface, "ActionInvoked");
        signal << id << action;
        QDBusConnection(QStringLiteral("service")).send(signal);
    }

    test::PrivateBus bus;
    test::FakeNotificationService service;
    QStringList trayMessages;
};

TEST_F(NotifierTest, OneNotifyPerPassCarriesTheAlertTextsAndItsActionActivates) {
    StartService();
    Notifier notifier(nullptr, bus.Connect("program"));
    notifier.showTrayMessage = [this](const QString&, const QString& body) { trayMessages.append(body); };
    QSignalSpy shown(&notifier, &Notifier::shown);
    QSignalSpy activated(&notifier, &Notifier::activated);

    notifier.Notify({"MSFT price is 30.00 which is above your limit of 25.00!",
                     "GOOG price is 1.00 which is below your limit of 2.00 & <3>!"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.count() == 1; }, 5000));
    EXPECT_EQ(shown.at(0).at(0).value<Notifier::Channel>(), Notifier::Channel::Desktop);
    ASSERT_EQ(service.calls.size(), 1);
    const QList<QVariant>& call = service.calls.front();
    ASSERT_EQ(call.size(), 8);
    EXPECT_EQ(call[0].toString(), "Quillory");
    EXPECT_EQ(call[3].toString(), "Quillory"); // summary
    EXPECT_EQ(call[4].toString(), "MSFT price is 30.00 which is above your limit of 25.00!\n"
                                  "GOOG price is 1.00 which is below your limit of 2.00 &amp; &lt;3&gt;!");
    EXPECT_TRUE(call[5].toStringList().contains("default"));
    EXPECT_FALSE(call[2].toString().isEmpty()) << "the program's icon";

    notifier.Notify({}); // a pass without alerts says nothing
    notifier.Notify({"second pass"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.count() == 2; }, 5000));
    EXPECT_EQ(service.calls.size(), 2);
    EXPECT_EQ(service.calls.back()[4].toString(), "second pass");

    Invoke(999, "default"); // not ours
    Invoke(41, "other");
    Invoke(41, "default");
    ASSERT_TRUE(QTest::qWaitFor([&] { return activated.count() > 0; }, 5000));
    QTest::qWait(50);
    EXPECT_EQ(activated.count(), 1);
    EXPECT_TRUE(trayMessages.isEmpty());
}

TEST_F(NotifierTest, WithoutAServiceTheTrayMessageIsUsed) {
    Notifier notifier(nullptr, bus.Connect("program"));
    notifier.showTrayMessage = [this](const QString& title, const QString& body) {
        EXPECT_EQ(title, "Quillory");
        trayMessages.append(body);
    };
    QSignalSpy shown(&notifier, &Notifier::shown);
    notifier.Notify({"A", "B"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.count() == 1; }, 5000));
    EXPECT_EQ(shown.at(0).at(0).value<Notifier::Channel>(), Notifier::Channel::TrayMessage);
    EXPECT_EQ(trayMessages, QStringList{"A\nB"});

    // No session bus at all.
    Notifier offline(nullptr, QDBusConnection(QStringLiteral("no such connection")));
    offline.showTrayMessage = notifier.showTrayMessage;
    offline.Notify({"C"});
    EXPECT_EQ(trayMessages, (QStringList{"A\nB", "C"}));
}

} // namespace
} // namespace quillory
