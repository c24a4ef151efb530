// The hot key on a Wayland session, bound through a stand-in desktop portal (fake_portal.py)
// on a private session bus; portal_session.sh starts the bus and names the script.
#include "QtPrinters.h"

#include "speech/Hkhotkey.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

using namespace speech;

namespace {

const QString PortalName = QStringLiteral("org.freedesktop.portal.Desktop");
const QString MenuHint = QStringLiteral("Ctrl + Alt + R で 最小化でも Reset します");
const QString NoKeyHere = QStringLiteral("ほかのアプリの使用中に効くホットキーを登録できません");
const THookHotKey::Name StopReading{QStringLiteral("stop-reading"),
                                    QStringLiteral("読み上げを止める (Reset)")};

bool portalOnBus()
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(PortalName);
}

// fake_portal.py in one of its modes, for one test; no process for an empty mode.
class FakePortal
{
public:
    explicit FakePortal(const QString &mode)
    {
        if (mode.isEmpty())
            return;
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(qEnvironmentVariable("KOTONAMI_PYTHON"),
                        {qEnvironmentVariable("KOTONAMI_FAKE_PORTAL"), mode});
        QByteArray out;
        const bool ready = QTest::qWaitFor(
            [&] { return (out += m_process.readAllStandardOutput()).contains("ready"); }, 10000);
        EXPECT_TRUE(ready) << "the fake portal did not start";
    }
    ~FakePortal()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        m_process.waitForFinished(5000);
        // The next test may want no portal at all.
        EXPECT_TRUE(QTest::qWaitFor([] { return !portalOnBus(); }, 5000));
    }

    // Activated for id in session; the signal arrives before the call's reply.
    void press(const QString &id, const QString &session)
    {
        call(QStringLiteral("Press"), {id, session});
    }
    // The fields after the tag of each logged line with that tag ("create", "bind", "close").
    QList<QStringList> logged(const QString &tag)
    {
        QList<QStringList> lines;
        const QStringList log = call(QStringLiteral("Log")).arguments().value(0).toStringList();
        for (const QString &line : log) {
            QStringList fields = line.split(QLatin1Char('\t'));
            if (fields.takeFirst() == tag)
                lines << fields;
        }
        return lines;
    }

private:
    QDBusMessage call(const QString &method, const QVariantList &args = {})
    {
        QDBusMessage m = QDBusMessage::createMethodCall(
            PortalName, QStringLiteral("/org/freedesktop/portal/desktop"),
            QStringLiteral("org.kotonami.FakePortal"), method);
        m.setArguments(args);
        return QDBusConnection::sessionBus().call(m);
    }

    QProcess m_process;
};

struct Keys
{
    QWidget owner;
    THookHotKey hotKey{&owner};
    int fired = 0;
    int firedIndex = 0;
    Keys()
    {
        hotKey.Activate = false;
        hotKey.setOnHotKey([this](QObject *, int index) {
            ++fired;
            firedIndex = index;
        });
    }
};

