#include "search/FindReplace.h"

#include "convert/ReplaceEngine.h"

namespace search {

std::optional<FoundRange> findForward(QStringView text, QStringView findText, qsizetype selStart,
                                      qsizetype selLength, Qt::CaseSensitivity cs)
{
    const qsizetype from =
        selLength > 0 ? std::clamp<qsizetype>(selStart + selLength, 0, text.size()) : 0;
    const qsizetype p = convert::indexOfWhole(text, findText, from, cs);
    if (p < 0)
        return std::nullopt;
    return FoundRange{p, findText.size()};
}

std::optional<FoundRange> findBackward(QStringView text, QStringView findText, qsizetype selStart,
                                       Qt::CaseSensitivity cs)
{
    if (findText.isEmpty())
        return std::nullopt;
    const qsizetype end = std::clamp<qsizetype>(selStart, 0, text.size());
    const QStringView before = text.first(end);
    std::optional<FoundRange> last;
    qsizetype from = 0;
    for (qsizetype p = before.indexOf(findText, from, cs); p >= 0;
         p = before.indexOf(findText, from, cs)) {
        // Boundaries are judged in the whole text: an occurrence may not end between the
        // halves of a pair even when the selection starts there.
        if (convert::isCharBoundary(text, p) &&
            convert::isCharBoundary(text, p + findText.size())) {
            last = FoundRange{p, findText.size()};
            from = p + findText.size();
        } else {
            from = p + 1;
        }
    }
    return last;
}

std::optional<FoundRange> findInDirection(QStringView text, QStringView findText,
                                          qsizetype selStart, qsizetype selLength,
                                          Direction direction, Qt::CaseSensitivity cs)
{
    if (direction == Direction::Up)
        return findBackward(text, findText, selStart, cs);
    return findForward(text, findText, selStart, selLength, cs);
}

std::optional<FoundRange> findForReplace(QStringView text, QStringView findText)
{
    return findForward(text, findText, 0, 0);
}

ReplaceAllResult replaceAll(convert::TextTarget &target, const QString &findText,
                            const QString &replacement)
{
    if (findText.isEmpty())
        return {};
    convert::EditScope scope(target);
    const QString text = target.text();
    const convert::RowOutcome row = convert::replaceAllEdits(text, findText, replacement);
    target.applyEdits(row.edits);
    return ReplaceAllResult{row.replacements, row.complete};
}

QString notFoundMessage(const QString &findText)
{
    return QStringLiteral("Could not find \"%1\" in Kotonami.").arg(findText);
}

QString stoppedEarlyMessage(qsizetype replacements)
{
    return QStringLiteral(
               "%1件置換しました。置換するたびに新しい一致ができるため、途中で止めました。")
        .arg(replacements);
}

} // namespace search
