#pragma once
// Random edits of a document, as a writer makes them: a deletion of up to a few dozen
// characters (across line ends too) one time in three, otherwise one of the given pieces
// typed or pasted at a random place. For tests that keep something up to date edit by edit
// and compare it with the same thing made afresh.

#include <QStringList>
#include <QTextCursor>
#include <QTextDocument>

#include <random>

namespace testsupport {

inline void randomEdit(QTextDocument *document, std::mt19937 &random, const QStringList &pieces)
{
    QTextCursor c(document);
    const int size = document->characterCount() - 1;
    c.setPosition(int(random() % (size + 1)));
    if (random() % 3 == 0) {
        c.setPosition(qMin(size, c.position() + int(random() % 40)), QTextCursor::KeepAnchor);
        c.removeSelectedText();
    } else {
        c.insertText(pieces.at(int(random() % pieces.size())));
    }
}

} // namespace testsupport
