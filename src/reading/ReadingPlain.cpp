// Text without ruby into words: marks as pauses, numbers in digits and numbers of a few
// (四五人) with their counters, Latin words, and the runs of Japanese the lattice reads.
#include "reading/ReadingEngine.h"

#include "reading/Counters.h"
#include "reading/KanaRules.h"
#include "reading/Mora.h"

namespace reading {

namespace {

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Marks read as a pause between words; other marks and symbols are not read at all.
bool isPauseMark(QChar c)
{
    return QStringView(u"、。，．！？!?,.;:；：…‥・　 \t").contains(c);
}

// A character that may stand in a run of Japanese text read by the lattice: kana, kanji,
// ー and the repetition marks; a surrogate pair counts by its high half.
bool isJapanese(QStringView s, qsizetype i)
{
    const char32_t c = codePointAt(s, i);
    return isKana(c) || isKanji(c) || c == U'ー' || c == U'〳' || c == U'〴' || c == U'〵' ||
           (s[i].isLowSurrogate() && i > 0 && isKanji(codePointAt(s, i - 1)));
}

void appendPause(QList<Word> &out, const QString &surface, qsizetype begin, qsizetype end)
{
    if (!out.isEmpty() && out.back().kind == Word::Kind::Pause && out.back().end == begin) {
        out.back().surface += surface;
        out.back().end = end;
        return;
    }
    Word w;
    w.surface = surface;
    w.kind = Word::Kind::Pause;
    w.begin = begin;
    w.end = end;
    out.append(w);
}

// Text as the readers want it, with where each character came from: compatibility forms
// (①, ㈱, full-width Latin and digits, half-width katakana with its voiced marks) in the
// form that has a reading, a voiced mark written apart (か゛) joined to its kana, ゝ ゞ ヽ ヾ
// as the kana they repeat.
struct Folded
{
    QString text;
    QList<qsizetype> origin; // for each character of text, and one more for its end
};

Folded fold(QStringView in)
{
    Folded f;
    f.text.reserve(in.size());
    f.origin.reserve(in.size() + 1);
    const qsizetype n = in.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = in[i].unicode();
        const bool halfKana = u >= 0xFF61 && u <= 0xFF9F;
        const bool compat = (u >= 0x2150 && u <= 0x218F) || (u >= 0x2460 && u <= 0x24FF) ||
                            (u >= 0x3200 && u <= 0x33FF) || (u >= 0xFF01 && u <= 0xFF5E) ||
                            halfKana;
        if (compat) {
            // A half-width kana takes its voiced mark with it: ｶﾞ is ガ.
            qsizetype len = 1;
            if (halfKana && i + 1 < n && (in[i + 1] == u'ﾞ' || in[i + 1] == u'ﾟ'))
                len = 2;
            const QString folded =
                in.sliced(i, len).toString().normalized(QString::NormalizationForm_KC);
            for (QChar c : folded) {
                f.text += c;
                f.origin.append(i);
            }
            i += len - 1;
            continue;
        }
        if ((u == 0x309B || u == 0x309C || u == 0x3099 || u == 0x309A) && !f.text.isEmpty() &&
            isKana(f.text.back().unicode())) {
            // か゛ -> が: the mark joins the kana before it.
            const QString joined =
                (QString(f.text.back()) + QChar(u == 0x309B || u == 0x3099 ? 0x3099 : 0x309A))
                    .normalized(QString::NormalizationForm_C);
            if (joined.size() == 1) {
                f.text.back() = joined[0];
                continue;
            }
        }
        f.text += in[i];
        f.origin.append(i);
    }
    f.origin.append(n);
    const QString repeated = expandKanaRepetition(f.text);
    if (repeated.size() == f.text.size())
        f.text = repeated;
    return f;
}

} // namespace

