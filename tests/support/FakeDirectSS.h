#pragma once

// A speech control for tests: it offers the modes it is given, records every call and
// reports a text as spoken only when the test says so. Like the real control, ResetAudio
// drops the texts still queued, and they never report completion.

#include "speech/DirectSS.h"

#include <QList>
#include <QStringList>

class FakeDirectSS : public speech::TDirectSS
{
public:
    struct Mode
    {
        QString modeName;
        QString speakerName;
    };

    QList<Mode> modes;
    QStringList calls;   // "Reset", "Speak:<text>", "Pause", "Resume", "Select:<n>", ...
    QStringList spoken;  // every text handed to SpeakText, in order
    QStringList pending; // texts not yet reported as spoken
    int selectedMode = 0;
    int speed = 0;

    int GetModeCount() const override { return int(modes.size()); }
    QString GetModeName(int mode) const override
    {
        return mode >= 1 && mode <= modes.size() ? modes[mode - 1].modeName : QString();
    }
    QString GetSpeakerName(int mode) const override
    {
        return mode >= 1 && mode <= modes.size() ? modes[mode - 1].speakerName : QString();
    }
    void SelectMode(int mode) override
    {
        selectedMode = mode;
        calls << QStringLiteral("Select:%1").arg(mode);
    }
    void SpeakText(const QString &text) override
    {
        calls << QStringLiteral("Speak:") + text;
        spoken << text;
        pending << text;
    }
    void ResetAudio() override
    {
        calls << QStringLiteral("Reset");
        pending.clear();
    }
    void PauseAudio() override { calls << QStringLiteral("Pause"); }
    void ResumeAudio() override { calls << QStringLiteral("Resume"); }
    void setSpeed(int wordsPerMinute) override
    {
        speed = wordsPerMinute;
        calls << QStringLiteral("Speed:%1").arg(wordsPerMinute);
    }
    double outputVolume = -1; // never set
    void setOutputVolume(double volume) override { outputVolume = volume; }

    // The oldest queued text has been spoken.
    void finishCurrent()
    {
        if (pending.isEmpty())
            return;
        pending.removeFirst();
        Q_EMIT OnTextDataDone();
    }
};
