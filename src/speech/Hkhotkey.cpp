#include "speech/Hkhotkey.h"

#include "speech/PortalHotKey.h"

#include <QDBusConnection>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QtDebug>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdlib>
#include <exception>
#include <memory>

namespace speech {

namespace {

constexpr std::uint32_t KeysymF1 = 0xFFBE;
constexpr std::uint32_t KeysymNumLock = 0xFF7F;
// The modifiers a hot key is told apart by; Caps Lock, Num Lock and the rest are ignored.
constexpr std::uint16_t ChordModifiers =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

xcb_connection_t *x11Connection()
{
    auto *app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return app ? app->connection() : nullptr;
}

xcb_window_t rootWindow(xcb_connection_t *c)
{
    const xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    return it.rem ? it.data->root : xcb_window_t(XCB_WINDOW_NONE);
}

struct KeySymbolsFree
{
    void operator()(xcb_key_symbols_t *s) const { xcb_key_symbols_free(s); }
};

QList<std::uint8_t> keycodesOf(xcb_connection_t *c, std::uint32_t keysym)
{
    QList<std::uint8_t> codes;
    const std::unique_ptr<xcb_key_symbols_t, KeySymbolsFree> symbols(xcb_key_symbols_alloc(c));
    if (!symbols)
        return codes;
    xcb_keycode_t *found = xcb_key_symbols_get_keycode(symbols.get(), keysym);
    for (xcb_keycode_t *k = found; k && *k != XCB_NO_SYMBOL; ++k)
        codes << *k;
    std::free(found);
    return codes;
}

// The modifier bit Num Lock sets on this server (Mod2 on nearly every keyboard map).
std::uint16_t numLockMask(xcb_connection_t *c)
{
    const QList<std::uint8_t> numLock = keycodesOf(c, KeysymNumLock);
    std::uint16_t mask = XCB_MOD_MASK_2;
    xcb_get_modifier_mapping_reply_t *reply =
        xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr);
    if (!reply)
        return mask;
    const xcb_keycode_t *map = xcb_get_modifier_mapping_keycodes(reply);
    const int perModifier = reply->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier)
        for (int i = 0; i < perModifier; ++i)
            if (map[modifier * perModifier + i] != 0 &&
                numLock.contains(map[modifier * perModifier + i]))
                mask = std::uint16_t(1u << modifier);
    std::free(reply);
    return mask;
}

} // namespace

std::optional<HotKeyChord> hotKeyChord(int shortcut)
{
    const int key = shortcut & 0xFF;
    std::uint32_t keysym = 0;
    if (key >= 'A' && key <= 'Z')
        keysym = std::uint32_t(key - 'A' + 'a');
    else if (key >= '0' && key <= '9')
        keysym = std::uint32_t(key);
    else if (key >= 0x70 && key <= 0x7B)
        keysym = KeysymF1 + std::uint32_t(key - 0x70);
    else
        return std::nullopt;
    std::uint16_t modifiers = 0;
    if (shortcut & ShortcutShift)
        modifiers |= XCB_MOD_MASK_SHIFT;
    if (shortcut & ShortcutCtrl)
        modifiers |= XCB_MOD_MASK_CONTROL;
    if (shortcut & ShortcutAlt)
        modifiers |= XCB_MOD_MASK_1;
    return HotKeyChord{keysym, modifiers};
}

THookHotKey::THookHotKey(QWidget *owner) : QObject(owner), m_owner(owner) {}

THookHotKey::~THookHotKey()
{
    for (const Grab &g : std::as_const(m_grabs))
        ungrab(g);
    if (m_filterInstalled && qGuiApp)
        qGuiApp->removeNativeEventFilter(this);
}

bool THookHotKey::isRegistered(int index) const
{
    for (const Grab &g : m_grabs)
        if (g.index == index)
            return true;
    const PortalHotKey *portal = m_portalKeys.value(index);
    return portal && portal->state() == PortalHotKey::State::Bound;
}

HotKeyDesktop THookHotKey::desktop() const
{
    return {QGuiApplication::platformName(), x11Connection() != nullptr,
            qEnvironmentVariable("XDG_SESSION_TYPE"), m_portalAnswer};
}

HotKeyBackend THookHotKey::backend() const
{
    return planHotKey(desktop(), {}).backend;
}

QString THookHotKey::hint(const QString &menuHint) const
{
    return planHotKey(desktop(), menuHint).hint;
}

