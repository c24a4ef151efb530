#include "editor/PanePrinter.h"

#include "editor/HorizontalRuby.h"
#include "editor/RichEditSx.h"
#include "editor/VerticalLayout.h"
#include "text/Ruby.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QSaveFile>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <memory>
#include <vector>

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

namespace {

// A line of the text as printed in rows: its text with the ruby notation taken out (when
// ruby is shown), each ruby's base in that text, and its layout.
struct PrintedLine
{
    QString text;
    struct Ruby
    {
        int start;
        int end;
        QString text;
    };
    QList<Ruby> rubies;
    std::unique_ptr<QTextLayout> layout;
};

// A row of a printed line and where it goes.
struct PrintedRow
{
    const PrintedLine *line;
    int row;
    int page;
    qreal top; // of the row on its page, ruby room included
};

// The line of a block for print: the characters keep their colours; with ruby, the
// notation goes and each ruby is kept over its base.
PrintedLine printedLine(const QTextBlock &block, bool ruby)
{
    PrintedLine line;
    const QString text = block.text();
    std::vector<int> at(size_t(text.size()) + 1, -1); // where each character went, or -1
    if (ruby && text::mayHoldRuby(text)) {
        for (const text::RubyPiece &piece : text::parseRuby(text)) {
            const int start = int(line.text.size());
            for (qsizetype i = 0; i < piece.text.size(); ++i)
                at[size_t(piece.start + i)] = start + int(i);
            line.text += piece.text;
            if (piece.hasRuby())
                line.rubies.append({start, int(line.text.size()), piece.ruby});
        }
    } else {
        line.text = text;
        for (qsizetype i = 0; i < text.size(); ++i)
            at[size_t(i)] = int(i);
    }
    QList<QTextLayout::FormatRange> formats;
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (!f.isValid() || !f.charFormat().hasProperty(QTextFormat::ForegroundBrush))
            continue;
        for (int i = f.position() - block.position();
             i < f.position() - block.position() + f.length(); ++i) {
            if (i >= text.size() || at[size_t(i)] < 0)
                continue;
            QTextLayout::FormatRange r;
            r.start = at[size_t(i)];
            r.length = 1;
            r.format.setForeground(f.charFormat().foreground());
            formats.append(r);
        }
    }
    line.layout = std::make_unique<QTextLayout>(line.text);
    line.layout->setFormats(formats);
    return line;
}

// The rows of the text in the page's width, each kept whole on one page, a row with ruby
// lowered by the ruby's room.
std::vector<PrintedRow> rowsForPrint(TRichEditSx *pane, const QFont &font, qreal rubyRoom,
                                     const QRectF &area, QPaintDevice *device,
                                     std::vector<PrintedLine> &lines)
{
    const bool ruby = pane->typesetting().ruby;
    for (QTextBlock b = pane->document()->firstBlock(); b.isValid(); b = b.next())
        lines.push_back(printedLine(b, ruby));
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    std::vector<PrintedRow> rows;
    int page = 0;
    qreal y = 0;
    for (PrintedLine &line : lines) {
        QTextLayout &tl = *line.layout;
        tl.setFont(QFont(font, device));
        tl.setTextOption(option);
        tl.beginLayout();
        for (QTextLine row = tl.createLine(); row.isValid(); row = tl.createLine()) {
            row.setLineWidth(area.width());
            bool holdsRuby = false;
            for (const PrintedLine::Ruby &r : line.rubies)
                holdsRuby = holdsRuby || (r.start >= row.textStart() &&
                                          r.start < row.textStart() + row.textLength());
            const qreal height = row.height() + (holdsRuby ? rubyRoom : 0);
            if (y > 0 && y + height > area.height()) {
                ++page;
                y = 0;
            }
            rows.push_back({&line, row.lineNumber(), page, y});
            y += height;
        }
        tl.endLayout();
    }
    return rows;
}

// A row's ruby above its bases, centred over each.
void paintRowRuby(QPainter &painter, const PrintedRow &row, QPointF origin, const QFont &rubyFont,
                  const QColor &colour)
{
    const QTextLine line = row.line->layout->lineAt(row.row);
    const QFontMetricsF metrics(rubyFont, painter.device());
    painter.setFont(rubyFont);
    painter.setPen(colour);
    for (const PrintedLine::Ruby &r : row.line->rubies) {
        if (r.start < line.textStart() || r.start >= line.textStart() + line.textLength())
            continue;
        drawRubyOver(painter, line, r.start, r.end, origin,
                     origin.y() + line.y() - metrics.descent(), r.text);
    }
}

