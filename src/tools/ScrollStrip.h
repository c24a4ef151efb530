#pragma once
// The logic of the poem scroll strip MsgSCR1 and its buttons: the scrolling position, the
// text taken from the left pane's selection, the white-letter toggle, the built-in poems and
// the poem collection files. QtCore only; widgets/MsgSCR draws it.

#include "text/ColorNumber.h"

#include <QString>
#include <QStringList>
#include <QStringView>

namespace tools {

inline constexpr int kStripStepPixels = 2;
inline constexpr int kStripRunInterval = 30; // ms per step while running ("停")
inline constexpr int kStripMaxChars = 125;

// Width of the strip image: the larger of the strip and the text, plus half the font's
// point size rounded toward zero, so the text's end clears the edge before it wraps.
int stripImageWidth(int stripWidth, int textWidth, int pointSize);

// Where the strip image stands. start() puts its left edge at the strip's right edge; each
// step() moves it 2 pixels left, and once its right edge has passed the strip's left edge
// (x + image width <= 0) it starts again at the right edge.
class StripScroller
{
public:
    void start(int stripWidth, int imageWidth);
    // Returns the new x.
    int step();
    int x() const { return m_x; }
    void setX(int x) { m_x = x; }
    void setImageWidth(int width) { m_imageWidth = width; }
    void setStripWidth(int width) { m_stripWidth = width; }

private:
    int m_x = 0;
    int m_stripWidth = 0;
    int m_imageWidth = 0;
};

// "設": the selection counted without line breaks, a double-byte character counting one.
struct StripSelection
{
    qsizetype count = 0;
    bool accepted = false;
    QString statusText() const; // status panel 2: "125字選択"
};
StripSelection checkStripSelection(QStringView selectedText);
// The message when the selection is longer than kStripMaxChars.
QString stripTooLongMessage();

// "白": white letters become the left pane's font colour, any other colour becomes white.
text::ColorNumber toggledWhite(text::ColorNumber stripFont, text::ColorNumber leftFont);

// "泉": three poems of Izumi Shikibu.
QString izumiShikibuPoems();
// The strip's text when the program first starts.
QString initialStripText();

enum class PoemCollection { Hyakunin, Haiku };

// "hyakunin.txt" or "haiku.txt".
QString collectionFileName(PoemCollection which);
// The first of the folders (each with or without a trailing separator) that holds the
// collection; the path in the first folder when none does, for the message.
QString collectionPath(const QStringList &folders, PoemCollection which);
// The message for a missing file: the path followed by " は、存在しません".
QString missingFileMessage(const QString &path);

} // namespace tools
