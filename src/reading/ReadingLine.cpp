// What a line is (verse or prose, historical kana, a waka or a haiku), and its words with
// the ruby written in it: the ruby's reading for its base, said as today's kana, and the
// text around it read together with the bases it touches, so that a word the ruby covers
// only part of keeps its reading (天の香具山《かぐやま》: あまの), and the okurigana after a
// ruby base are read as part of its word (云《い》ふ: う). And the sounds of lines of verse,
// counted by poem.
#include "reading/KanaRules.h"
#include "reading/KanjiDictionary.h"
#include "reading/Lexicon.h"
#include "reading/MecabReader.h"
#include "reading/Mora.h"
#include "reading/ReadingEngine.h"
#include "text/Ruby.h"

#include <QRegularExpression>

namespace reading {

namespace {

// Ruby that is a reading: it holds kana. Dots (・﹅﹆･) and other marks over a base are
// emphasis, and the base is read.
bool rubyIsReading(QStringView ruby)
{
    for (QChar c : ruby) {
        if (isKana(c.unicode()) && c != u'・' && c != u'･')
            return true;
    }
    return false;
}

// The ruby as said: hiragana, its repetition marks written out, historical kana as today's
// (白妙《しろたへ》 しろたえ) in a line of historical kana, or where the ruby itself is
// plainly historical: ゐ or ゑ, a word ending in へ, which no word of today's spelling does,
// or kana the kanji dictionary spells its base with only in today's spelling (廻《まは》れば
// まわれば, 大門《おほもん》 おおもん). Elsewhere a は-row kana may well be today's (溢《あふ》
// れる, 朝日《あさひ》).
QString rubyKana(QStringView base, QStringView ruby, bool historicalLine)
{
    QString kana = toHiragana(expandKanaRepetition(ruby));
    // (Before a half-voiced kana a large つ is always a small one: 引張《ひつぱ》り.)
    for (qsizetype k = 0; k + 1 < kana.size(); ++k) {
        if (kana[k] == u'つ' && QStringView(u"ぱぴぷぺぽ").contains(kana[k + 1]))
            kana[k] = u'っ';
    }
    const bool old = historicalLine || kana.contains(u'ゐ') || kana.contains(u'ゑ') ||
                     (kana.size() >= 2 && kana.endsWith(u'へ'));
    // Today's kana, and that with the small kana old prints write large (じやうげ じょうげ,
    // いつぱい いっぱい): whichever of them KANJIDIC spells the base with, the small first;
    // in a line of old spelling today's kana where KANJIDIC spells neither. (Ruby is one
    // word: its や is no particle, がんじやう がんじょう.)
    const QString today = modernFromHistorical(kana, false).text;
    QString small = today;
    for (qsizetype k = 1; k < small.size(); ++k) {
        if (const QChar s = smallAfterIRow(small[k - 1], small[k]); !s.isNull())
            small[k] = s;
        else if (small[k] == u'つ' && k + 1 < small.size() &&
                 QStringView(u"かきくけこさしすせそたちつてとぱぴぷぺぽ").contains(small[k + 1]))
            small[k] = u'っ';
    }
    small.replace(QStringLiteral("ゃう"), QStringLiteral("ょう"));
    // (And with its は-row kana as written, where one starts a kanji's sound in a compound:
    // 良平《りやうへい》 りょうへい.)
    static const QString hRow = QStringLiteral("はひふへほ");
    QString held = kana;
    for (QChar &c : held) {
        if (const qsizetype h = hRow.indexOf(c); h >= 0)
            c = QChar(char16_t(0xE000 + h));
    }
    held = modernFromHistorical(held, false).text;
    for (qsizetype k = 0; k < held.size(); ++k) {
        if (held[k].unicode() >= 0xE000 && held[k].unicode() < 0xE000 + hRow.size())
            held[k] = hRow[qsizetype(held[k].unicode()) - 0xE000];
        else if (const QChar s = k > 0 ? smallAfterIRow(held[k - 1], held[k]) : QChar();
                 !s.isNull())
            held[k] = s;
    }
    held.replace(QStringLiteral("ゃう"), QStringLiteral("ょう"));
    const KanjiDictionary &kanji = KanjiDictionary::instance();
    for (const QString &spelling : {small, held, old ? today : kana, today}) {
        if (kanji.spells(base, spelling))
            return spelling;
    }
    return old ? today : kana;
}

// Old prints write small kana large (らしやうもん for らしょうもん); compared so.
QString withLargeKana(QStringView kana)
{
    static const QString small = QStringLiteral("ぁぃぅぇぉっゃゅょゎ");
    static const QString large = QStringLiteral("あいうえおつやゆよわ");
    QString out = kana.toString();
    for (QChar &c : out) {
        if (const qsizetype k = small.indexOf(c); k >= 0)
            c = large[k];
    }
    return out;
}

// Whether ruby may be written as old prints write it: a large や ゆ よ after a kana of the
// i-row, which today's spelling would write small (しやう, きやく).
bool mayHaveLargeSmallKana(QStringView kana)
{
    for (qsizetype i = 1; i < kana.size(); ++i) {
        if (!smallAfterIRow(kana[i - 1], kana[i]).isNull())
            return true;
    }
    return false;
}

// The words of text read with the ruby bases on either side of it (`before` and `after`
// characters of them, read as `beforeKana` and `afterKana`), kept for the text only and
// placed at `offset` in the line. A word across a base's edge keeps what its reading has
// beyond the ruby's; false where its reading does not hold the ruby's, and the text is
// better read alone.
bool keepAround(const QList<Word> &read, qsizetype before, qsizetype length,
                const QString &beforeKana, const QString &afterKana, qsizetype offset,
                QList<Word> &out)
{
    QList<Word> kept;
    const qsizetype end = before + length;
    for (const Word &w : read) {
        if (w.end <= before || w.begin >= end)
            continue; // within a base
        Word part = w;
        if (w.begin < before || w.end > end) {
            if (w.kind != Word::Kind::Japanese)
                return false;
            QString kana = w.kana;
            if (w.begin < before) {
                if (!kana.startsWith(beforeKana))
                    return false;
                kana.remove(0, beforeKana.size());
                part.joinsPrevious = true;
            }
            if (w.end > end) {
                if (!kana.endsWith(afterKana))
                    return false;
                kana.chop(afterKana.size());
            }
            if (kana.isEmpty())
                continue;
            const qsizetype from = std::max(w.begin, before);
            const qsizetype to = std::min(w.end, end);
            part.kana = kana;
            part.surface = w.surface.sliced(from - w.begin, to - from);
            part.begin = from;
            part.end = to;
        }
        part.begin += offset - before;
        part.end += offset - before;
        kept.append(part);
    }
    out += kept;
    return true;
}

} // namespace

int ReadingEngine::LineKind::targetFor(qsizetype begin, qsizetype end) const
{
    if (!poetic)
        return 0;
    if (begin == held.begin && end == held.end)
        return held.morae;
    if (oneRun.first >= 0)
        return begin == oneRun.first && end == oneRun.second ? -1 : 0;
    for (qsizetype k = 0; k < ku.size(); ++k) {
        if (ku[k].first == begin && ku[k].second == end)
            return kuMorae[k];
    }
    return 0;
}

ReadingEngine::LineKind ReadingEngine::kindOfLine(QStringView line) const
{
    // In a numbered list, the poem between the number and the poet.
    const std::pair<qsizetype, qsizetype> span = poemSpan(line);
    QString plainLine;
    for (const text::RubyPiece &p :
         text::parseRuby(line.sliced(span.first, span.second - span.first)))
        plainLine += p.text;
    const bool historical = looksHistorical(plainLine);
    // Prose in historical kana (待つてゐた。, と云ふ、): sentences, not verse.
    static const QRegularExpression prose(QStringLiteral("[。．！？!?「」『』]|、.*、"));
    LineKind kind;
    kind.historical = historical;
    static const QRegularExpression sentenceMark(QStringLiteral("[。．！？!?「」『』、]"));
    // A poem's three or five lines written on one, parted by blanks, may keep their marks
    // (人がみな　同じ方角に向いて行く。　それを横より見てゐる心。).
    const QList<std::pair<qsizetype, qsizetype>> ku = blankParts(line, span.first, span.second);
    // (Not sentences of prose parted so: no quotation, nor today's polite endings.)
    static const QRegularExpression polite(
        QStringLiteral("[「」『』]|ます|ました|ません|ましょう|です|でした|でしょう"));
    // (Three such parts are a tanka's lines, longer than a haiku.)
    const bool partedPoem = (ku.size() == 5 || (ku.size() == 3 && plainLine.size() >= 24)) &&
                            plainLine.size() <= 60 &&
                            std::all_of(ku.cbegin(), ku.cend(),
                                        [](const auto &k) { return k.second - k.first <= 24; }) &&
                            !plainLine.contains(polite);
    kind.prose = !partedPoem && (plainLine.size() > 40 || plainLine.contains(sentenceMark));
    if (historical && !partedPoem && plainLine.size() >= 12 && plainLine.contains(prose))
        return kind;
    if (historical || partedPoem || looksPoetic(plainLine)) {
        kind.poetic = true;
        // Its ku, where blanks part it into three or five, or the whole poem in one run.
        if (ku.size() == 3 || ku.size() == 5) {
            kind.ku = ku;
            kind.kuMorae = ku.size() == 3 ? QList<int>{5, 7, 5} : QList<int>{5, 7, 5, 7, 7};
        } else if (ku.size() == 1 && ku[0] == span) {
            kind.oneRun = span;
        }
        // (A haiku in one run has at most twenty characters; a tanka more.)
        kind.recited = ku.size() == 5 || (kind.oneRun == span && span.second - span.first > 20);
        return kind;
    }
    // A line as many sounds as a haiku or a tanka (give or take two) is verse when it also
    // speaks the classical language (初しぐれ猿も小蓑をほしげ也): a word of the classical
    // lexicon, and no mark of a sentence or of today's polite, progressive or obligative
    // endings (行きましょう, 焼いている, 起きなければならない).
    static const QRegularExpression sentence(QStringLiteral(
        "[。．！？!?「」]|ます|ました|ません|ましょう|です|でした|でしょう|ている|ていた|"
        "ていま|てる$|なければ|ならない|だった|のだ|んだ"));
    if (plainLine.size() > 40 || plainLine.contains(sentence))
        return kind;
    // (The old perfective ぬ and the past けり ending a phrase are the classical language
    // too: 打かさなりぬ, 浮きけり花筏; and 哉, 也 and けるかも ending the line: 旅ね哉.)
    static const QRegularExpression perfective(QStringLiteral(
        "([りきしちにひみけせてねへめれ]ぬ|けり)(?![\\x{3041}-\\x{3096}])|[哉也]$|けるかも$"));
    bool classical = plainLine.contains(perfective);
    for (qsizetype i = 0; i < plainLine.size() && !classical; ++i) {
        for (const Lexicon::Match &m : Lexicon::classical().matchesAt(plainLine, i))
            classical =
                classical || (m.length >= 2 && containsKanji(plainLine.sliced(i, m.length)));
    }
    // (Or, in today's language, a line of a haiku's or a tanka's length whose words part
    // exactly at its ku: 雲の峰いくつ崩れて月の山.)
    if (!classical && plainLine.size() > 36)
        return kind;
    int morae = 0;
    // Counted as verse reads it (八十島 やそしま): read as prose, a poem may have too many.
    LineKind verse;
    verse.poetic = true;
    verse.oneRun = {0, plainLine.size()};
    QList<MeteredWord> metered;
    for (const Word &w : readLine(plainLine, verse)) {
        const int m = w.kind == Word::Kind::Japanese ? moraCount(w.kana) : 0;
        morae += m;
        metered.append({m, !w.joinsPrevious, false});
    }
    if (classical)
        kind.poetic = (morae >= 15 && morae <= 19) || (morae >= 29 && morae <= 33);
    else
        kind.poetic = (morae == 17 || morae == 31) && meterMiss(metered) == 0;
    kind.recited = morae >= 29 && morae <= 33;
    if (kind.poetic && !plainLine.contains(u' ') && !plainLine.contains(u'\u3000'))
        kind.oneRun = span;
    return kind;
}

QList<Word> ReadingEngine::readLine(QStringView line, LineKind kind) const
{
    QList<text::RubyPiece> pieces;
    // Without ｜ the base is every kanji before the ruby, but a reader gives the ruby only to
    // the kanji it spells: 唐の都洛陽《らくよう》 is とうの みやこ らくよう.
    // (Not where the kanji are one word of the dictionary's, read otherwise: 法衣《ころも》.)
    const KanjiDictionary &kanji = KanjiDictionary::instance();
    // The dictionary's readings of a base as one word (蝙蝠 かわほり, こうもり).
    auto wordReadings = [this](const QString &base) {
        QStringList readings;
        for (const MecabReader::Node &node : m_mecab->lattice(base)) {
            if (!node.unknown && node.begin == 0 && node.end == base.size())
                readings << toHiragana(m_mecab->features(node.feature).reading);
        }
        return readings;
    };
    for (text::RubyPiece &p : text::parseRuby(line)) {
        const QString ruby = toHiragana(p.ruby);
        if (p.hasRuby() && p.barLength == 0 && p.text.size() >= 2 && !kanji.spells(p.text, ruby) &&
            wordReadings(p.text).isEmpty()) {
            qsizetype from = 1;
            while (from < p.text.size() && (p.text[from].isLowSurrogate() ||
                                            !kanji.spells(QStringView(p.text).sliced(from), ruby)))
                ++from;
            // (One kanji left is read as its word alone, as if it had ruby of its own; more
            // join the plain text before them.)
            const QString alone = from == 1 ? kanji.alone(p.text[0].unicode()) : QString();
            if (!alone.isEmpty()) {
                pieces.append({p.text.left(1), alone, p.start, p.start + 1, 0});
                p.text = p.text.mid(1);
                p.start += 1;
            } else if (from < p.text.size()) {
                if (pieces.isEmpty() || pieces.back().hasRuby() || pieces.back().end != p.start)
                    pieces.append({QString(), QString(), p.start, p.start, 0});
                pieces.back().text += p.text.left(from);
                pieces.back().end += from;
                p.text = p.text.mid(from);
                p.start += from;
            }
        }
        pieces.append(p);
    }
    const auto isReading = [&](qsizetype i) {
        return i >= 0 && i < pieces.size() && pieces[i].hasRuby() && rubyIsReading(pieces[i].ruby);
    };
    // For text read apart from the line: the meter's ku stand in the line's places, which
    // that text has not.
    LineKind withoutMeter = kind;
    withoutMeter.ku.clear();
    withoutMeter.kuMorae.clear();
    withoutMeter.oneRun = {-1, -1};
    QList<Word> out;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const text::RubyPiece &p = pieces[i];
        if (isReading(i)) {
            Word w;
            w.surface = p.text;
            w.kana = rubyKana(p.text, p.ruby, kind.historical);
            // Ruby in old spelling (らしやうもん, けふ) is said as the dictionary says its base,
            // where that is the same word; ruby the dictionary reads as written (或日《あるひ》)
            // stays as written.
            if (const QString written = toHiragana(expandKanaRepetition(p.ruby));
                w.kana != written || mayHaveLargeSmallKana(written) ||
                modernFromHistorical(written, false).text != written) {
                // (Any of the dictionary's readings of the base as one word: 蝙蝠 is
                // かわほり and こうもり.)
                QList<Word> base;
                readPlain(p.text, 0, withoutMeter, base);
                QStringList says(QString{});
                for (const Word &b : base)
                    says.front() += b.kana;
                says += wordReadings(p.text);
                const QString today = modernFromHistorical(written, false).text;
                for (const QString &said : std::as_const(says)) {
                    if (said == written || withLargeKana(said) == withLargeKana(w.kana) ||
                        withLargeKana(said) == withLargeKana(today)) {
                        w.kana = said;
                        break;
                    }
                }
            }
            w.fromRuby = true;
            w.begin = p.notationStart();
            w.end = p.end;
            out.append(w);
            continue;
        }
        // Plain text, or a base whose ruby is emphasis (dots): the base is read, with the
        // ruby bases it touches.
        const bool before = isReading(i - 1) && pieces[i - 1].end == p.start && !out.isEmpty();
        const bool after = isReading(i + 1) && pieces[i + 1].notationStart() == p.end;
        if (before || after) {
            const QString beforeBase = before ? pieces[i - 1].text : QString();
            const QString afterBase = after ? pieces[i + 1].text : QString();
            QList<Word> read;
            readPlain(beforeBase + p.text + afterBase, 0, withoutMeter, read);
            if (keepAround(read, beforeBase.size(), p.text.size(),
                           before ? out.back().kana : QString(),
                           after ? rubyKana(pieces[i + 1].text, pieces[i + 1].ruby, kind.historical)
                                 : QString(),
                           p.start, out))
                continue;
        }
        readPlain(p.text, p.start, kind, out);
    }
    // Ruby in old spelling fuses with a う written after it as one word does (漸《やうや》う
    // ようよう, not ようやう).
    for (qsizetype k = 0; k + 1 < out.size(); ++k) {
        Word &ruby = out[k];
        Word &next = out[k + 1];
        if (!ruby.fromRuby || next.begin != ruby.end || !next.surface.startsWith(u'う') ||
            !next.kana.startsWith(u'う'))
            continue;
        const QString written = toHiragana(
            expandKanaRepetition(line.sliced(ruby.begin, ruby.end - ruby.begin).toString()));
        const qsizetype open = written.lastIndexOf(u'《');
        const QString spelled = written.mid(open + 1).chopped(written.endsWith(u'》') ? 1 : 0);
        const QString today = modernFromHistorical(spelled, false).text;
        const QString fused = modernFromHistorical(spelled + u'う', false).text;
        // (Only ruby in old spelling: 哂《わら》う is わらう.)
        if (open < 0 || today == spelled || fused == today + u'う' ||
            fused.size() != ruby.kana.size() + 1)
            continue;
        ruby.kana = fused;
        ruby.end += 1;
        next.kana.remove(0, 1);
        next.surface.remove(0, 1);
        next.begin += 1;
        if (next.surface.isEmpty())
            out.remove(k + 1);
    }
    return out;
}