// Qt's PDF writer maps each glyph back to the lowest code point the font gives it, so a
// font that gives a kanji and its Kangxi radical one glyph, as Noto CJK does (白 and ⽩, 日
// and ⽇), has the PDF's text give the radical back. The maps it writes (ToUnicode CMaps,
// left uncompressed) name each character in four hex digits: a radical the printed text
// does not hold is put back there as the kanji it stands for, digit for digit, so that
// nothing else in the file moves.
void giveRadicalsTheirKanji(const QString &pdf, const QSet<char16_t> &printedRadicals)
{
    QFile in(pdf);
    if (!in.open(QIODevice::ReadOnly))
        return;
    QByteArray bytes = in.readAll();
    in.close();
    const auto kanjiOf = [&](char16_t c) -> char16_t {
        if (c < 0x2E80 || c > 0x2FDF || printedRadicals.contains(c) ||
            QChar::decompositionTag(c) != QChar::Compat)
            return 0;
        const QString kanji = QChar::decomposition(c);
        return kanji.size() == 1 ? kanji[0].unicode() : 0;
    };
    bool changed = false;
    for (qsizetype at = bytes.indexOf("begincmap"); at >= 0; at = bytes.indexOf("begincmap", at)) {
        const qsizetype end = bytes.indexOf("endcmap", at);
        if (end < 0)
            break;
        enum Section { Other, Chars, Ranges } section = Other;
        for (qsizetype line = at; line < end;) {
            qsizetype next = bytes.indexOf('\n', line);
            if (next < 0 || next > end)
                next = end;
            const QByteArrayView text(bytes.constData() + line, next - line);
            if (text.endsWith("beginbfchar"))
                section = Chars;
            else if (text.endsWith("beginbfrange"))
                section = Ranges;
            else if (text.startsWith("end"))
                section = Other;
            // The destinations: the second code of a character's line, the third and on of a
            // range's (a code, or an array of them).
            int token = 0;
            for (qsizetype i = line; section != Other && i < next; ++i) {
                if (bytes[i] != '<')
                    continue;
                const qsizetype close = bytes.indexOf('>', i);
                if (close < 0 || close > next)
                    break;
                ++token;
                bool hex = false;
                const uint code = bytes.mid(i + 1, close - i - 1).toUInt(&hex, 16);
                const char16_t kanji = close - i == 5 && hex ? kanjiOf(char16_t(code)) : 0;
                if (kanji && token >= (section == Chars ? 2 : 3)) {
                    const QByteArray digits = QByteArray::number(uint(kanji), 16).toUpper();
                    bytes.replace(i + 1, 4, digits.rightJustified(4, '0'));
                    changed = true;
                }
                i = close;
            }
            line = next + 1;
        }
        at = end;
    }
    QSaveFile out(pdf);
    if (changed && out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size())
        out.commit();
}

int printPages(TRichEditSx *pane, QPrinter *printer, const PrintOptions &options)
{
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
    auto pageFrame = [&](int number, int count) {
        painter.setFont(small);
        painter.setPen(Qt::black);
        const QRectF foot(0, page.height() - smallMetrics.height(), page.width(),
                          smallMetrics.height());
        painter.drawText(foot, Qt::AlignCenter, QStringLiteral("%1 / %2").arg(number).arg(count));
        if (!options.header.isEmpty())
            painter.drawText(
                QRectF(0, 0, page.width(), smallMetrics.height()),
                Qt::AlignRight | Qt::AlignVCenter,
                smallMetrics.elidedText(options.header, Qt::ElideMiddle, page.width()));
    };

    if (!pane->Vertical()) {
        // Rows as the horizontal view shows them, with their colours and ruby, each kept
        // whole on a page.
        // Ruby at half the text's size, in room of its own above the row.
        QFont rubyFont = font;
        rubyFont.setPixelSize(qMax(1, font.pixelSize() / 2));
        const qreal rubyRoom = QFontMetricsF(rubyFont, printer).height();
        std::vector<PrintedLine> lines;
        const std::vector<PrintedRow> rows =
            rowsForPrint(pane, font, rubyRoom, area, printer, lines);
        const int pageCount = rows.empty() ? 1 : rows.back().page + 1;
        for (int p = 0; p < pageCount; ++p) {
            if (p > 0)
                printer->newPage();
            for (const PrintedRow &row : rows) {
                if (row.page != p)
                    continue;
                const QTextLine line = row.line->layout->lineAt(row.row);
                const bool ruby = std::any_of(
                    row.line->rubies.cbegin(), row.line->rubies.cend(), [&](const auto &r) {
                        return r.start >= line.textStart() &&
                               r.start < line.textStart() + line.textLength();
                    });
                const QPointF origin(area.left(),
                                     area.top() + row.top + (ruby ? rubyRoom : 0) - line.y());
                painter.setPen(pane->fontColor());
                line.draw(&painter, origin);
                if (ruby)
                    paintRowRuby(painter, row, origin, rubyFont, pane->fontColor());
            }
            pageFrame(p + 1, pageCount);
        }
        painter.end();
        return pageCount;
    }

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
        pageFrame(pages, pageCount);
    }
    painter.end();
    return pages;
}

} // namespace

int printPane(TRichEditSx *pane, QPrinter *printer, const PrintOptions &options)
{
    const int pages = printPages(pane, printer, options);
    if (pages > 0 && printer->outputFormat() == QPrinter::PdfFormat &&
        !printer->outputFileName().isEmpty()) {
        QSet<char16_t> radicals;
        const auto collect = [&radicals](const QString &text) {
            for (QChar c : text) {
                if (c.unicode() >= 0x2E80 && c.unicode() <= 0x2FDF)
                    radicals.insert(c.unicode());
            }
        };
        for (QTextBlock b = pane->document()->firstBlock(); b.isValid(); b = b.next())
            collect(b.text());
        collect(options.header);
        giveRadicalsTheirKanji(printer->outputFileName(), radicals);
    }
    return pages;
}

} // namespace editor
