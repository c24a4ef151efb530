#pragma once
// Prints a pane as it is shown: in vertical columns, right to left, page after page, when
// the pane is vertical; in rows otherwise. Vertical columns always break at the page's
// height, so a line longer than a page goes on in the next column instead of being cut.

class QPrinter;

namespace shell {

class TRichEditSx;

// Returns the number of pages printed.
int printPane(TRichEditSx *pane, QPrinter *printer);

} // namespace shell
