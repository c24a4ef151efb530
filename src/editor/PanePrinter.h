#pragma once
// Prints a pane as it is shown: in vertical columns, right to left, page after page, when
// the pane is vertical; in rows wrapped at the page's width otherwise, each row kept whole
// on one page. Vertical columns always break at the page's height, so a line longer than a
// page goes on in the next column instead of being cut. Ruby is drawn as the screen draws
// it. Pages carry their number ("3 / 12") at the foot and, when asked, a header (the file's
// name); vertical glyphs are the characters' ordinary ones, turned or moved where the
// screen uses vertical forms, so that text copied from the PDF is the text printed.

#include <QMarginsF>
#include <QString>

class QPrinter;

namespace editor {

class TRichEditSx;

struct PrintOptions
{
    QString header; // printed at the top of every page when not empty
};

// The margins a new print job starts with, in millimetres; the print dialog changes them.
inline constexpr QMarginsF DefaultPrintMarginsMm{15, 15, 15, 15};
// Gives a printer the default margins, unless it already has wider ones.
void applyDefaultMargins(QPrinter *printer);

// Returns the number of pages printed.
int printPane(TRichEditSx *pane, QPrinter *printer, const PrintOptions &options = {});

} // namespace editor
