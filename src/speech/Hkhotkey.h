#pragma once

// THookHotKey: system-wide hot keys, working while another program has the focus or the
// window is minimised. On X11 they are grabbed on the root window; on a Wayland desktop
// they are bound through the desktop portal's GlobalShortcuts interface (see HotKeyPlan.h
// for the choice). Where neither can work (no X11 connection outside Wayland, the offscreen
// platform, a Wayland desktop without the portal or one that refuses) the keys stay
// inactive, and hint() says why on Wayland. The shortcut values are those of HotKeyPlan.h.

#include "speech/HotKeyPlan.h"

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

namespace speech {

class PortalHotKey;

// A shortcut value as an X keysym and X modifier mask; nullopt for keys this cannot grab.
struct HotKeyChord
{
    std::uint32_t keysym;
    std::uint16_t modifiers;
};
std::optional<HotKeyChord> hotKeyChord(int shortcut);

class THookHotKey : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    using HotKeyHandler = std::function<void(QObject *sender, int index)>;

    // owner is the window brought to the front when a hot key is pressed.
    explicit THookHotKey(QWidget *owner);
    ~THookHotKey() override;

    bool Activate = true;
    void setOnHotKey(HotKeyHandler handler) { m_onHotKey = std::move(handler); }

    // How the desktop's shortcut settings show a key bound through the portal.
    struct Name
    {
        QString id;          // "stop-reading"
        QString description; // shown to the user beside the trigger
    };

    // On X11, false when the key cannot be grabbed (no X11, another client holds it, a key
    // without a keysym) or index is already in use. Through the portal, true when the
    // binding has started: the portal and its dialog answer later, isRegistered() turns
    // true once the key is bound, and availabilityChanged tells either outcome.
    bool AddHotKey(int index, int shortcut, const Name &name = {});
    bool RemoveHotKey(int index);
    bool isRegistered(int index) const;

    // The way keys are registered on this desktop as far as it is known now, and the hot
    // key menu item's hint with why no key can work where that is so.
    HotKeyBackend backend() const;
    QString hint(const QString &menuHint) const;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

Q_SIGNALS:
    // The portal answered a binding: hint() and isRegistered() may have changed.
    void availabilityChanged();

private:
    struct Grab
    {
        int index;
        std::uint16_t modifiers;
        QList<std::uint8_t> keycodes;
    };
    void ungrab(const Grab &grab);
    void fire(int index);
    HotKeyDesktop desktop() const;
    bool bindThroughPortal(int index, int shortcut, const Name &name);

    QPointer<QWidget> m_owner;
    HotKeyHandler m_onHotKey;
    QList<Grab> m_grabs;
    QHash<int, PortalHotKey *> m_portalKeys;
    PortalAnswer m_portalAnswer = PortalAnswer::NotAsked;
    std::uint16_t m_numLock = 0;
    bool m_filterInstalled = false;
};

} // namespace speech
