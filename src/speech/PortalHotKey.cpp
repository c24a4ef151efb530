#include "speech/PortalHotKey.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QRandomGenerator>
#include <QTimer>

#include <functional>
#include <utility>

namespace speech {

namespace {

constexpr QLatin1String PortalService("org.freedesktop.portal.Desktop");
constexpr QLatin1String DesktopPath("/org/freedesktop/portal/desktop");
constexpr QLatin1String ShortcutsInterface("org.freedesktop.portal.GlobalShortcuts");
constexpr QLatin1String RequestInterface("org.freedesktop.portal.Request");
constexpr QLatin1String SessionInterface("org.freedesktop.portal.Session");
constexpr uint ResponseSuccess = 0;
constexpr uint ResponseFailed = 2;

// One entry of BindShortcuts' a(sa{sv}): the shortcut id and its description and trigger.
struct PortalShortcut
{
    QString id;
    QVariantMap options;
};

QDBusArgument &operator<<(QDBusArgument &a, const PortalShortcut &s)
{
    a.beginStructure();
    a << s.id << s.options;
    a.endStructure();
    return a;
}

const QDBusArgument &operator>>(const QDBusArgument &a, PortalShortcut &s)
{
    a.beginStructure();
    a >> s.id >> s.options;
    a.endStructure();
    return a;
}

// Request and session tokens: object path elements unique within this program's connection.
QString newToken()
{
    static int counter = 0;
    return QStringLiteral("kotonami_%1_%2")
        .arg(++counter)
        .arg(QRandomGenerator::global()->generate());
}

// The session handle comes as a string (its documented type) or, from some portals, as an
// object path.
QString sessionHandleOf(const QVariant &v)
{
    if (v.metaType() == QMetaType::fromType<QDBusObjectPath>())
        return v.value<QDBusObjectPath>().path();
    return v.toString();
}

} // namespace

// One portal call's Request object. It listens for Response on the path the request will
// have before the call goes out: the portal may answer before its reply to the call arrives,
// and a listener added after the reply would miss that answer.
class PortalRequest : public QObject
{
    Q_OBJECT

public:
    using Done = std::function<void(uint response, const QVariantMap &results)>;

    PortalRequest(const QDBusConnection &bus, const QString &path, Done done, QObject *parent)
        : QObject(parent), m_bus(bus), m_done(std::move(done))
    {
        listen(path);
    }
    ~PortalRequest() override { stopListening(); }

    // Sends the call; its reply names the request, which an older portal may have put
    // somewhere else than asked.
    void send(const QDBusMessage &call)
    {
        auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this](QDBusPendingCallWatcher *w) {
                    w->deleteLater();
                    const QDBusPendingReply<QDBusObjectPath> reply = *w;
                    if (reply.isError())
                        answer(ResponseFailed, {}); // no Response follows a failed call
                    else if (!m_answered && reply.value().path() != m_path) {
                        stopListening();
                        listen(reply.value().path());
                    }
                });
    }

public Q_SLOTS:
    void response(uint code, const QVariantMap &results) { answer(code, results); }

private:
    void answer(uint code, const QVariantMap &results)
    {
        if (m_answered)
            return;
        m_answered = true;
        stopListening();
        deleteLater();
        m_done(code, results);
    }
    void listen(const QString &path)
    {
        m_path = path;
        m_bus.connect(PortalService, m_path, RequestInterface, QStringLiteral("Response"), this,
                      SLOT(response(uint, QVariantMap)));
    }
    void stopListening()
    {
        if (m_path.isEmpty())
            return;
        m_bus.disconnect(PortalService, m_path, RequestInterface, QStringLiteral("Response"), this,
                         SLOT(response(uint, QVariantMap)));
        m_path.clear();
    }

    QDBusConnection m_bus;
    Done m_done;
    QString m_path;
    bool m_answered = false;
};

PortalHotKey::PortalHotKey(const QDBusConnection &bus, QObject *parent)
    : QObject(parent), m_bus(bus)
{
    static const bool registered = [] {
        qDBusRegisterMetaType<PortalShortcut>();
        qDBusRegisterMetaType<QList<PortalShortcut>>();
        return true;
    }();
    Q_UNUSED(registered)
}

PortalHotKey::~PortalHotKey()
{
    close();
}

