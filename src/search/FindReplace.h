#pragma once
// Find and replace in a pane's text. Positions are QString units of the pane's text (the
// pane's own selection positions). Searches are plain, never wrap, and match whole
// characters only; the window selects what is found, beeps when nothing is, and shows
// notFoundMessage() when Replace finds nothing.

#include "convert/TextTarget.h"

#include <QString>
#include <QStringView>
#include <optional>

namespace search {

struct FoundRange
{
    qsizetype start = 0;
    qsizetype length = 0;
    friend bool operator==(const FoundRange &, const FoundRange &) = default;
};

enum class Direction { Down, Up };

// Find Next: from the end of the selection when there is one, else from the very top of
// the text (not from the caret), to the end of the text.
std::optional<FoundRange> findForward(QStringView text, QStringView findText, qsizetype selStart,
                                      qsizetype selLength,
                                      Qt::CaseSensitivity cs = Qt::CaseSensitive);

// Find Back: the last occurrence that ends at or before the selection start, taken as the
// classic search does it: from the top, each search going on after the occurrence found
// before. So in "aaa" with the caret at the end, "aa" finds the one at 0, not the one at 1.
std::optional<FoundRange> findBackward(QStringView text, QStringView findText, qsizetype selStart,
                                       Qt::CaseSensitivity cs = Qt::CaseSensitive);

// The find dialog's Find Next in the dialog's direction.
std::optional<FoundRange> findInDirection(QStringView text, QStringView findText,
                                          qsizetype selStart, qsizetype selLength,
                                          Direction direction,
                                          Qt::CaseSensitivity cs = Qt::CaseSensitive);

// Replace: the first occurrence from the top of the text, wherever the caret is. The
// window selects it and replaces the selection by the replacement text.
std::optional<FoundRange> findForReplace(QStringView text, QStringView findText);

struct ReplaceAllResult
{
    qsizetype replacements = 0;
    // False when Replace All stopped at its limit (convert::RowOutcome): the text then holds
    // the replacements made so far.
    bool complete = true;
};

// Replace All, as one batch of edits. The result is that of replacing the first
// occurrence from the top until none is left ("ab" by "a" in "abbb" gives "a"); when the
// replacement holds the find text, which would never end that way, every occurrence in the
// text as it was is replaced once (の by のの in "のの" gives "のののの"). An empty find
// text changes nothing. When each replacement keeps making a new occurrence ("ab" by "bba"
// in "aaaab"), it stops once the text or the count of replacements reaches a bound
// proportional to the text's length, and the result says so.
ReplaceAllResult replaceAll(convert::TextTarget &target, const QString &findText,
                            const QString &replacement);

// Could not find "春" in Kotonami.
QString notFoundMessage(const QString &findText);

// What the window tells the user after a Replace All that stopped at its limit: how many
// replacements it made, and why it stopped. A Replace All that ends says nothing.
QString stoppedEarlyMessage(qsizetype replacements);

} // namespace search
