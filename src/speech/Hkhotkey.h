#pragma once

// THookHotKey: system-wide hot keys on X11, grabbed on the root window so that they work
// while another program has the focus or the window is minimised. Where there is no X11
// connection (Wayland, the offscreen platform) registration fails and the keys stay
// silently inactive.
//
// Hot keys are given as UI shortcut values: a key code in the low byte (the letter's
// upper-case code for letters, "0".."9" for digits, 0x70 + n for F1 + n) and the flags
// 0x2000 Shift, 0x4000 Ctrl and 0x8000 Alt. Ctrl+Alt+R is 0xC052.

#include <QAbstractNativeEventFilter>
#include <QList>
#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

namespace speech {

inline constexpr int ShortcutShift = 0x2000;
inline constexpr int ShortcutCtrl = 0x4000;
inline constexpr int ShortcutAlt = 0x8000;
inline constexpr int DefaultHotKey1 = ShortcutCtrl | ShortcutAlt | 0x52; // Ctrl+Alt+R, 49234

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

    // False when the key cannot be grabbed (no X11, another client holds it, a key
    // without a keysym) or index is already in use.
    bool AddHotKey(int index, int shortcut);
    bool RemoveHotKey(int index);
    bool isRegistered(int index) const;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    struct Grab
    {
        int index;
        std::uint16_t modifiers;
        QList<std::uint8_t> keycodes;
    };
    void ungrab(const Grab &grab);
    void fire(int index);

    QPointer<QWidget> m_owner;
    HotKeyHandler m_onHotKey;
    QList<Grab> m_grabs;
    std::uint16_t m_numLock = 0;
    bool m_filterInstalled = false;
};

} // namespace speech
