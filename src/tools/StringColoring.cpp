#include "tools/StringColoring.h"

#include "tools/ToolsResources.h"

#include <QFile>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextStream>

namespace tools {

namespace {

text::ColorNumber parseRgb(const QString &s)
{
    const QStringList parts = s.split(u',');
    if (parts.size() != 3)
        return 0;
    return text::rgbColor(parts[0].toInt(), parts[1].toInt(), parts[2].toInt());
}

struct ColorTables
{
    QList<ColoringColor> colouring;
    text::ColorNumber cycle[10] = {};
};

const ColorTables &tables()
{
    static const ColorTables t = [] {
        ensureToolsResources();
        ColorTables result;
        QFile f(QStringLiteral(":/tools/colors.tsv"));
        if (!f.open(QIODevice::ReadOnly))
            return result;
        QTextStream in(&f);
        in.setEncoding(QStringConverter::Utf8);
        while (!in.atEnd()) {
            const QString line = in.readLine();
            if (line.isEmpty() || line.startsWith(u'#'))
                continue;
            const QStringList f5 = line.split(u'\t');
            if (f5.size() < 4)
                continue;
            if (f5[0] == QLatin1String("colour")) {
                const text::ColorNumber applied = parseRgb(f5[3]);
                const QString face = f5.value(4);
                result.colouring.append(
                    {f5[2], applied, face.isEmpty() ? applied : parseRgb(face)});
            } else if (f5[0] == QLatin1String("cycle")) {
                result.cycle[f5[1].toInt() % 10] = parseRgb(f5[3]);
            }
        }
        return result;
    }();
    return t;
}

// A match may not begin on the second half of a surrogate pair (a character outside the
// BMP, or a byte kept from a file that was not code page 932) nor end on its first half.
bool onCharacterBoundary(const QString &all, qsizetype pos)
{
    return pos <= 0 || pos >= all.size() || !all.at(pos).isLowSurrogate() ||
           !all.at(pos - 1).isHighSurrogate();
}

} // namespace

const QList<ColoringColor> &coloringColors()
{
    return tables().colouring;
}

text::ColorNumber cyclingColor(int pressCounter)
{
    const int i = ((pressCounter % 10) + 10) % 10;
    return tables().cycle[i];
}

QColor toQColor(text::ColorNumber c)
{
    return QColor(text::redOf(c), text::greenOf(c), text::blueOf(c));
}

std::optional<int> ColorAllMatches(QTextCursor &cursor, const QString &text, const QColor &color,
                                   const QColor &typingColor)
{
    QTextDocument *doc = cursor.document();
    if (!doc || doc->isEmpty())
        return std::nullopt;

    // One copy of the text, searched with indexOf: QTextDocument::find would rebuild a
    // block's text for every occurrence, which is quadratic on a long line. Positions in the
    // raw text are document positions; only the block separators need mapping to "\n".
    QString all = doc->toRawText();
    all.replace(QChar::ParagraphSeparator, u'\n');

    int count = 0;
    int caret = cursor.position();
    if (!text.isEmpty()) {
        QTextCharFormat paint;
        paint.setForeground(color);
        QTextCursor c(doc);
        c.beginEditBlock();
        qsizetype from = 0;
        while ((from = all.indexOf(text, from, Qt::CaseSensitive)) >= 0) {
            const qsizetype end = from + text.size();
            if (!onCharacterBoundary(all, from) || !onCharacterBoundary(all, end)) {
                ++from;
                continue;
            }
            c.setPosition(int(from));
            c.setPosition(int(end), QTextCursor::KeepAnchor);
            c.mergeCharFormat(paint);
            ++count;
            caret = int(end);
            from = end;
        }
        c.endEditBlock();
    }

    cursor.clearSelection();
    cursor.setPosition(caret);
    QTextCharFormat typing = cursor.charFormat();
    if (typingColor.isValid())
        typing.setForeground(typingColor);
    else
        typing.clearForeground();
    cursor.setCharFormat(typing);
    return count;
}

text::ColorNumber ColoringState::nextCyclingColor()
{
    ++pressCounter;
    return cyclingColor(pressCounter);
}

int ColoringState::takeRun(std::optional<int> count)
{
    if (count)
        lastColorCount = *count;
    return lastColorCount;
}

QString coloredCountText(int count)
{
    return QString::number(count) + QStringLiteral("文字列");
}

} // namespace tools
