// Ruby over the kanji of a text, from the readings the engine finds for its words.
#include "reading/KanaRules.h"
#include "reading/Lexicon.h"
#include "reading/ReadingEngine.h"
#include "text/Ruby.h"

#include <algorithm>
#include <functional>

namespace reading {

namespace {

// A word in ruby notation, its reading over its kanji only. The word is cut into runs of
// kanji and runs of kana; each run of kana is found in the reading, and each run of kanji
// takes what lies between: 三笠の山 みかさのやま -> 三笠《みかさ》の山《やま》, 過ぎて ->
// 過《す》ぎて, お茶 -> お茶《ちゃ》; kana in historical spelling match their sound (通ひ路
// かよいじ -> 通《かよ》ひ路《じ》). Where the kana are spelled otherwise still, a run of
// kana at the word's end or start takes as many sounds as it has letters. ｜ marks where a base
// starts right after a kanji; a word whose runs cannot be told apart gets one ruby over all of it,
// from ｜.
QString rubyNotation(const QString &surface, const QString &kana, bool afterKanji)
{
    if (!containsKanji(surface) || kana.isEmpty())
        return surface;
    struct Run
    {
        qsizetype begin, end;
        bool kanji;
        QString reading;
    };
    QList<Run> runs;
    for (qsizetype i = 0; i < surface.size();) {
        int units = 1;
        const bool kanji = isKanji(codePointAt(surface, i, &units));
        if (runs.isEmpty() || runs.back().kanji != kanji)
            runs.append({i, i, kanji, QString()});
        i += units;
        runs.back().end = i;
    }
    const QString written = toHiragana(surface);
    auto kanaOf = [&](const Run &r) { return written.mid(r.begin, r.end - r.begin); };
    // Each run of kanji the shortest reading that lets the rest match, trying longer ones
    // when it does not.
    std::function<bool(qsizetype, qsizetype)> align = [&](qsizetype run, qsizetype at) {
        if (run == runs.size())
            return at == kana.size();
        Run &r = runs[run];
        if (!r.kanji) {
            // Kana match as written or as historical kana is said (通ひ路 かよいじ).
            static const QHash<QChar, QChar> said = {{u'は', u'わ'}, {u'ひ', u'い'}, {u'ふ', u'う'},
                                                     {u'へ', u'え'}, {u'ほ', u'お'}, {u'ゐ', u'い'},
                                                     {u'ゑ', u'え'}, {u'を', u'お'}, {u'づ', u'ず'},
                                                     {u'ぢ', u'じ'}, {u'む', u'ん'}};
            const QString own = kanaOf(r);
            if (at + own.size() > kana.size())
                return false;
            for (qsizetype k = 0; k < own.size(); ++k) {
                if (kana[at + k] != own[k] && kana[at + k] != said.value(own[k]))
                    return false;
            }
            return align(run + 1, at + own.size());
        }
        for (qsizetype length = 1; at + length <= kana.size(); ++length) {
            r.reading = kana.mid(at, length);
            if (align(run + 1, at + length))
                return true;
        }
        return false;
    };
    bool aligned = align(0, 0);
    if (!aligned && runs.size() <= 3) {
        // Kana at the ends spelled otherwise than said: each takes as many sounds as letters.
        const qsizetype lead = runs.first().kanji ? 0 : runs.first().end;
        const qsizetype trail = runs.last().kanji ? 0 : surface.size() - runs.last().begin;
        const qsizetype middle = kana.size() - lead - trail;
        const qsizetype kanjiRuns =
            std::count_if(runs.cbegin(), runs.cend(), [](const Run &r) { return r.kanji; });
        if (kanjiRuns == 1 && middle > 0) {
            for (Run &r : runs) {
                if (r.kanji)
                    r.reading = kana.mid(lead, middle);
            }
            aligned = true;
        }
    }
    QString out;
    if (!aligned) {
        out = QStringLiteral("｜") + surface + u'《' + kana + u'》';
        return out;
    }
    for (const Run &r : runs) {
        const QString base = surface.mid(r.begin, r.end - r.begin);
        if (!r.kanji) {
            out += base;
            continue;
        }
        if (r.begin == 0 && afterKanji)
            out += QStringLiteral("｜");
        out += base + u'《' + r.reading + u'》';
    }
    return out;
}

} // namespace

QString ReadingEngine::withRuby(QStringView text, bool historical) const
{
    // Each word's own characters from the line, with ruby over its kanji; everything
    // between the words (brackets, dashes, marks) as it stands, and so is notation already
    // written: ruby, emphasis dots over a base, 《《emphasis》》.
    QString out;
    out.reserve(text.size() * 2);
    const QList<QStringView> lines = text.split(u'\n');
    for (qsizetype li = 0; li < lines.size(); ++li) {
        if (li > 0)
            out += u'\n';
        const QStringView line = lines[li];
        QList<std::pair<qsizetype, qsizetype>> written;
        for (const text::RubyPiece &p : text::parseRuby(line)) {
            if (p.hasRuby())
                written.append({p.notationStart(), p.end});
        }
        for (qsizetype open = line.indexOf(u"《《"); open >= 0;
             open = line.indexOf(u"《《", open + 2)) {
            const qsizetype close = line.indexOf(u"》》", open + 2);
            if (close < 0)
                break;
            written.append({open, close + 2});
        }
        auto inNotation = [&written](const Word &w) {
            return std::any_of(written.cbegin(), written.cend(), [&w](const auto &span) {
                return w.begin < span.second && w.end > span.first;
            });
        };
        qsizetype cursor = 0;
        for (const Word &w : words(line)) {
            if (w.begin < cursor || w.end > line.size())
                continue;
            out += line.sliced(cursor, w.begin - cursor);
            const QString word = line.sliced(w.begin, w.end - w.begin).toString();
            const bool afterKanji = !out.isEmpty() && isKanji(out.back().unicode());
            QString kana = w.kana;
            if (historical) {
                if (const QString spelled = Lexicon::historicalSpelling(word, kana);
                    !spelled.isEmpty())
                    kana = spelled;
            }
            out += w.kind == Word::Kind::Japanese && !inNotation(w)
                       ? rubyNotation(word, kana, afterKanji)
                       : word;
            cursor = w.end;
        }
        out += line.sliced(cursor);
    }
    return out;
}

} // namespace reading
