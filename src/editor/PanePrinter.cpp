#include "editor/PanePrinter.h"

#include "editor/RichEditSx.h"
#include "editor/VerticalLayout.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

namespace editor {

void applyDefaultMargins(QPrinter *printer)
{
    const QMarginsF now = printer->pageLayout().margins(QPageLayout::Millimeter);
    const QMarginsF wider(qMax(now.left(), DefaultPrintMarginsMm.left()),
                          qMax(now.top(), DefaultPrintMarginsMm.top()),
                          qMax(now.right(), DefaultPrintMarginsMm.right()),
                          qMax(now.bottom(), DefaultPrintMarginsMm.bottom()));
    printer->setPageMargins(wider, QPageLayout::Millimeter);
}

int printPane(TRichEditSx *pane, QPrinter *printer, const PrintOptions &options)
{
    if (!pane->Vertical()) {
        // The document's own printing numbers the pages.
        pane->horizontalView()->print(printer);
        return printer->pageLayout().fullRectPixels(printer->resolution()).isValid() ? 1 : 0;
    }
    QPainter painter;
    if (!painter.begin(printer))
        return 0;
    const QRectF page = printer->pageRect(QPrinter::DevicePixel);
    const qreal scale = printer->resolution() / 96.0;
    // The page number and the header in a small font, each on a line of its own.
    QFont small = pane->paneFont();
    small.setPixelSize(qMax(1, qRound(11 * scale)));
    const QFontMetricsF smallMetrics(small, printer);
    const qreal band = smallMetrics.height() * 2;
    const QRectF area(0, options.header.isEmpty() ? 0 : band, page.width(),
                      page.height() - band - (options.header.isEmpty() ? 0 : band));
    // The pane's pixel font scaled to the printer's resolution.
    QFont font = pane->paneFont();
    font.setPixelSize(qMax(1, qRound((font.pixelSize() > 0 ? font.pixelSize() : 16) * scale)));
    VerticalLayout layout(pane->document());
    layout.setFont(font, false);
    layout.setWordWrap(true);
    layout.setColumnHeight(area.height());
    // Ruby, upright runs and hanging marks as the screen sets them; every line shows its
    // ruby, none being the caret's.
    layout.setTypesetting(pane->typesetting());
    if (pane->typesetting().ruby && !pane->document()->find(QStringLiteral("《")).isNull())
        layout.keepRubyRoom();
    const qreal pitch = layout.pitch();
    // Room on the right for 、。 and small kana, which sit towards the right of a column.
    const qreal room = 0.6 * layout.em();
    const int perPage = qMax(1, int((area.width() - room) / pitch));
    const int total = layout.columnCount();
    const int pageCount = (total + perPage - 1) / perPage;
    int pages = 0;
    for (int first = 0; first < total; first += perPage) {
        if (pages > 0)
            printer->newPage();
        VerticalLayout::PaintOptions o;
        o.text = pane->fontColor();
        o.background = Qt::white;
        o.top = area.top();
        o.columnCentre = [&](int k) { return area.right() - room - (k - first + 0.5) * pitch; };
        layout.paint(&painter, first, qMin(total - 1, first + perPage - 1), o);
        ++pages;
        painter.setFont(small);
        painter.setPen(Qt::black);
        const QRectF foot(0, page.height() - smallMetrics.height(), page.width(),
                          smallMetrics.height());
        painter.drawText(foot, Qt::AlignCenter,
                         QStringLiteral("%1 / %2").arg(pages).arg(pageCount));
        if (!options.header.isEmpty())
            painter.drawText(
                QRectF(0, 0, page.width(), smallMetrics.height()),
                Qt::AlignRight | Qt::AlignVCenter,
                smallMetrics.elidedText(options.header, Qt::ElideMiddle, page.width()));
    }
    painter.end();
    return pages;
}

} // namespace editor
