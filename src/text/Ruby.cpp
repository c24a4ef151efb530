#include "text/Ruby.h"

namespace text {

bool isKanji(char32_t c)
{
    return (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3FFFF) || c == 0x3005 ||
           c == 0x3007;
}

QList<RubyPiece> parseRuby(QStringView line)
{
    QList<RubyPiece> pieces;
    const qsizetype n = line.size();
    qsizetype plainFrom = 0; // the text not yet in a piece starts here
    qsizetype bar = -1;      // the ｜ that opens a base, if any
    auto plainUpTo = [&](qsizetype to) {
        if (to > plainFrom)
            pieces.append(
                {line.sliced(plainFrom, to - plainFrom).toString(), QString(), plainFrom, to, 0});
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = line[i];
        if (c == u'｜') {
            bar = i;
            continue;
        }
        if (c != u'《')
            continue;
        qsizetype close = -1;
        for (qsizetype k = i + 1; k < n && close < 0; ++k) {
            if (line[k] == u'《')
                break; // another ruby opens first: this 《 is text
            if (line[k] == u'》')
                close = k;
        }
        qsizetype baseStart = bar >= 0 ? bar + 1 : i;
        if (bar < 0) {
            // The run of kanji just before 《 (a surrogate pair counts as one).
            while (baseStart > plainFrom) {
                qsizetype k = baseStart - 1;
                char32_t cp = line[k].unicode();
                if (line[k].isLowSurrogate() && k > plainFrom && line[k - 1].isHighSurrogate()) {
                    --k;
                    cp = QChar::surrogateToUcs4(line[k], line[k + 1]);
                }
                if (!isKanji(cp))
                    break;
                baseStart = k;
            }
        }
        const QStringView ruby = close > i ? line.sliced(i + 1, close - i - 1) : QStringView();
        if (close < 0 || baseStart >= i || ruby.trimmed().isEmpty()) {
            bar = -1;
            continue;
        }
        const qsizetype barLength = bar >= 0 ? 1 : 0;
        plainUpTo(baseStart - barLength);
        pieces.append({line.sliced(baseStart, i - baseStart).toString(), ruby.toString(), baseStart,
                       close + 1, barLength});
        plainFrom = close + 1;
        i = close;
        bar = -1;
    }
    plainUpTo(n);
    return pieces;
}

QList<Span> tateChuYokoRuns(QStringView line, int longest)
{
    auto isAlnum = [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    };
    // Latin neighbours (letters with accents, punctuation such as . , - : /) make the run
    // part of Latin text, which stays sideways; a blank does not.
    auto isLatin = [](QChar c) { return c.unicode() < 0x250 && c != u' ' && c != u'\t'; };
    QList<Span> runs;
    const qsizetype n = line.size();
    for (qsizetype i = 0; i < n;) {
        if (!isAlnum(line[i])) {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < n && isAlnum(line[end]))
            ++end;
        const bool apart = (i == 0 || !isLatin(line[i - 1])) && (end == n || !isLatin(line[end]));
        if (apart && end - i <= longest)
            runs.append({i, end - i});
        i = end;
    }
    return runs;
}

} // namespace text