void ReadingEngine::readPlain(QStringView original, qsizetype offset, LineKind kind,
                              QList<Word> &out) const
{
    const Folded folded = fold(original);
    const QString &text = folded.text;
    auto at = [&](qsizetype i) { return offset + folded.origin[i]; };
    auto word = [&](qsizetype from, qsizetype to, const QString &kana, Word::Kind k) {
        Word w;
        w.surface = text.sliced(from, to - from);
        w.kana = kana;
        w.kind = k;
        w.begin = at(from);
        w.end = at(to);
        out.append(w);
    };
    const qsizetype n = text.size();
    auto runEnd = [&](qsizetype i) {
        qsizetype end = i;
        while (end < n && isJapanese(text, end) && !approximateNumber(text, end).length)
            ++end;
        return end == i ? i + 1 : end;
    };
    // In a ku or a poem in one run, the words beside a number of a few (四五人に, 二三片) are
    // held to the sounds the number leaves them, where they are one run.
    if (kind.poetic) {
        struct Part
        {
            qsizetype begin, end;
            int numberMorae; // -1: a run of words
        };
        QList<Part> parts;
        for (qsizetype i = 0; i < n;) {
            if (const Approximate approx = approximateNumber(text, i); approx.length) {
                parts.append({at(i), at(i + approx.length), moraCount(approx.reading)});
                i += approx.length;
            } else if (isJapanese(text, i)) {
                const qsizetype end = runEnd(i);
                parts.append({at(i), at(end), -1});
                i = end;
            } else {
                ++i;
            }
        }
        QList<std::pair<std::pair<qsizetype, qsizetype>, int>> spans;
        for (qsizetype k = 0; k < kind.ku.size(); ++k)
            spans.append({kind.ku[k], kind.kuMorae[k]});
        if (kind.oneRun.first >= 0)
            spans.append({kind.oneRun, kind.recited ? 31 : 17});
        for (const auto &[span, morae] : spans) {
            int left = morae;
            int runs = 0;
            for (const Part &p : parts) {
                if (p.begin < span.first || p.end > span.second)
                    continue;
                left -= std::max(p.numberMorae, 0);
                if (p.numberMorae < 0 && runs++ == 0)
                    kind.held = {p.begin, p.end, 0};
            }
            if (runs == 1 && left < morae && left > 0) {
                kind.held.morae = left;
                break;
            }
            kind.held = {};
        }
    }
    for (qsizetype i = 0; i < n;) {
        const QChar c = text[i];
        // An editor's note of an electronic text, ［＃「其の時」に傍点］: not part of it.
        if (c == u'[' && i + 1 < n && text[i + 1] == u'#') {
            const qsizetype close = text.indexOf(u']', i + 2);
            i = close < 0 ? n : close + 1;
            continue;
        }
        if (const Approximate approx = approximateNumber(text, i); approx.length) {
            word(i, i + approx.length, approx.reading, Word::Kind::Japanese);
            i += approx.length;
            continue;
        }
        if (isDigit(c)) {
            qsizetype end = i;
            while (end < n && (isDigit(text[end]) || text[end] == u','))
                ++end;
            while (end > i && !isDigit(text[end - 1]))
                --end;
            QString digits = text.sliced(i, end - i);
            digits.remove(u',');
            const long long value = numberValue(digits);
            const qsizetype counter = value >= 0 ? counterAt(text, end) : 0;
            // 十二月1日: the day of a month, ついたち.
            const bool afterMonth =
                !out.isEmpty() && out.back().surface.endsWith(u'月') && out.back().end == at(i);
            const QString counted =
                counter ? countedReading(value, text.sliced(end, counter), afterMonth) : QString();
            if (!counted.isEmpty())
                word(i, end + counter, counted, Word::Kind::Japanese);
            else
                word(i, end, numberReading(digits), Word::Kind::Japanese);
            i = counted.isEmpty() ? end : end + counter;
            continue;
        }
        if (isAsciiLetter(c)) {
            qsizetype end = i;
            while (end < n &&
                   (isAsciiLetter(text[end]) || ((text[end] == u'\'' || text[end] == u'-') &&
                                                 end + 1 < n && isAsciiLetter(text[end + 1]))))
                ++end;
            word(i, end, text.sliced(i, end - i), Word::Kind::Latin);
            i = end;
            continue;
        }
        if (isPauseMark(c)) {
            appendPause(out, QString(c), at(i), at(i + 1));
            ++i;
            continue;
        }
        if (isJapanese(text, i)) {
            const qsizetype end = runEnd(i);
            QList<qsizetype> origin;
            origin.reserve(end - i + 1);
            for (qsizetype k = i; k <= end; ++k)
                origin.append(at(k));
            readRun(text.sliced(i, end - i), origin, kind, out);
            i = end;
            continue;
        }
        ++i; // a symbol: not read
    }
}

} // namespace reading
