#include "shell/PanePrinter.h"

#include "shell/RichEditSx.h"
#include "shell/VerticalLayout.h"

#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

namespace shell {

int printPane(TRichEditSx *pane, QPrinter *printer)
{
    if (!pane->Vertical()) {
        pane->horizontalView()->print(printer);
        return printer->pageLayout().fullRectPixels(printer->resolution()).isValid() ? 1 : 0;
    }
    QPainter painter;
    if (!painter.begin(printer))
        return 0;
    const QRectF page = printer->pageRect(QPrinter::DevicePixel);
    const QRectF area(0, 0, page.width(), page.height());
    // The pane's pixel font scaled to the printer's resolution.
    QFont font = pane->paneFont();
    const qreal scale = printer->resolution() / 96.0;
    font.setPixelSize(qMax(1, qRound((font.pixelSize() > 0 ? font.pixelSize() : 16) * scale)));
    VerticalLayout layout(pane->document());
    layout.setFont(font);
    layout.setWordWrap(true);
    layout.setColumnHeight(area.height());
    const qreal pitch = layout.pitch();
    const int perPage = qMax(1, int(area.width() / pitch));
    const int total = layout.columnCount();
    int pages = 0;
    for (int first = 0; first < total; first += perPage) {
        if (pages > 0)
            printer->newPage();
        VerticalLayout::PaintOptions o;
        o.text = pane->fontColor();
        o.background = Qt::white;
        o.top = area.top();
        o.columnCentre = [&](int k) { return area.right() - (k - first + 0.5) * pitch; };
        layout.paint(&painter, first, qMin(total - 1, first + perPage - 1), o);
        ++pages;
    }
    painter.end();
    return pages;
}

} // namespace shell