bool THookHotKey::AddHotKey(int index, int shortcut, const Name &name)
{
    if (isRegistered(index) || m_portalKeys.contains(index))
        return false;
    // Every binding asks the portal again: a refusal may be a dialog the user closed, and
    // the hint keeps the last answer until the new one comes.
    HotKeyDesktop current = desktop();
    current.portal = PortalAnswer::NotAsked;
    switch (planHotKey(current, {}).backend) {
    case HotKeyBackend::Portal:
        return bindThroughPortal(index, shortcut, name);
    case HotKeyBackend::None:
        return false;
    case HotKeyBackend::X11:
        break;
    }
    xcb_connection_t *c = x11Connection();
    const std::optional<HotKeyChord> chord = hotKeyChord(shortcut);
    if (!c || !chord || isRegistered(index))
        return false;
    const xcb_window_t root = rootWindow(c);
    Grab grab{index, chord->modifiers, keycodesOf(c, chord->keysym)};
    if (root == XCB_WINDOW_NONE || grab.keycodes.isEmpty())
        return false;
    m_numLock = numLockMask(c);
    // The same chord with Caps Lock and Num Lock on, or the grab would miss it then.
    const std::uint16_t locks[] = {0, XCB_MOD_MASK_LOCK, m_numLock,
                                   std::uint16_t(XCB_MOD_MASK_LOCK | m_numLock)};
    bool ok = true;
    for (const std::uint8_t code : std::as_const(grab.keycodes))
        for (const std::uint16_t lock : locks) {
            const xcb_void_cookie_t cookie =
                xcb_grab_key_checked(c, 1, root, std::uint16_t(grab.modifiers | lock), code,
                                     XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
            if (xcb_generic_error_t *error = xcb_request_check(c, cookie)) {
                ok = false; // another client holds the key
                std::free(error);
            }
        }
    if (!ok) {
        ungrab(grab);
        return false;
    }
    m_grabs << grab;
    if (!m_filterInstalled) {
        qGuiApp->installNativeEventFilter(this);
        m_filterInstalled = true;
    }
    return true;
}

bool THookHotKey::bindThroughPortal(int index, int shortcut, const Name &name)
{
    const QString trigger = portalTrigger(shortcut);
    if (trigger.isEmpty())
        return false;
    const QString id = name.id.isEmpty() ? QStringLiteral("hotkey-%1").arg(index) : name.id;
    auto *portal = new PortalHotKey(QDBusConnection::sessionBus(), this);
    m_portalKeys.insert(index, portal);
    connect(portal, &PortalHotKey::activated, this, [this, index] { fire(index); });
    connect(portal, &PortalHotKey::stateChanged, this,
            [this, index, portal](PortalHotKey::State state) {
                if (state == PortalHotKey::State::Bound) {
                    m_portalAnswer = PortalAnswer::Bound;
                } else {
                    m_portalAnswer = state == PortalHotKey::State::NoShortcuts
                                         ? PortalAnswer::NoShortcuts
                                         : PortalAnswer::Refused;
                    m_portalKeys.remove(index);
                    portal->deleteLater();
                }
                Q_EMIT availabilityChanged();
            });
    portal->bind(id, name.description.isEmpty() ? id : name.description, trigger);
    return true;
}

bool THookHotKey::RemoveHotKey(int index)
{
    if (PortalHotKey *portal = m_portalKeys.take(index)) {
        // Later, not now: the call may come from this key's own handler.
        portal->disconnect(this);
        portal->close();
        portal->deleteLater();
        return true;
    }
    for (qsizetype i = 0; i < m_grabs.size(); ++i)
        if (m_grabs[i].index == index) {
            ungrab(m_grabs[i]);
            m_grabs.removeAt(i);
            return true;
        }
    return false;
}

void THookHotKey::ungrab(const Grab &grab)
{
    xcb_connection_t *c = x11Connection();
    if (!c)
        return;
    const xcb_window_t root = rootWindow(c);
    const std::uint16_t locks[] = {0, XCB_MOD_MASK_LOCK, m_numLock,
                                   std::uint16_t(XCB_MOD_MASK_LOCK | m_numLock)};
    for (const std::uint8_t code : grab.keycodes)
        for (const std::uint16_t lock : locks)
            xcb_ungrab_key(c, code, root, std::uint16_t(grab.modifiers | lock));
    xcb_flush(c);
}

bool THookHotKey::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (m_grabs.isEmpty() || eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const std::uint8_t type = event->response_type & 0x7F;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    // Key press and release events share one layout.
    const auto *key = reinterpret_cast<const xcb_key_press_event_t *>(event);
    const std::uint16_t modifiers = key->state & ChordModifiers;
    for (const Grab &g : std::as_const(m_grabs))
        if (g.modifiers == modifiers && g.keycodes.contains(key->detail) &&
            key->event == rootWindow(x11Connection())) {
            if (type == XCB_KEY_PRESS) {
                const int index = g.index;
                // Out of the event filter first: the handler may open windows or grab again.
                QTimer::singleShot(0, this, [this, index] { fire(index); });
            }
            return true;
        }
    return false;
}

void THookHotKey::fire(int index)
{
    if (!m_onHotKey)
        return;
    try {
        if (Activate && m_owner) {
            QWidget *w = m_owner->window();
            w->raise();
            w->activateWindow();
        }
        m_onHotKey(this, index);
    } catch (const std::exception &e) {
        qWarning("hot key: %s", e.what());
    }
}

} // namespace speech
