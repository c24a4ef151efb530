#pragma once
// Colours a span of a document's text, as string colouring does, for tests that check what
// becomes of colours.

#include <QColor>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace testsupport {

inline void colour(QTextDocument *document, int from, int to, const QColor &colour)
{
    QTextCursor c(document);
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    QTextCharFormat f;
    f.setForeground(colour);
    c.mergeCharFormat(f);
}

} // namespace testsupport
