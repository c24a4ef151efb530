#pragma once

// PortalHotKey: one global shortcut bound through the desktop portal's GlobalShortcuts
// interface (org.freedesktop.portal.Desktop), the way a Wayland desktop lets a program have
// a key that works while another program has the focus. bind() checks that the portal has
// the interface, creates a session and binds the shortcut; each step answers through a
// Request object's Response signal, and every call is asynchronous, so the window never
// waits on the portal or on the dialog it may show. stateChanged tells how it ended;
// activated fires once for each Activated signal of this session and shortcut id.

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>

class QDBusObjectPath;

namespace speech {

class PortalHotKey : public QObject
{
    Q_OBJECT

public:
    enum class State {
        Idle,
        Binding,
        Bound,
        NoShortcuts, // no portal on the bus, or one without GlobalShortcuts
        Refused,     // the portal failed or turned the session or the shortcut down
    };
    Q_ENUM(State)

    explicit PortalHotKey(const QDBusConnection &bus, QObject *parent = nullptr);
    ~PortalHotKey() override;

    // trigger is the preferred trigger in the shortcuts format ("CTRL+ALT+r"); the desktop
    // may offer the user another. A second bind() first closes what the first one made.
    void bind(const QString &id, const QString &description, const QString &trigger);
    // Closes the session; answers still on their way are dropped, a session they bring is
    // closed as well.
    void close();

    State state() const { return m_state; }
    QString sessionHandle() const { return m_session; }

Q_SIGNALS:
    void stateChanged(speech::PortalHotKey::State state);
    void activated();

private Q_SLOTS:
    void onActivated(const QDBusObjectPath &session, const QString &id, qulonglong timestamp,
                     const QVariantMap &options);

private:
    void createSession(int generation);
    void bindShortcut(int generation);
    void finish(State state);
    void stopListening();
    void closeSession(const QString &session);
    QString requestPath(const QString &token) const;

    QDBusConnection m_bus;
    QString m_id;
    QString m_description;
    QString m_trigger;
    QString m_session;
    State m_state = State::Idle;
    // Raised by close() and bind(): answers that belong to an earlier attempt are dropped.
    int m_generation = 0;
    bool m_listening = false;
};

} // namespace speech
