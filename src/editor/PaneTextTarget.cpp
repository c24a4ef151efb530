#include "editor/PaneTextTarget.h"

#include "editor/RichEditSx.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace editor {

PaneTextTarget::~PaneTextTarget()
{
    while (m_depth > 0)
        endEdits();
}

QString PaneTextTarget::text() const
{
    return m_pane->text();
}

void PaneTextTarget::beginEdits()
{
    if (m_depth++ == 0) {
        m_block = QTextCursor(m_pane->document());
        m_block.beginEditBlock();
    }
}

void PaneTextTarget::endEdits()
{
    if (m_depth > 0 && --m_depth == 0)
        m_block.endEditBlock();
}

void PaneTextTarget::applyEdits(const convert::TextEdits &edits)
{
    if (edits.isEmpty())
        return;
    beginEdits();
    // Every change to a block makes Qt go over each line its layout still holds, and inside
    // the edit block the layout is not redone until the end: 100 000 replacements on one
    // long wrapped line would walk its thousands of lines 100 000 times. The lines of the
    // blocks about to change are dropped first (the layout redoes them afterwards anyway),
    // so each change costs the same on one line as on many.
    QTextDocument *doc = m_pane->document();
    qsizetype blockEnd = -1;
    for (const convert::TextEdit &e : edits) {
        if (e.position < blockEnd)
            continue;
        const QTextBlock b = doc->findBlock(int(e.position));
        if (!b.isValid())
            break;
        if (QTextLayout *layout = b.layout(); layout && layout->lineCount() > 0)
            layout->clearLayout();
        blockEnd = b.position() + b.length();
    }
    // One announcement for the undo memory covers them all: the span from the first edit's
    // start to the last one's end.
    qsizetype from = edits.front().position, to = from;
    for (const convert::TextEdit &e : edits) {
        from = std::min(from, e.position);
        to = std::max(to, e.position + e.length);
    }
    m_pane->willEdit(from, to);
    // Back to front, so the positions of the edits still to come stay valid. The
    // document's positions are those of text(): one per character unit and line break.
    QTextCursor c(m_pane->document());
    for (auto it = edits.crbegin(); it != edits.crend(); ++it) {
        c.setPosition(int(it->position));
        c.setPosition(int(it->position + it->length), QTextCursor::KeepAnchor);
        QString replacement = it->replacement;
        replacement.replace(QLatin1Char('\r'), QString());
        c.insertText(replacement);
    }
    endEdits();
}

} // namespace editor
