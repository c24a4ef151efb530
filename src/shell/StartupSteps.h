#pragma once
// The window's start-up once its settings are read (settings::loadSettings): the restored
// panes and bounds take effect, then the launcher hints, the page colours, the speech
// control and its speakers, the volume, speed and repetition controls, the clipboard reading
// and the hot key, in that order, each from the settings just read.

#include "settings/RegMng.h"

#include <QString>

namespace shell {

class StartupSteps
{
public:
    virtual ~StartupSteps() = default;
    virtual void applyPanesAndWindow() = 0;
    virtual void updateLauncherHints() = 0; // the two "起" buttons
    virtual void setSavedPairColors(const QString &first, const QString &second) = 0;
    virtual void showMouth(bool shown) = 0; // the speech control
    virtual void listSpeakers() = 0;        // speaker detection
    virtual int outputVolume() const = 0;   // 0-65535
    virtual void setVolumeBar(int volume, const QString &hint) = 0;
    virtual void setSpeedBar(int speed, const QString &hint) = 0;
    virtual void setRepeatSpinner(int count) = 0;
    virtual void setClipboardReading(bool on) = 0; // the watcher and the ClipbrdSpeech1 mark
    virtual void registerHotKey() = 0;
};

void runStartupSteps(StartupSteps &window, const settings::SettingsTarget &read);

} // namespace shell
