#include "shell/StartupSteps.h"

namespace shell {

void runStartupSteps(StartupSteps &window, const settings::SettingsTarget &read)
{
    window.applyPanesAndWindow();
    window.updateLauncherHints();
    window.setSavedPairColors(read.styleValue(QStringLiteral("mclo")),
                              read.styleValue(QStringLiteral("mclt")));
    window.showMouth(read.checkBoxChecked(QStringLiteral("ShowCheckBox")));
    window.listSpeakers();
    const int volume = window.outputVolume();
    window.setVolumeBar(volume, QStringLiteral("Volume  ") + QString::number(volume / 655));
    const int speed = read.speechSpeed();
    window.setSpeedBar(speed, QStringLiteral("Speed ") + QString::number(speed));
    window.setRepeatSpinner(read.repeatCount());
    window.setClipboardReading(read.checkBoxChecked(QStringLiteral("ClipSpeechCheckBox")));
    if (read.menuChecked(QStringLiteral("HotKeyCheck")))
        window.registerHotKey();
}

} // namespace shell
