#include "editor/TextEditing.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextLayout>

#include <functional>

namespace editor {

QString normaliseLineBreaks(const QString &text)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

bool isWindowKey(const QKeyEvent &e)
{
    if (!e.modifiers().testFlag(Qt::ControlModifier) ||
        (e.modifiers() & (Qt::AltModifier | Qt::MetaModifier)))
        return false;
    switch (e.key()) {
    case Qt::Key_A:
    case Qt::Key_C:
    case Qt::Key_V:
    case Qt::Key_X:
    case Qt::Key_Z:
    case Qt::Key_Y:
        return true;
    default:
        return false;
    }
}

QMimeData *mimeDataOf(const QTextCursor &cursor)
{
    if (!cursor.hasSelection())
        return nullptr;
    auto *data = new QMimeData;
    data->setText(cursor.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n')));
    return data;
}

bool canInsertMimeData(const QMimeData *data)
{
    return data && data->hasText() && !data->hasUrls();
}

void insertMimeData(QTextCursor &cursor, const QMimeData *data)
{
    if (canInsertMimeData(data))
        cursor.insertText(normaliseLineBreaks(data->text()));
}

void offerSelection(const QTextCursor &cursor)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (cursor.hasSelection() && clipboard->supportsSelection())
        clipboard->setMimeData(mimeDataOf(cursor), QClipboard::Selection);
}

namespace {

void announce(const WillEdit &willEdit, int from, int to)
{
    if (willEdit)
        willEdit(from, to);
}

// Removes the selection, or without one what the move passes over.
void deleteTo(QTextCursor &cursor, QTextCursor::MoveOperation move, const WillEdit &willEdit)
{
    if (!cursor.hasSelection())
        cursor.movePosition(move, QTextCursor::KeepAnchor);
    announce(willEdit, cursor.selectionStart(), cursor.selectionEnd());
    cursor.removeSelectedText();
}

// What a key does to the text at the cursor, or nothing for a key that does not edit.
std::function<void()> editFor(QTextCursor &cursor, const QKeyEvent &e, const WillEdit &willEdit)
{
    const Qt::KeyboardModifiers mods = e.modifiers() & ~Qt::KeypadModifier;
    const auto selection = [&cursor, &willEdit] {
        announce(willEdit, cursor.selectionStart(), cursor.selectionEnd());
    };
    if (e.matches(QKeySequence::DeleteStartOfWord))
        return [&] { deleteTo(cursor, QTextCursor::PreviousWord, willEdit); };
    if (e.matches(QKeySequence::DeleteEndOfWord))
        return [&] { deleteTo(cursor, QTextCursor::NextWord, willEdit); };
    if (e.matches(QKeySequence::DeleteEndOfLine)) {
        // At the line's end, the line break goes.
        return [&] {
            deleteTo(cursor,
                     cursor.atBlockEnd() ? QTextCursor::NextCharacter : QTextCursor::EndOfBlock,
                     willEdit);
        };
    }
    if (e.matches(QKeySequence::DeleteCompleteLine)) {
        // The line's text; its line break stays.
        return [&] {
            cursor.movePosition(QTextCursor::StartOfBlock);
            deleteTo(cursor, QTextCursor::EndOfBlock, willEdit);
        };
    }
    if (e.key() == Qt::Key_Backspace && !(mods & ~Qt::ShiftModifier)) {
        return [&cursor, &willEdit, selection] {
            // (Without a selection, one character unit goes, or a surrogate pair.)
            if (cursor.hasSelection())
                selection();
            else
                announce(willEdit, qMax(0, cursor.position() - 2), cursor.position());
            cursor.deletePreviousChar();
        };
    }
    if (e.matches(QKeySequence::Delete))
        return [&] { deleteTo(cursor, QTextCursor::NextCharacter, willEdit); };
    if (e.matches(QKeySequence::InsertParagraphSeparator) ||
        e.matches(QKeySequence::InsertLineSeparator)) {
        return [&cursor, selection] {
            selection();
            cursor.insertBlock();
        };
    }
    const QString text = e.text();
    if (text.isEmpty() || !(text.at(0).isPrint() || text.at(0) == u'\t'))
        return {};
    return [&cursor, selection, text] {
        selection();
        cursor.insertText(text);
    };
}

} // namespace

bool editByKey(QTextCursor &cursor, const QKeyEvent &e, const WillEdit &willEdit)
{
    const std::function<void()> edit = editFor(cursor, e, willEdit);
    if (!edit)
        return false;
    // (Inside an edit block the cursor does not measure where it stands in its row, which
    // lays the line out in the horizontal view even while that view is hidden; it measures
    // when next moved up or down.)
    cursor.beginEditBlock();
    edit();
    cursor.endEditBlock();
    return true;
}

int composeByInputMethod(QTextCursor &cursor, const QInputMethodEvent &e)
{
    QTextLayout *layout = cursor.block().layout();
    const bool input = !e.commitString().isEmpty() || e.replacementLength() > 0 ||
                       e.preeditString() != layout->preeditAreaText();
    cursor.beginEditBlock();
    if (input)
        cursor.removeSelectedText();
    if (!e.commitString().isEmpty() || e.replacementLength() > 0) {
        QTextCursor c = cursor;
        c.setPosition(c.position() + e.replacementStart());
        c.setPosition(c.position() + e.replacementLength(), QTextCursor::KeepAnchor);
        c.insertText(e.commitString());
    }
    int preeditCursor = e.preeditString().isEmpty() ? -1 : int(e.preeditString().size());
    const QTextBlock block = cursor.block();
    layout = block.layout();
    QList<QTextLayout::FormatRange> formats;
    for (const QInputMethodEvent::Attribute &a : e.attributes()) {
        if (a.type == QInputMethodEvent::Selection) {
            const int start = block.position() + a.start;
            cursor.setPosition(start);
            cursor.setPosition(start + a.length, QTextCursor::KeepAnchor);
        } else if (a.type == QInputMethodEvent::Cursor && preeditCursor >= 0) {
            preeditCursor = a.start;
        } else if (a.type == QInputMethodEvent::TextFormat) {
            QTextCharFormat f = cursor.charFormat();
            f.merge(qvariant_cast<QTextFormat>(a.value).toCharFormat());
            if (f.isValid())
                formats.append({a.start + cursor.position() - block.position(), a.length, f});
        }
    }
    if (input)
        layout->setPreeditArea(cursor.position() - block.position(), e.preeditString());
    layout->setFormats(formats);
    // (Both changes of the layout count as changes of the line: it is laid out again.)
    cursor.endEditBlock();
    return preeditCursor;
}

QVariant inputMethodQuery(const QTextCursor &cursor, Qt::InputMethodQuery query)
{
    const QTextBlock block = cursor.block();
    switch (query) {
    case Qt::ImSurroundingText:
        return block.text();
    case Qt::ImCursorPosition:
        return cursor.position() - block.position();
    case Qt::ImAnchorPosition:
        return qBound(0, cursor.anchor() - block.position(), block.length());
    case Qt::ImCurrentSelection:
        return cursor.selectedText();
    case Qt::ImAbsolutePosition:
        return cursor.position();
    case Qt::ImTextBeforeCursor:
        return block.text().left(cursor.position() - block.position());
    case Qt::ImTextAfterCursor:
        return block.text().mid(cursor.position() - block.position());
    case Qt::ImHints:
        return int(Qt::ImhMultiLine);
    case Qt::ImMaximumTextLength:
        return QVariant(); // no limit
    default:
        return QVariant();
    }
}

} // namespace editor