TEST(PortalHotKey, TheBoundShortcutFiresOnceForEachActivationOfItsOwn)
{
    FakePortal portal(QStringLiteral("shortcuts"));
    Keys keys;
    EXPECT_EQ(keys.hotKey.backend(), HotKeyBackend::Portal);
    ASSERT_TRUE(keys.hotKey.AddHotKey(1, DefaultHotKey1, StopReading));
    EXPECT_FALSE(keys.hotKey.isRegistered(1)) << "bound only once the portal has answered";
    ASSERT_TRUE(QTest::qWaitFor([&] { return keys.hotKey.isRegistered(1); }, 10000));
    EXPECT_EQ(keys.hotKey.hint(MenuHint), MenuHint);

    const QList<QStringList> bound = portal.logged(QStringLiteral("bind"));
    ASSERT_EQ(bound.size(), 1);
    const QString session = bound[0].value(0);
    EXPECT_EQ(bound[0].mid(1),
              QStringList({StopReading.id, StopReading.description, QStringLiteral("CTRL+ALT+r")}));
    EXPECT_EQ(portal.logged(QStringLiteral("create")), QList<QStringList>{{session}});

    // Another shortcut id, and this id in another program's session, are not this key; they
    // come first, so by the time this key fires they have been seen.
    portal.press(QStringLiteral("other"), session);
    portal.press(StopReading.id, QStringLiteral("/org/freedesktop/portal/desktop/session/1_9/x"));
    portal.press(StopReading.id, session);
    ASSERT_TRUE(QTest::qWaitFor([&] { return keys.fired > 0; }, 5000));
    EXPECT_EQ(keys.fired, 1);
    EXPECT_EQ(keys.firedIndex, 1);

    // Removing the key closes its session. Bound again, it gets a new one (a session binds
    // its shortcuts once), and only that one's activations reach the handler.
    ASSERT_TRUE(keys.hotKey.RemoveHotKey(1));
    EXPECT_FALSE(keys.hotKey.isRegistered(1));
    ASSERT_TRUE(keys.hotKey.AddHotKey(1, DefaultHotKey1, StopReading));
    ASSERT_TRUE(QTest::qWaitFor([&] { return keys.hotKey.isRegistered(1); }, 10000));
    const QList<QStringList> created = portal.logged(QStringLiteral("create"));
    ASSERT_EQ(created.size(), 2);
    EXPECT_EQ(portal.logged(QStringLiteral("close")), QList<QStringList>{{session}});
    portal.press(StopReading.id, session);
    portal.press(StopReading.id, created[1].value(0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return keys.fired > 1; }, 5000));
    EXPECT_EQ(keys.fired, 2);
}

TEST(PortalHotKey, WithoutAWorkingPortalNoKeyIsBoundAndTheHintSaysSo)
{
    struct Case
    {
        const char *mode;
        bool sessionCreated;
    };
    const Case cases[] = {
        {"", false},       // no portal on the bus
        {"absent", false}, // a portal without GlobalShortcuts
        {"fail", false},   // CreateSession fails
        {"cancel", true},  // the binding is turned down; the session is closed again
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.mode);
        FakePortal portal(QString::fromLatin1(c.mode));
        Keys keys;
        QSignalSpy answered(&keys.hotKey, &THookHotKey::availabilityChanged);
        EXPECT_EQ(keys.hotKey.hint(MenuHint), MenuHint) << "nothing is known before asking";
        ASSERT_TRUE(keys.hotKey.AddHotKey(1, DefaultHotKey1, StopReading));
        ASSERT_TRUE(answered.wait(10000));
        EXPECT_FALSE(keys.hotKey.isRegistered(1));
        EXPECT_EQ(keys.hotKey.backend(), HotKeyBackend::None);
        const QString hint = keys.hotKey.hint(MenuHint);
        EXPECT_TRUE(hint.startsWith(MenuHint) && hint.contains(NoKeyHere)) << hint.toStdString();
        if (*c.mode) {
            const QList<QStringList> created = portal.logged(QStringLiteral("create"));
            EXPECT_EQ(created.size(), c.sessionCreated ? 1 : 0);
            if (c.sessionCreated) {
                EXPECT_TRUE(QTest::qWaitFor(
                    [&] { return portal.logged(QStringLiteral("close")) == created; }, 5000));
            }
        }
        // The switch may be tried again, and is asked of the portal again.
        EXPECT_TRUE(keys.hotKey.AddHotKey(1, DefaultHotKey1, StopReading));
        ASSERT_TRUE(answered.wait(10000));
        EXPECT_FALSE(keys.hotKey.isRegistered(1));
    }
}

} // namespace

int main(int argc, char **argv)
{
    // Only on the private bus portal_session.sh starts, never on the desktop's own.
    if (qEnvironmentVariableIsEmpty("KOTONAMI_FAKE_PORTAL") ||
        qEnvironmentVariableIsEmpty("KOTONAMI_PYTHON")) {
        std::fputs("run through portal_session.sh\n", stderr);
        return 77;
    }
    qputenv("XDG_SESSION_TYPE", "wayland");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
