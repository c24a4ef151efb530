#pragma once
// A pane as the conversion engine's text target: the pane's text, and batches of edits
// applied to its document back to front inside one edit block, so a whole conversion is
// one change of the document (and keeps the formats of the characters it does not touch).

#include "convert/TextTarget.h"

#include <QTextCursor>

namespace editor {

class TRichEditSx;

class PaneTextTarget final : public convert::TextTarget
{
public:
    explicit PaneTextTarget(TRichEditSx *pane) : m_pane(pane) {}
    ~PaneTextTarget() override;

    QString text() const override;
    void applyEdits(const convert::TextEdits &edits) override;
    void beginEdits() override;
    void endEdits() override;

private:
    TRichEditSx *m_pane;
    QTextCursor m_block;
    int m_depth = 0;
};

} // namespace editor
