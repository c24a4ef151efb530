#pragma once

// The compiled-in page data (data/*.tsv): the vertical page's rows, the fixed fragments, the
// symbol images and the colour names. Loaded once, on first use.

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace html {

struct TemplateRow
{
    int row = 0;
    QString condition; // "always", "CheckBox4", "!CheckBox5", "FLink", "columns"
    QString line;
};

struct SymbolRow
{
    QString text;
    QString file;
    QString height;
};

struct PageData
{
    QList<TemplateRow> rows;
    QHash<QString, QStringList> fragments;
    QList<SymbolRow> symbols;
    QHash<QString, QString> colorNames;

    // The single line of a fragment; empty if there is none.
    QString fragment(const QString &name) const { return fragments.value(name).value(0); }
};

const PageData &pageData();

// Fills every «name» of a line: value(name) when it gives a text, else the fragment of that
// name, else the mark stays as it is. Filled-in texts are not scanned again, so a heading
// typed as "«Mfn»" stays that text.
QString fillIn(const QString &line,
               const std::function<std::optional<QString>(QStringView)> &value);

} // namespace html
