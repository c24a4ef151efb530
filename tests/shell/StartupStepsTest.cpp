// The window's start-up after the settings are read, against a recording stand-in.
#include "RecordingSettings.h"
#include "TestPrinters.h"

#include "settings/IniFile.h"
#include "shell/StartupSteps.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct RecordingWindow final : testsupport::RecordingTarget, shell::StartupSteps
{
    int volume = 32768;
    void applyPanesAndWindow() override { log << QStringLiteral("apply panes and window"); }
    void updateLauncherHints() override { log << QStringLiteral("launcher hints"); }
    void setSavedPairColors(const QString &a, const QString &b) override
    {
        log << QStringLiteral("saved pair ") + a + QStringLiteral(" ") + b;
    }
    void showMouth(bool shown) override { log << QStringLiteral("mouth %1").arg(shown); }
    void listSpeakers() override { log << QStringLiteral("list speakers"); }
    int outputVolume() const override { return volume; }
    void setVolumeBar(int v, const QString &hint) override
    {
        log << QStringLiteral("volume %1 ").arg(v) + hint;
    }
    void setSpeedBar(int v, const QString &hint) override
    {
        log << QStringLiteral("speed %1 ").arg(v) + hint;
    }
    void setRepeatSpinner(int v) override { log << QStringLiteral("spinner %1").arg(v); }
    void setClipboardReading(bool on) override { log << QStringLiteral("clipboard %1").arg(on); }
    void registerHotKey() override { log << QStringLiteral("register hot key"); }
};

} // namespace

// Each settings file, and the start-up that follows from it, in order.
TEST(StartupSteps, FollowTheSettingsJustRead)
{
    const QStringList common = {QStringLiteral("apply panes and window"),
                                QStringLiteral("launcher hints")};
    struct Case
    {
        QList<std::array<const char16_t *, 3>> ini;
        int volume;
        QStringList steps;
    };
    const Case cases[] = {
        {{},
         32768,
         {QStringLiteral("saved pair #8080FF #D0A2A2"), QStringLiteral("mouth 1"),
          QStringLiteral("list speakers"), QStringLiteral("volume 32768 Volume  50"),
          QStringLiteral("speed 150 Speed 150"), QStringLiteral("spinner 0"),
          QStringLiteral("clipboard 0")}},
        {{{{u"Form\\HotKeyCheckChecked", u"Boolean", u"1"}},
          {{u"Form\\FSpd", u"Integer", u"170"}},
          {{u"Form\\fRepNum", u"Integer", u"3"}},
          {{u"Form\\mclo", u"string", u"#112233"}},
          {{u"Form\\ShowCheckBoxChecked", u"Boolean", u"0"}},
          {{u"Form\\ClipSpeechCheckBoxChecked", u"Boolean", u"1"}}},
         655 * 7 + 654,
         {QStringLiteral("saved pair #112233 #D0A2A2"), QStringLiteral("mouth 0"),
          QStringLiteral("list speakers"), QStringLiteral("volume 5239 Volume  7"),
          QStringLiteral("speed 170 Speed 170"), QStringLiteral("spinner 3"),
          QStringLiteral("clipboard 1"), QStringLiteral("register hot key")}},
    };
    for (const Case &c : cases) {
        QTemporaryDir dir;
        settings::TRegManager reg;
        reg.setIniFileName(dir.filePath(QStringLiteral("kotonami.ini")));
        settings::IniFile ini(reg.IniFileName());
        for (const auto &[section, ident, value] : c.ini)
            ini.writeString(section, ident, value);
        RecordingWindow w;
        w.volume = c.volume;
        settings::loadSettings(reg, w);
        w.log.clear();
        shell::runStartupSteps(w, w);
        EXPECT_EQ(w.log, common + c.steps);
    }
}