LineMeter ReadingEngine::meter(QStringView line, QList<Word> *words) const
{
    QList<QList<Word>> read;
    const StanzaMeter m = meterOfLines({line}, PoemForm::Auto, words ? &read : nullptr);
    if (words)
        *words = read.value(0);
    return m.lines.value(0);
}

StanzaMeter ReadingEngine::meterOfLines(const QList<QStringView> &lines, PoemForm form,
                                        QList<QList<Word>> *words) const
{
    QList<QList<MeteredWord>> metered;
    QList<bool> poetic;
    for (QStringView line : lines) {
        const LineKind kind = kindOfLine(line);
        const QList<Word> read = readLine(line, kind);
        if (words)
            words->append(read);
        poetic.append(kind.poetic);
        // Only the poem of a numbered list's line counts, not its number or its poet.
        const auto [from, to] = poemSpan(line);
        QList<MeteredWord> &m = metered.emplace_back();
        bool blank = false;
        for (const Word &w : read) {
            if (w.begin < from || w.end > to)
                continue;
            if (w.kind == Word::Kind::Pause) {
                const bool parts = w.surface.contains(u' ') || w.surface.contains(u'\u3000') ||
                                   w.surface.contains(u'\t');
                if (parts) {
                    blank = blank || !m.isEmpty();
                    continue;
                }
            }
            const int morae = w.kind == Word::Kind::Latin      ? latinSyllables(w.kana)
                              : w.kind == Word::Kind::Japanese ? moraCount(w.kana)
                                                               : 0;
            m.append({morae, !w.joinsPrevious, blank});
            blank = false;
        }
    }
    return meterOfStanza(metered, form, poetic);
}

} // namespace reading
