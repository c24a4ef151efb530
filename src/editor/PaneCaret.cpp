#include "editor/PaneCaret.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace editor {

PaneCaret::PaneCaret(QPlainTextEdit *view, QTextDocument *document, QObject *parent)
    : QObject(parent), m_view(view)
{
    connect(view, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (!m_kept)
            Q_EMIT cursorPositionChanged();
    });
    connect(view, &QPlainTextEdit::selectionChanged, this, [this] {
        if (!m_kept)
            Q_EMIT selectionChanged();
    });
    // An edit elsewhere moves a kept caret too.
    connect(document, &QTextDocument::cursorPositionChanged, this, [this](const QTextCursor &c) {
        if (m_kept && c.isCopyOf(m_cursor))
            tellChanges();
    });
    connect(document, &QTextDocument::contentsChanged, this, [this] {
        if (m_kept)
            tellChanges();
    });
}

QTextCursor PaneCaret::cursor() const
{
    return m_kept ? m_cursor : m_view->textCursor();
}

void PaneCaret::setCursor(const QTextCursor &cursor)
{
    if (!m_kept) {
        m_view->setTextCursor(cursor);
        return;
    }
    m_cursor = cursor;
    tellChanges();
}

void PaneCaret::tellChanges()
{
    const int position = m_cursor.position();
    const int anchor = m_cursor.anchor();
    if (position == m_position && anchor == m_anchor)
        return;
    const bool selectionChanged = !(anchor == position && m_anchor == m_position);
    const bool moved = position != m_position;
    m_position = position;
    m_anchor = anchor;
    if (moved)
        Q_EMIT cursorPositionChanged();
    if (selectionChanged)
        Q_EMIT this->selectionChanged();
}

QTextCharFormat PaneCaret::typingFormat() const
{
    return m_kept ? m_cursor.charFormat() : m_view->currentCharFormat();
}

void PaneCaret::setTypingFormat(const QTextCharFormat &format)
{
    if (m_kept)
        m_cursor.setCharFormat(format);
    else
        m_view->setCurrentCharFormat(format);
}

void PaneCaret::keep(bool kept)
{
    if (kept == m_kept)
        return;
    if (kept) {
        m_cursor = m_view->textCursor();
        m_position = m_cursor.position();
        m_anchor = m_cursor.anchor();
        m_kept = true;
    } else {
        m_kept = false;
        const QTextCursor cursor = m_cursor;
        m_cursor = QTextCursor();
        m_view->setTextCursor(cursor);
    }
}

} // namespace editor
