#pragma once
// The horizontal view's line layout. Under word wrap no line is wider than the view, yet
// Qt's plain layout keeps track of the widest line, and when that line narrows it measures
// every line of the text again to find the next widest (and gives each line a layout object
// to do it): a keystroke in a 50 MB text then walks a million lines. Under word wrap this
// layout lays a changed line out itself, in the same way but without that measure; without
// word wrap, where the widest line sets the horizontal scroll bar, Qt's own layout works.

#include <QPlainTextDocumentLayout>

namespace editor {

class WrappedPlainLayout final : public QPlainTextDocumentLayout
{
public:
    explicit WrappedPlainLayout(QTextDocument *document);

    QRectF blockBoundingRect(const QTextBlock &block) const override;
    QSizeF documentSize() const override;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    bool wraps() const;
    // The view's width, as Qt's layout was last given it.
    qreal width() const;
    void layOut(const QTextBlock &block);

    int m_blockCount = 1; // the lines Qt's layout knows of
    bool m_sizeChanging = false;
};

} // namespace editor