void PortalHotKey::bind(const QString &id, const QString &description, const QString &trigger)
{
    close();
    m_id = id;
    m_description = description;
    m_trigger = trigger;
    m_state = State::Binding;
    const int generation = m_generation;
    if (!m_bus.isConnected()) {
        // Told later all the same, as every other outcome is.
        QTimer::singleShot(0, this, [this, generation] {
            if (generation == m_generation)
                finish(State::NoShortcuts);
        });
        return;
    }
    // The interface's version property exists exactly where the portal offers the interface.
    QDBusMessage get = QDBusMessage::createMethodCall(
        PortalService, DesktopPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << QString(ShortcutsInterface) << QStringLiteral("version");
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(get), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, generation](QDBusPendingCallWatcher *w) {
                w->deleteLater();
                if (generation != m_generation)
                    return;
                if (w->isError())
                    finish(State::NoShortcuts);
                else
                    createSession(generation);
            });
}

void PortalHotKey::createSession(int generation)
{
    const QString token = newToken();
    auto *request = new PortalRequest(
        m_bus, requestPath(token),
        [this, generation](uint code, const QVariantMap &results) {
            const QString session =
                sessionHandleOf(results.value(QStringLiteral("session_handle")));
            if (generation != m_generation || code != ResponseSuccess || session.isEmpty()) {
                closeSession(session);
                if (generation == m_generation)
                    finish(State::Refused);
                return;
            }
            m_session = session;
            bindShortcut(generation);
        },
        this);
    QDBusMessage call = QDBusMessage::createMethodCall(
        PortalService, DesktopPath, ShortcutsInterface, QStringLiteral("CreateSession"));
    call << QVariantMap{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("session_handle_token"), newToken()}};
    request->send(call);
}

void PortalHotKey::bindShortcut(int generation)
{
    // Listening before the shortcut is bound: the first press may follow the binding at once.
    if (!m_listening)
        m_listening = m_bus.connect(
            PortalService, DesktopPath, ShortcutsInterface, QStringLiteral("Activated"), this,
            SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    const QString token = newToken();
    auto *request = new PortalRequest(
        m_bus, requestPath(token),
        [this, generation](uint code, const QVariantMap &) {
            if (generation != m_generation)
                return; // close() has closed the session already
            if (code != ResponseSuccess) {
                // A session whose one binding was turned down is of no more use.
                closeSession(m_session);
                m_session.clear();
                finish(State::Refused);
                return;
            }
            finish(State::Bound);
        },
        this);
    QVariantMap shortcut{{QStringLiteral("description"), m_description}};
    if (!m_trigger.isEmpty())
        shortcut.insert(QStringLiteral("preferred_trigger"), m_trigger);
    QDBusMessage call = QDBusMessage::createMethodCall(
        PortalService, DesktopPath, ShortcutsInterface, QStringLiteral("BindShortcuts"));
    call << QVariant::fromValue(QDBusObjectPath(m_session))
         << QVariant::fromValue(QList<PortalShortcut>{{m_id, shortcut}})
         << QString() // no parent window: a Wayland window has no identifier to give here
         << QVariantMap{{QStringLiteral("handle_token"), token}};
    request->send(call);
}

void PortalHotKey::onActivated(const QDBusObjectPath &session, const QString &id, qulonglong,
                               const QVariantMap &)
{
    if (m_state == State::Bound && session.path() == m_session && id == m_id)
        Q_EMIT activated();
}

void PortalHotKey::finish(State state)
{
    if (state != State::Bound)
        stopListening();
    m_state = state;
    Q_EMIT stateChanged(state);
}

void PortalHotKey::close()
{
    ++m_generation;
    stopListening();
    closeSession(m_session);
    m_session.clear();
    m_state = State::Idle;
}

void PortalHotKey::stopListening()
{
    if (!m_listening)
        return;
    m_bus.disconnect(PortalService, DesktopPath, ShortcutsInterface, QStringLiteral("Activated"),
                     this, SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    m_listening = false;
}

void PortalHotKey::closeSession(const QString &session)
{
    if (session.isEmpty() || !m_bus.isConnected())
        return;
    // Sent without waiting for the reply: nothing is left to do whatever it says.
    m_bus.send(QDBusMessage::createMethodCall(PortalService, session, SessionInterface,
                                              QStringLiteral("Close")));
}

QString PortalHotKey::requestPath(const QString &token) const
{
    // The documented place of a request: the caller's unique name without its ':' and with
    // '_' for '.', then the token.
    QString sender = m_bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QString(DesktopPath) + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
}

} // namespace speech

#include "PortalHotKey.moc"
