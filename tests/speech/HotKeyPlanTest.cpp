#include "QtPrinters.h"

#include "speech/HotKeyPlan.h"

#include <gtest/gtest.h>

using namespace speech;

namespace {

TEST(HotKeyPlan, X11GrabsUnlessWaylandThenThePortalAndTheHintTellsWhenNeitherWorks)
{
    const QString menuHint = QStringLiteral("Ctrl + Alt + R で 最小化でも Reset します");
    const QString why = QStringLiteral("ほかのアプリの使用中に効くホットキーを登録できません");
    struct Case
    {
        const char *platform;
        bool x11;
        const char *session;
        PortalAnswer portal;
        HotKeyBackend backend;
    };
    const Case cases[] = {
        {"xcb", true, "x11", PortalAnswer::NotAsked, HotKeyBackend::X11},
        // An X11 program on a Wayland desktop grabs through Xwayland, portal or not, and
        // says that it works only while an X11 window has the focus.
        {"xcb", true, "wayland", PortalAnswer::NoShortcuts, HotKeyBackend::X11},
        // No X and no Wayland (the offscreen platform): the grab fails quietly, as ever.
        {"offscreen", false, "", PortalAnswer::NotAsked, HotKeyBackend::X11},
        {"offscreen", false, "tty", PortalAnswer::Refused, HotKeyBackend::X11},
        {"wayland", false, "wayland", PortalAnswer::NotAsked, HotKeyBackend::Portal},
        {"wayland-egl", false, "", PortalAnswer::Bound, HotKeyBackend::Portal},
        {"offscreen", false, "wayland", PortalAnswer::NotAsked, HotKeyBackend::Portal},
        {"wayland", false, "wayland", PortalAnswer::NoShortcuts, HotKeyBackend::None},
        {"wayland", false, "wayland", PortalAnswer::Refused, HotKeyBackend::None},
        {"offscreen", false, "wayland", PortalAnswer::NoShortcuts, HotKeyBackend::None},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << c.platform << " x11=" << c.x11 << " session="
                                          << c.session << " portal=" << int(c.portal));
        const HotKeyDesktop desktop{QString::fromLatin1(c.platform), c.x11,
                                    QString::fromLatin1(c.session), c.portal};
        const HotKeyPlan plan = planHotKey(desktop, menuHint);
        EXPECT_EQ(plan.backend, c.backend);
        if (c.backend == HotKeyBackend::None) {
            EXPECT_TRUE(plan.hint.startsWith(menuHint)) << plan.hint.toStdString();
            EXPECT_TRUE(plan.hint.contains(why)) << plan.hint.toStdString();
            EXPECT_TRUE(planHotKey(desktop, {}).hint.startsWith(QStringLiteral("このデスクトップ")))
                << "without a hint of its own the item gets the reason alone";
        } else if (c.backend == HotKeyBackend::X11 && QLatin1String(c.session) == "wayland") {
            EXPECT_TRUE(plan.hint.startsWith(menuHint)) << plan.hint.toStdString();
            EXPECT_TRUE(plan.hint.contains(QStringLiteral("X11 のウィンドウが前面にあるときだけ")))
                << plan.hint.toStdString();
        } else {
            EXPECT_EQ(plan.hint, menuHint);
        }
    }
}

TEST(HotKeyPlan, ShortcutValuesBecomePortalTriggers)
{
    const std::pair<int, const char *> cases[] = {
        {DefaultHotKey1, "CTRL+ALT+r"},
        {ShortcutShift | 0x74, "SHIFT+F5"},
        {ShortcutCtrl | ShortcutAlt | ShortcutShift | 0x7B, "CTRL+ALT+SHIFT+F12"},
        {ShortcutCtrl | '7', "CTRL+7"},
        {'Z', "z"},
        {ShortcutCtrl | 0xBA, ""}, // a key without a name here
        {ShortcutCtrl | 0x7C, ""},
    };
    for (const auto &[shortcut, trigger] : cases)
        EXPECT_EQ(portalTrigger(shortcut), QString::fromLatin1(trigger)) << shortcut;
}

} // namespace
