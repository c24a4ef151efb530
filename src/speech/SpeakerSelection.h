#pragma once

// The six speakers: which voice mode belongs to whom (detection, FLID), choosing one with
// its button or menu item, and the chosen speaker kept as fSpeechID. QtCore only; the
// window implements SpeakerHost.

#include "text/ColorNumber.h"

#include <QList>
#include <QString>

#include <array>

namespace speech {

class TDirectSS;

enum class InputMethodMode {
    Hiragana, // the Japanese speakers: the pane's input method on
    Closed,   // the English speakers: Latin input only
};

struct SpeakerInfo
{
    const char *name; // "Naoko"
    text::ColorNumber idleColor;
    InputMethodMode inputMethod;
};

inline constexpr int SpeakerCount = 6;
inline constexpr text::ColorNumber ChosenSpeakerColor = 33023; // red 255, green 128, blue 0

// Speakers 1 to 6: Naoko, Kenji, Mary, Mike, Carol, Peter (index 0 is speaker 1).
const std::array<SpeakerInfo, SpeakerCount> &speakerTable();
// 1 to 6 for a speaker's name in any letter case ("naoko"), else 0.
int speakerNumber(const QString &name);

// Whether a voice mode of this name is one the program uses: a name longer than 20
// characters must end in "(L&H)", a shorter one must begin with "Mary", "Mike", "Fema",
// "Male" or "Robo"; case-sensitive, and an empty name is never usable.
bool IsUsableMode(const QString &modeName);

class SpeakerHost
{
public:
    virtual ~SpeakerHost() = default;
    // GetModeCount() was below 1: the window shows "Not Speech Engine".
    virtual void reportNoSpeechEngine() = 0;
    // speaker is 1 to 6.
    virtual void setSpeakerButtonRaised(int speaker, bool raised) = 0;
    virtual void setSpeakerButtonColor(int speaker, text::ColorNumber colour) = 0;
    virtual void setSpeakerMenuChecked(int speaker, bool checked) = 0;
    virtual void setRightPaneInputMethod(InputMethodMode mode) = 0;
};

class SpeakerSelection
{
public:
    SpeakerSelection(TDirectSS &engine, SpeakerHost &host);

    int fSpeechID() const { return m_fSpeechID; }
    void setFSpeechID(int id) { m_fSpeechID = id; }

    // Detection, at start-up and by "Language Set(&S)". Returns EngineReady: whether the
    // engine offers any mode at all (even if none of them is a known speaker's).
    bool FLID();
    bool EngineReady() const { return m_engineReady; }
    int ModeCount() const { return m_modeCount; }
    // The mode found for speaker 1 to 6, 0 when not found.
    int SpeakerMode(int speaker) const;

    // A speaker's button or menu item. Does nothing for a speaker whose voice was not
    // found; never changes fSpeechID or the input method.
    void chooseSpeaker(int speaker);
    // The speaker whose button shows the chosen colour, 0 if none.
    int chosenSpeaker() const;

    // Shut-down: fSpeechID := the chosen speaker (0 if none); returns it.
    int determineSpeechID();

private:
    void paintChoice(int speaker);

    TDirectSS &m_engine;
    SpeakerHost &m_host;
    std::array<int, SpeakerCount> m_modes{};
    std::array<text::ColorNumber, SpeakerCount> m_buttonColors{};
    int m_modeCount = 0;
    bool m_engineReady = false;
    int m_fSpeechID = 0;
};

} // namespace speech
