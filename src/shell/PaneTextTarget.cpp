#include "shell/PaneTextTarget.h"

#include "shell/RichEditSx.h"

#include <QTextDocument>

namespace shell {

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
    beginEdits();
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

} // namespace shell
