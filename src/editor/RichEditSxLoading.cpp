// Loading a text into the pane: whole, or a long one in parts while the event loop is idle.

#include "editor/RichEditSx.h"

#include "editor/TextEditing.h"
#include "editor/VerticalTextView.h"
#include "editor/WrappedPlainLayout.h"

#include <QScopedValueRollback>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace editor {

namespace {

// A text of up to a million characters goes in whole (under a tenth of a second); a longer
// one in parts: the first screen's worth, then about 10 ms of text each time the event loop
// is idle.
constexpr qsizetype LoadedWhole = 1 << 20;
constexpr qsizetype LoadingFirst = 1 << 15;
constexpr qsizetype LoadingPart = 1 << 17;

// Where a part of `text` of about `size` characters from `from` ends: before the line
// break that follows, or at the text's end.
qsizetype partEnd(const QString &text, qsizetype from, qsizetype size)
{
    if (text.size() - from <= size)
        return text.size();
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), from + size);
    return lineEnd < 0 ? text.size() : lineEnd;
}

} // namespace

void TRichEditSx::setText(const QString &text)
{
    // One change notice, sent once the caret is at the start, as after a load.
    stopLoading();
    m_restoring = true;
    QString lines = normaliseLineBreaks(text);
    const qsizetype first =
        lines.size() > LoadedWhole ? partEnd(lines, 0, LoadingFirst) : lines.size();
    replaceWholeText(first < lines.size() ? lines.left(first) : lines);
    if (first < lines.size()) {
        m_loading = std::move(lines);
        m_loadedUpTo = first;
        m_loadingTimer->start();
    }
    // (Placed, not moved: moving asks the plain layout for the caret's old line, which
    // measures every line of the text when that view is hidden.)
    setTextCursor(QTextCursor(m_document));
#ifdef __GLIBC__
    // What a large text left freed on its way in (the decoded file, the document's buffers
    // as they grew) goes back to the system, instead of staying with the process: about a
    // third of what opening 50 MB takes, for some 15 ms.
    if (!isLoading() && text.size() > LoadedWhole)
        malloc_trim(0);
#endif
    m_restoring = false;
    if (m_verticalView->isVisible())
        m_verticalView->ensureCaretVisible();
    Q_EMIT textChanged();
    Q_EMIT selectionChanged();
}

void TRichEditSx::finishLoading()
{
    loadPart(true);
}

void TRichEditSx::loadRest() const
{
    // (Taking the text in changes what the pane holds, not what it shows or answers.)
    const_cast<TRichEditSx *>(this)->finishLoading();
}

void TRichEditSx::loadPart(bool whole)
{
    // (Not again from within a part: what listens to the document may ask for the text.)
    if (!isLoading() || m_loadingPart)
        return;
    const qsizetype end = whole ? m_loading.size() : partEnd(m_loading, m_loadedUpTo, LoadingPart);
    const QString part = m_loading.mid(m_loadedUpTo, end - m_loadedUpTo);
    m_loadedUpTo = end;
    {
        const QScopedValueRollback loadingPart(m_loadingPart, true);
        const QScopedValueRollback restoring(m_restoring, true);
        const bool modified = m_document->isModified();
        QTextCursor c(m_document);
        c.movePosition(QTextCursor::End);
        {
            const WrappedPlainLayout::CursorsOnly measureNothing(rowLayout());
            c.insertText(part, QTextCharFormat());
        }
        m_document->setModified(modified);
    }
    if (isLoading()) {
        m_loadingTimer->start();
        return;
    }
    stopLoading();
#ifdef __GLIBC__
    malloc_trim(0);
#endif
    // (Told after the caller that asked for the whole text is done with it.)
    QMetaObject::invokeMethod(
        this, [this] { Q_EMIT textChanged(); }, Qt::QueuedConnection);
}

void TRichEditSx::stopLoading()
{
    m_loadingTimer->stop();
    m_loading = QString();
    m_loadedUpTo = 0;
}

} // namespace editor
