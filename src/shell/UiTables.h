#pragma once
// The menus and tool bars of the main window are data (data/menus.tsv, data/bars.tsv,
// compiled in as resources): one row per item, in display order. This is the reader;
// UiBuilder turns the rows into actions and widgets.

#include <QHash>
#include <QList>
#include <QString>

namespace shell {

struct MenuRow
{
    QString kind; // menu, popup, item, separator
    QString name;
    QString caption;
    QString shortcut;
    bool check = false;
    QString handler;
    QString hint;
};

struct BarRow
{
    QString bar;  // NNBar1, NNBar3, NNBar4, NNBar5, NNbar6
    QString kind; // grip, button, colorbutton, check, edit, label, clock, slider, spin, mouth,
                  // separator
    QString name;
    QString caption;
    QString hint;
    QString handler;
    QHash<QString, QString>
        extra; // "checked=1;min=1" -> {checked: 1, min: 1}; "glyph" -> {glyph: ""}

    bool flag(const QString &key) const { return extra.value(key) == QStringLiteral("1"); }
    int number(const QString &key, int fallback) const;
};

struct TableError
{
    int line = 0;
    QString message;
};

// Both readers take the file's text; a row with the wrong number of fields is reported
// with its line number and skipped, so one bad row never loses the rest of the table.
QList<MenuRow> parseMenuTable(const QString &tsv, QList<TableError> *errors = nullptr);
QList<BarRow> parseBarTable(const QString &tsv, QList<TableError> *errors = nullptr);

QList<MenuRow> builtInMenus();
// The bars' rows; a control without a hint of its own takes the caption of the menu
// command it runs ("新" shows "新規作成"), so every button says what it does.
QList<BarRow> builtInBars();

// A menu caption as a hint: without its access key, "..." and spaces ("開く(&O)" → "開く").
QString plainCaption(const QString &caption);
void hintsFromMenus(QList<BarRow> &bars, const QList<MenuRow> &menus);

} // namespace shell
