#pragma once
// Builds the main window's menus and tool bars from their tables (UiTables.h). Every
// entry runs its handler through one dispatcher, by the handler's name, so the tables
// and the window's handler registry are the only places a command is wired.

#include "shell/UiTables.h"

#include <QHash>
#include <functional>

class QAction;
class QLineEdit;
class QMenu;
class QMenuBar;
class QWidget;

namespace shell {

using Dispatch = std::function<void(const QString &handler)>;

struct BuiltMenus
{
    QHash<QString, QAction *> actions; // by name
    QHash<QString, QMenu *> menus;     // by name, the context menu included
};

// Check items show their check mark as the handler sets it: a trigger leaves the mark
// as it was and the handler decides, so an item whose command is missing never shows a
// state it does not have.
BuiltMenus buildMenus(QMenuBar *menuBar, QWidget *owner, const QList<MenuRow> &rows,
                      const Dispatch &dispatch);

// Fills a bar (a widget with a horizontal box layout) with its rows; returns the controls
// by name. The grip, buttons, check boxes and colour buttons dispatch on click; edits,
// sliders and the spinner on change.
QHash<QString, QWidget *> buildBar(QWidget *bar, const QList<BarRow> &rows,
                                   const Dispatch &dispatch);

// The hint of a bar's edit after its text changed: the text itself, so a text longer than the
// edit can be read whole on hover and in the status bar; while the edit is empty, ownHint
// (its hint from the table), so the edit still says what it is for.
void showTextAsHint(QLineEdit *edit, const QString &ownHint);

} // namespace shell
