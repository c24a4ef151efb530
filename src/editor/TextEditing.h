#pragma once
// The editing operations of the pane's text, the same whichever view a key or an input
// method reaches: what a key types or deletes at the caret, and what an input method
// commits and composes there. Moving the caret, which goes by rows in one view and by
// columns in the other, stays with each view.

#include <QTextCursor>

#include <functional>

class QInputMethodEvent;
class QKeyEvent;
class QMimeData;

namespace editor {

// A text's line breaks (CR LF, a lone CR) as the document's: LF.
QString normaliseLineBreaks(const QString &text);

// The keys the window keeps for its own commands (Ctrl with A, C, V, X, Y or Z): the control
// does nothing with them, so the menu shortcuts reach the focused control.
bool isWindowKey(const QKeyEvent &e);

// Told the span [from, to) an edit is about to replace, before the edit.
using WillEdit = std::function<void(int from, int to)>;

// Makes the edit a key asks for at the cursor: typed text (replacing a selection),
// Backspace, Delete, Ctrl with either for a word, Ctrl+K to the line's end, the key that
// empties the line (Ctrl+U), Enter (also with Shift: the pane's text knows one kind of line
// break). False for keys that do not edit, the cursor untouched.
bool editByKey(QTextCursor &cursor, const QKeyEvent &e, const WillEdit &willEdit = {});

// An input method's event at the cursor: the commit replaces the selection (or the range the
// event names) and the preedit is set in the layout of the caret's line, with the event's
// formats over it. Returns the caret's index in the preedit, -1 without one.
int composeByInputMethod(QTextCursor &cursor, const QInputMethodEvent &e);

// The selection as the clipboard and a drag take it: its text, the line breaks LF and every
// other character as it stands. Null without a selection.
QMimeData *mimeDataOf(const QTextCursor &cursor);
// Whether pasted or dropped data can go into the text: text, and not a list of files (a file
// dropped on a pane is opened instead).
bool canInsertMimeData(const QMimeData *data);
// Puts it in at the cursor, replacing the selection, its line breaks made the document's.
void insertMimeData(QTextCursor &cursor, const QMimeData *data);

// Offers the selection to the window system's primary selection where it has one (X11),
// for a middle click to paste elsewhere, as the horizontal view does.
void offerSelection(const QTextCursor &cursor);

// What an input method asks of the text around the cursor; an invalid value for what the
// view itself answers.
QVariant inputMethodQuery(const QTextCursor &cursor, Qt::InputMethodQuery query);

} // namespace editor
