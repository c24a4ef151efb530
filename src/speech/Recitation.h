#pragma once

// A poem recited as the readers of competitive karuta read a waka: the upper ku (上の句) in
// about six seconds, a second's silence, the lower ku (下の句) in about five with its last
// sound held three seconds, then a second's silence before the next poem (the "5-3-1-6"
// of the readers' rules). The opening poem (序歌) is read upper ku, lower ku, lower ku
// again. A haiku is said ku by ku with a pause between them and its last sound held; any
// other line is said in one breath at the reciting pace.

#include <QList>
#include <QString>
#include <QStringView>

namespace reading {
class ReadingEngine;
}

namespace speech {

struct RecitedPart
{
    QString text;            // as written, ruby notation kept
    double seconds = 0;      // from its first sound to the start of its held last sound
    double holdSeconds = 0;  // how long its last sound is held
    double silenceAfter = 0; // the silence that follows it
};

// The karuta readers' timing at the speed slider's middle (150); a faster setting
// shortens every part in proportion.
inline constexpr double UpperKuSeconds = 6.0;
inline constexpr double LowerKuSeconds = 5.0;
inline constexpr double HoldSeconds = 3.0;
inline constexpr double SilenceSeconds = 1.0;
// The pace of the readers, in morae per second, for what has no time of its own.
inline constexpr double RecitingMoraePerSecond = 2.7;

// The parts of one line of text recited at `wordsPerMinute` (the speed setting); `opening`
// reads a waka as the 序歌. Empty for a line with nothing to say.
QList<RecitedPart> recitationPlan(const reading::ReadingEngine &engine, QStringView line,
                                  int wordsPerMinute, bool opening = false);

} // namespace speech
