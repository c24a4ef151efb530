#include "speech/HotKeyPlan.h"

namespace speech {

HotKeyPlan planHotKey(const HotKeyDesktop &desktop, const QString &menuHint)
{
    // An X11 program on a Wayland desktop (through Xwayland) still grabs through X11, and
    // says where that works: the portal is for the Wayland platform, or a platform without X
    // while the session says Wayland.
    const bool wayland =
        desktop.platformName.startsWith(QLatin1String("wayland")) ||
        (!desktop.x11Connection &&
         desktop.sessionType.compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0);
    const auto withReason = [&menuHint](const QString &why) {
        return menuHint.isEmpty() ? why
                                  : menuHint + QStringLiteral("（") + why + QStringLiteral("）");
    };
    if (!wayland) {
        // Through Xwayland the grab sees keys only while an X11 window has the focus.
        if (desktop.sessionType.compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0)
            return {HotKeyBackend::X11,
                    withReason(QStringLiteral("Wayland のデスクトップでは、X11 のウィンドウが"
                                              "前面にあるときだけ効きます"))};
        return {HotKeyBackend::X11, menuHint};
    }
    if (desktop.portal == PortalAnswer::NoShortcuts || desktop.portal == PortalAnswer::Refused)
        return {HotKeyBackend::None,
                withReason(QStringLiteral(
                    "このデスクトップでは、ほかのアプリの使用中に効くホットキーを登録できません"))};
    return {HotKeyBackend::Portal, menuHint};
}

QString portalTrigger(int shortcut)
{
    const int key = shortcut & 0xFF;
    QString name;
    if (key >= 'A' && key <= 'Z')
        name = QChar(key - 'A' + 'a');
    else if (key >= '0' && key <= '9')
        name = QChar(key);
    else if (key >= 0x70 && key <= 0x7B)
        name = QStringLiteral("F%1").arg(key - 0x70 + 1);
    else
        return {};
    QString trigger;
    if (shortcut & ShortcutCtrl)
        trigger += QStringLiteral("CTRL+");
    if (shortcut & ShortcutAlt)
        trigger += QStringLiteral("ALT+");
    if (shortcut & ShortcutShift)
        trigger += QStringLiteral("SHIFT+");
    return trigger + name;
}

} // namespace speech
