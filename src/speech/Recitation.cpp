#include "speech/Recitation.h"

#include "reading/Mora.h"
#include "reading/ReadingEngine.h"

namespace speech {

namespace {

// The text of each ku: the words the meter counted into it, from the first one's start to
// the last one's end in the line.
QList<QString> kuTexts(QStringView line, const reading::LineMeter &meter,
                       const QList<reading::Word> &words)
{
    QList<std::pair<qsizetype, qsizetype>> spans;
    qsizetype w = 0;
    for (int morae : meter.ku) {
        int counted = 0;
        std::pair<qsizetype, qsizetype> span{-1, -1};
        while (w < words.size() && (counted < morae || span.first < 0)) {
            const reading::Word &word = words[w++];
            if (word.kind == reading::Word::Kind::Pause)
                continue;
            if (span.first < 0)
                span.first = word.begin;
            span.second = word.end;
            counted += reading::moraCount(word.kana);
        }
        if (span.first < 0)
            return {};
        spans << span;
    }
    // Words the count left over belong to the last ku.
    for (; w < words.size(); ++w) {
        if (words[w].kind != reading::Word::Kind::Pause)
            spans.last().second = words[w].end;
    }
    QList<QString> out;
    for (const auto &[begin, end] : spans)
        out << line.mid(begin, end - begin).toString();
    return out;
}

} // namespace

QList<RecitedPart> recitationPlan(const reading::ReadingEngine &engine, QStringView line,
                                  int wordsPerMinute, bool opening)
{
    QList<reading::Word> words;
    const reading::LineMeter meter = engine.meter(line, &words);
    if (meter.total() == 0)
        return {};
    const double scale = 150.0 / std::clamp(wordsPerMinute, 60, 400);
    const QList<QString> ku = kuTexts(line, meter, words);
    QList<RecitedPart> parts;
    if (meter.target.size() == 5 && ku.size() == 5) {
        const RecitedPart upper{ku.mid(0, 3).join(u'　'), UpperKuSeconds * scale, 0,
                                SilenceSeconds * scale};
        const RecitedPart lower{ku.mid(3).join(u'　'), LowerKuSeconds * scale, HoldSeconds * scale,
                                SilenceSeconds * scale};
        parts << upper << lower;
        if (opening)
            parts << lower;
        return parts;
    }
    const auto paced = [&](int morae) { return morae / RecitingMoraePerSecond * scale; };
    if (meter.target.size() == 3 && ku.size() == 3) {
        for (qsizetype k = 0; k < 3; ++k) {
            const bool last = k == 2;
            parts << RecitedPart{ku[k], paced(meter.ku[k]), last ? HoldSeconds * scale * 2 / 3 : 0,
                                 SilenceSeconds * scale * (last ? 1.0 : 0.6)};
        }
        return parts;
    }
    parts << RecitedPart{line.toString(), paced(meter.total()), 0, SilenceSeconds * scale};
    return parts;
}

} // namespace speech
