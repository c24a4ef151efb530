#pragma once

// Where the global hot key comes from on this desktop. On X11 the program grabs the key on
// the root window itself; a Wayland compositor lets no program do that, so there the key is
// asked of the desktop portal's GlobalShortcuts interface, and where that is missing or
// refused no key works while another program has the focus, which the menu item's hint then
// tells.
//
// Hot keys are given as UI shortcut values: a key code in the low byte (the letter's
// upper-case code for letters, "0".."9" for digits, 0x70 + n for F1 + n) and the flags
// 0x2000 Shift, 0x4000 Ctrl and 0x8000 Alt. Ctrl+Alt+R is 0xC052.

#include <QString>

namespace speech {

inline constexpr int ShortcutShift = 0x2000;
inline constexpr int ShortcutCtrl = 0x4000;
inline constexpr int ShortcutAlt = 0x8000;
inline constexpr int DefaultHotKey1 = ShortcutCtrl | ShortcutAlt | 0x52; // Ctrl+Alt+R, 49234

enum class HotKeyBackend { X11, Portal, None };

// What the portal answered the last time a key was bound through it.
enum class PortalAnswer {
    NotAsked,
    NoShortcuts, // no portal, or one without the GlobalShortcuts interface
    Bound,
    Refused, // the portal (or the user in its dialog) turned the session or the key down
};

struct HotKeyDesktop
{
    QString platformName;       // QGuiApplication::platformName()
    bool x11Connection = false; // the platform has a connection to an X server
    QString sessionType;        // XDG_SESSION_TYPE
    PortalAnswer portal = PortalAnswer::NotAsked;
};

struct HotKeyPlan
{
    HotKeyBackend backend;
    QString hint; // the hot key menu item's status hint and tooltip
};

// menuHint is the item's own hint; the plan's hint adds why no key can work where none can.
HotKeyPlan planHotKey(const HotKeyDesktop &desktop, const QString &menuHint);

// The shortcut value as a trigger of the freedesktop shortcuts format, modifiers and an xkb
// key name joined by "+" ("CTRL+ALT+r"); empty for keys it does not describe.
QString portalTrigger(int shortcut);

} // namespace speech
