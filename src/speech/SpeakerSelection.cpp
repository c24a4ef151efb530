#include "speech/SpeakerSelection.h"

#include "speech/DirectSS.h"
#include "text/TextMetrics.h"

namespace speech {

namespace {

enum Speaker { Naoko = 1, Kenji, Mary, Mike, Carol, Peter };

constexpr text::ColorNumber Brown = 5535392; // red 160, green 118, blue 84
constexpr text::ColorNumber Blue = 11760461; // red 77, green 115, blue 179

} // namespace

const std::array<SpeakerInfo, SpeakerCount> &speakerTable()
{
    static const std::array<SpeakerInfo, SpeakerCount> table = {{
        {"Naoko", Brown, InputMethodMode::Hiragana},
        {"Kenji", Blue, InputMethodMode::Hiragana},
        {"Mary", Brown, InputMethodMode::Closed},
        {"Mike", Blue, InputMethodMode::Closed},
        {"Carol", Brown, InputMethodMode::Closed},
        {"Peter", Blue, InputMethodMode::Closed},
    }};
    return table;
}

int speakerNumber(const QString &name)
{
    for (int i = 0; i < SpeakerCount; ++i) {
        if (name.compare(QLatin1String(speakerTable()[i].name), Qt::CaseInsensitive) == 0)
            return i + 1;
    }
    return 0;
}

bool IsUsableMode(const QString &modeName)
{
    // Counted as the user sees characters, so a double-byte character counts as one.
    if (text::charCount(modeName) > 20)
        return modeName.endsWith(QLatin1String("(L&H)"));
    if (modeName.isEmpty())
        return false;
    for (const char *prefix : {"Mary", "Mike", "Fema", "Male", "Robo"}) {
        if (modeName.startsWith(QLatin1String(prefix)))
            return true;
    }
    return false;
}

SpeakerSelection::SpeakerSelection(TDirectSS &engine, SpeakerHost &host)
    : m_engine(engine), m_host(host)
{
    for (int i = 0; i < SpeakerCount; ++i)
        m_buttonColors[i] = speakerTable()[i].idleColor;
}

int SpeakerSelection::SpeakerMode(int speaker) const
{
    return speaker >= 1 && speaker <= SpeakerCount ? m_modes[speaker - 1] : 0;
}

bool SpeakerSelection::FLID()
{
    m_modes.fill(0);
    m_modeCount = m_engine.GetModeCount();
    if (m_modeCount < 1) {
        m_engineReady = false;
        m_host.reportNoSpeechEngine();
        return false;
    }
    m_engineReady = true;
    for (int s = 1; s <= SpeakerCount; ++s) {
        m_host.setSpeakerButtonRaised(s, false);
        m_buttonColors[s - 1] = speakerTable()[s - 1].idleColor;
        m_host.setSpeakerButtonColor(s, m_buttonColors[s - 1]);
    }

    // Naoko, Kenji, Carol and Peter are known by their speaker's name, Mary and Mike by
    // the mode's own name; a later mode of the same speaker replaces an earlier one.
    for (int mode = 1; mode <= m_modeCount; ++mode) {
        const QString modeName = m_engine.GetModeName(mode);
        if (!IsUsableMode(modeName))
            continue;
        const QString speakerName = m_engine.GetSpeakerName(mode);
        const auto found = [&](int speaker) {
            m_modes[speaker - 1] = mode;
            m_host.setSpeakerButtonRaised(speaker, true);
        };
        if (speakerName == QLatin1String("Naoko"))
            found(Naoko);
        if (speakerName == QLatin1String("Kenji"))
            found(Kenji);
        if (modeName == QLatin1String("Mary"))
            found(Mary);
        if (modeName == QLatin1String("Mike"))
            found(Mike);
        if (speakerName == QLatin1String("Carol"))
            found(Carol);
        if (speakerName == QLatin1String("Peter"))
            found(Peter);
    }

    if (m_fSpeechID == 0) {
        for (int s = 1; s <= SpeakerCount; ++s) {
            if (m_modes[s - 1] != 0) {
                m_fSpeechID = s;
                break;
            }
        }
    }
    if (SpeakerMode(m_fSpeechID) != 0) {
        chooseSpeaker(m_fSpeechID);
        m_host.setRightPaneInputMethod(speakerTable()[m_fSpeechID - 1].inputMethod);
    }
    return true;
}

void SpeakerSelection::chooseSpeaker(int speaker)
{
    const int mode = SpeakerMode(speaker);
    if (mode == 0)
        return;
    m_engine.SelectMode(mode);
    paintChoice(speaker);
}

void SpeakerSelection::paintChoice(int speaker)
{
    for (int s = 1; s <= SpeakerCount; ++s) {
        m_buttonColors[s - 1] = s == speaker ? ChosenSpeakerColor : speakerTable()[s - 1].idleColor;
        m_host.setSpeakerButtonColor(s, m_buttonColors[s - 1]);
        m_host.setSpeakerMenuChecked(s, s == speaker);
    }
}

int SpeakerSelection::chosenSpeaker() const
{
    for (int s = 1; s <= SpeakerCount; ++s) {
        if (m_buttonColors[s - 1] == ChosenSpeakerColor)
            return s;
    }
    return 0;
}

int SpeakerSelection::determineSpeechID()
{
    m_fSpeechID = chosenSpeaker();
    return m_fSpeechID;
}

} // namespace speech
