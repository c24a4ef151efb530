#include "reading/ReadingEngine.h"

#include "reading/KanaRules.h"
#include "reading/MecabReader.h"
#include "text/Ruby.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>

namespace reading {

namespace {

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'０' && c <= u'９');
}

// Marks read as a pause between words; other marks and symbols are not read at all.
bool isPauseMark(QChar c)
{
    return QStringView(u"、。，．！？!?,.;:；：…‥・　 \t").contains(c);
}

bool containsKanji(QStringView s)
{
    for (qsizetype i = 0; i < s.size(); ++i) {
        char32_t c = s[i].unicode();
        if (s[i].isHighSurrogate() && i + 1 < s.size()) {
            c = QChar::surrogateToUcs4(s[i], s[i + 1]);
            ++i;
        }
        if (isKanji(c))
            return true;
    }
    return false;
}

// Compatibility characters (①, ㈱, ㍻, Ⅲ, full-width Latin, half-width katakana) in the form
// that has a reading.
QString withCompatibilityFolded(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        const bool fold = (u >= 0x2150 && u <= 0x218F) || (u >= 0x2460 && u <= 0x24FF) ||
                          (u >= 0x3200 && u <= 0x33FF) || (u >= 0xFF01 && u <= 0xFF5E) ||
                          (u >= 0xFF61 && u <= 0xFF9F);
        if (fold)
            out += QString(c).normalized(QString::NormalizationForm_KC);
        else
            out += c;
    }
    return out;
}

QString halfDigits(QStringView s)
{
    QString out;
    for (QChar c : s)
        out += c >= u'０' && c <= u'９' ? QChar(char16_t(c.unicode() - 0xFF10 + u'0')) : c;
    return out;
}

void appendPause(QList<Word> &out, const QString &surface)
{
    if (!out.isEmpty() && out.back().kind == Word::Kind::Pause) {
        out.back().surface += surface;
        return;
    }
    out.append({surface, QString(), Word::Kind::Pause, false});
}

// The kana a voice is given: ー as its vowel, ぢ づ as they sound, を as お.
QString spokenKana(const QString &kana)
{
    const QString lengthened = longVowelsAsKana(toHiragana(kana));
    QString s;
    for (QChar c : lengthened) {
        // Only kana with a sound of its own reach a voice: a repetition mark with nothing to
        // repeat, a small ヶ or a bracket that slipped through is left out, never spelled.
        if (c == u'ぢ')
            s += u'じ';
        else if (c == u'づ')
            s += u'ず';
        else if (c == u'を')
            s += u'お';
        else if (c >= u'ぁ' && c <= u'ゔ')
            s += c;
    }
    return s;
}

// A word in ruby notation, its reading over its kanji only: the kana it starts and ends
// with stay outside when the reading ends (starts) with them too, 過ぎて -> 過《す》ぎて,
// お茶 -> お茶《ちゃ》. ｜ marks where the base starts when the notation alone would not tell
// (after a kanji, or a base with kana inside).
QString rubyNotation(const Word &w, bool afterKanji)
{
    if (w.kind != Word::Kind::Japanese || !containsKanji(w.surface) || w.kana.isEmpty())
        return w.surface;
    const QString surface = w.surface;
    const QString written = toHiragana(surface);
    QString reading = w.kana;
    qsizetype head = 0, tail = 0;
    while (head < surface.size() && !isKanji(surface[head].unicode()) &&
           !surface[head].isSurrogate() && head < reading.size() && written[head] == reading[head])
        ++head;
    while (tail < surface.size() - head && !isKanji(surface[surface.size() - 1 - tail].unicode()) &&
           !surface[surface.size() - 1 - tail].isSurrogate() && tail < reading.size() - head &&
           written[written.size() - 1 - tail] == reading[reading.size() - 1 - tail])
        ++tail;
    const QString base = surface.mid(head, surface.size() - head - tail);
    reading = reading.mid(head, reading.size() - head - tail);
    if (base.isEmpty() || reading.isEmpty())
        return w.surface;
    bool allKanji = true;
    for (QChar c : base)
        allKanji = allKanji && (isKanji(c.unicode()) || c.isSurrogate());
    const bool bar = !allKanji || (head == 0 && afterKanji);
    return surface.left(head) + (bar ? QStringLiteral("｜") : QString()) + base + u'《' + reading +
           u'》' + surface.right(tail);
}

} // namespace

ReadingEngine::ReadingEngine() : m_mecab(std::make_unique<MecabReader>()) {}

ReadingEngine::~ReadingEngine() = default;

QString ReadingEngine::userDictionaryPath()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/kotonami/readings.tsv");
}

void ReadingEngine::loadUserDictionary()
{
    Lexicon words;
    QFile f(userDictionaryPath());
    if (f.open(QIODevice::ReadOnly))
        words.addTsv(QString::fromUtf8(f.readAll()));
    m_user = words;
}

namespace {

// Syllables of a Latin word, near enough for a count of sounds: its groups of vowels.
int latinSyllables(QStringView word)
{
    int n = 0;
    bool inVowel = false;
    for (QChar c : word) {
        const bool vowel = QStringView(u"aeiouyAEIOUY").contains(c);
        if (vowel && !inVowel)
            ++n;
        inVowel = vowel;
    }
    return std::max(n, 1);
}

} // namespace

QList<Word> ReadingEngine::words(QStringView line) const
{
    QList<Word> out;
    const auto [historical, poetic] = kindOfLine(line);
    readPart(line, historical, poetic, out);
    return out;
}

LineMeter ReadingEngine::meter(QStringView line) const
{
    const auto [historical, poetic] = kindOfLine(line);
    QList<MeteredWord> metered;
    bool blank = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= line.size(); ++i) {
        const bool isBlank =
            i < line.size() && (line[i] == u' ' || line[i] == u'\u3000' || line[i] == u'\t');
        if (i < line.size() && !isBlank)
            continue;
        if (i > start) {
            QList<Word> part;
            readPart(line.sliced(start, i - start), historical, poetic, part);
            for (const Word &w : part) {
                const int morae = w.kind == Word::Kind::Latin      ? latinSyllables(w.kana)
                                  : w.kind == Word::Kind::Japanese ? moraCount(w.kana)
                                                                   : 0;
                metered.append({morae, !w.joinsPrevious, blank});
                blank = false;
            }
        }
        blank = blank || (isBlank && !metered.isEmpty());
        start = i + 1;
    }
    return meterOf(metered);
}

std::pair<bool, bool> ReadingEngine::kindOfLine(QStringView line) const
{
    QString plainLine;
    for (const text::RubyPiece &p : text::parseRuby(line))
        plainLine += p.text;
    const bool historical = looksHistorical(plainLine);
    if (historical || looksPoetic(plainLine))
        return {historical, true};
    // A line that counts as many sounds as a haiku or a tanka (give or take two) is verse
    // too, though it has no cutting word (初しぐれ猿も小蓑をほしげ也), unless it is a
    // sentence: a sentence mark, or the polite, progressive and obligative endings of
    // today's prose (行きましょう, 焼いている, 起きなければならない).
    static const QRegularExpression sentence(QStringLiteral(
        "[。．！？!?]|ます|ました|ません|ましょう|です|でした|でしょう|ている|ていた|"
        "ていま|てる$|なければ|ならない|だった|のだ|んだ"));
    if (plainLine.contains(sentence) || plainLine.size() > 40)
        return {false, false};
    QList<Word> words;
    readPlain(plainLine, false, false, words);
    int morae = 0;
    for (const Word &w : words)
        morae += w.kind == Word::Kind::Japanese ? moraCount(w.kana) : 0;
    return {false, (morae >= 15 && morae <= 19) || (morae >= 29 && morae <= 33)};
}

void ReadingEngine::readPart(QStringView line, bool historical, bool poetic, QList<Word> &out) const
{
    for (const text::RubyPiece &p : text::parseRuby(line)) {
        if (p.hasRuby()) {
            out.append(
                {p.text, toHiragana(expandKanaRepetition(p.ruby)), Word::Kind::Japanese, true});
            continue;
        }
        readPlain(p.text, historical, poetic, out);
    }
}

void ReadingEngine::readPlain(QStringView original, bool historical, bool poetic,
                              QList<Word> &out) const
{
    const QString text = withCompatibilityFolded(original);
    const Lexicon &classical = Lexicon::classical();
    QString run; // Japanese text waiting for MeCab
    auto flush = [&] {
        if (!run.isEmpty())
            readWithMecab(run, historical, poetic, out);
        run.clear();
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = text[i];
        const QChar before = i > 0 ? text[i - 1] : QChar();
        // The poet's words first, then the classical lexicon: an entry written with kanji
        // never starts inside a run of kanji, one in kana only counts in historical text.
        Lexicon::Match match = m_user.longestAt(text, i);
        if (!match.length) {
            Lexicon::Match m = Lexicon::names().longestAt(text, i);
            if (poetic) {
                const Lexicon::Match word = classical.longestAt(text, i);
                if (word.length > m.length)
                    m = word;
            }
            const bool kanjiEntry = m.length && containsKanji(text.sliced(i, m.length));
            // An entry starting with a kanji does not start inside a run of kanji, one starting
            // with kana (しづ心) not inside a run of kana.
            const bool startsWord =
                before.isNull() ||
                (isKanji(c.unicode()) ? !isKanji(before.unicode()) : !isKana(before.unicode()));
            if (m.length && ((kanjiEntry && startsWord) || (!kanjiEntry && historical)))
                match = m;
        }
        if (match.length) {
            flush();
            out.append({text.sliced(i, match.length), match.reading, Word::Kind::Japanese, false});
            i += match.length;
            continue;
        }
        if (poetic && isKanji(c.unicode()) && i + 2 < n && text[i + 1] == u'る' &&
            (text[i + 2] == u'る' || text[i + 2] == u'れ')) {
            // The classical -るる, -るれ of a verb written with its stem in kanji (流るる,
            // 忘るる, 乱るれ): the stem as the kanji table gives it, without the れ of a noun
            // made from the verb (暮 くれ: 暮るる くるる).
            QString stem = Lexicon::kanji().longestAt(text, i).reading;
            if (stem.size() > 1 && stem.endsWith(u'れ'))
                stem.chop(1);
            if (!stem.isEmpty()) {
                flush();
                out.append(
                    {text.sliced(i, 3), stem + text.sliced(i + 1, 2), Word::Kind::Japanese, false});
                i += 3;
                continue;
            }
        }
        if (c == u'行' && poetic && i + 1 < n && QStringView(u"かきくけこ").contains(text[i + 1]) &&
            !(text[i + 1] == u'か' && i + 2 < n && text[i + 2] == u'ら')) {
            // 行く in poetry is ゆく: 行き, 行く, 行けば, 行かむ (but 銀行から).
            flush();
            out.append({text.sliced(i, 1), QStringLiteral("ゆ"), Word::Kind::Japanese, false});
            ++i;
            continue;
        }
        if (c == u'来' && poetic && i + 1 < n && isKana(text[i + 1].unicode())) {
            // The classical verb 来 by the form its ending shows: こ before む ず じ ば よ
            // and before ぬ that ends a noun's modifier (来ぬ人), く before る れ, き before
            // the rest (来にけらし, 来て, 来し, 秋来ぬと).
            const QChar next = text[i + 1];
            const QChar after = i + 2 < n ? text[i + 2] : QChar();
            const bool negative = QStringView(u"むんずじばよ").contains(next) ||
                                  (next == u'ぬ' && isKanji(after.unicode()));
            const QString stem = negative                              ? QStringLiteral("こ")
                                 : QStringView(u"るれ").contains(next) ? QStringLiteral("く")
                                                                       : QStringLiteral("き");
            flush();
            out.append({text.sliced(i, 1), stem, Word::Kind::Japanese, false});
            ++i;
            continue;
        }
        if (const Approximate approx = approximateNumber(text, i); approx.length) {
            flush();
            out.append(
                {text.sliced(i, approx.length), approx.reading, Word::Kind::Japanese, false});
            i += approx.length;
            continue;
        }
        if (isDigit(c)) {
            flush();
            qsizetype end = i;
            while (end < n && (isDigit(text[end]) || text[end] == u',' || text[end] == u'，'))
                ++end;
            while (end > i && !isDigit(text[end - 1]))
                --end;
            QString digits = halfDigits(text.sliced(i, end - i));
            digits.remove(u',');
            const QChar counter = end < n ? text[end] : QChar();
            const QString counted = countedReading(digits, counter);
            if (!counted.isEmpty()) {
                out.append({text.sliced(i, end - i + 1), counted, Word::Kind::Japanese, false});
                i = end + 1;
            } else {
                out.append(
                    {text.sliced(i, end - i), numberReading(digits), Word::Kind::Japanese, false});
                i = end;
            }
            continue;
        }
        if (isAsciiLetter(c)) {
            flush();
            qsizetype end = i;
            while (end < n &&
                   (isAsciiLetter(text[end]) || ((text[end] == u'\'' || text[end] == u'-') &&
                                                 end + 1 < n && isAsciiLetter(text[end + 1]))))
                ++end;
            const QString latin = text.sliced(i, end - i);
            out.append({latin, latin, Word::Kind::Latin, false});
            i = end;
            continue;
        }
        if (isPauseMark(c)) {
            flush();
            appendPause(out, QString(c));
            ++i;
            continue;
        }
        run += c;
        ++i;
    }
    flush();
}

void ReadingEngine::readWithMecab(QStringView raw, bool historical, bool poetic,
                                  QList<Word> &out) const
{
    const QString text = expandKanaRepetition(raw);
    Modernised modern;
    if (historical) {
        modern = modernFromHistorical(text);
    } else {
        modern.text = poetic ? auxiliaryMuAsN(text) : text;
        for (qsizetype k = 0; k < text.size(); ++k)
            modern.origin.append(k);
    }
    // Old prints write the small っ large: 入つて, 取つた are 入って, 取った (a verb's stem in
    // kanji, then つて or つた, which today's spelling never has); in historical kana also
    // after kana (なつてゐる), but for かつて, a word of its own.
    for (qsizetype k = 1; k + 1 < modern.text.size(); ++k) {
        const QChar before = modern.text[k - 1];
        const bool stem = isKanji(before.unicode()) ||
                          (historical && isKana(before.unicode()) && before != u'か');
        if (modern.text[k] == u'つ' && stem &&
            (modern.text[k + 1] == u'て' || modern.text[k + 1] == u'た'))
            modern.text[k] = u'っ';
    }
    qsizetype pos = 0;
    const QList<MecabReader::Token> tokens = m_mecab->tokens(modern.text);
    for (qsizetype ti = 0; ti < tokens.size(); ++ti) {
        const MecabReader::Token &t = tokens[ti];
        const qsizetype start = modern.text.indexOf(t.surface, pos);
        const qsizetype at = start < 0 ? pos : start;
        pos = at + t.surface.size();
        const qsizetype from = modern.origin.value(at, 0);
        const qsizetype to = modern.origin.value(pos - 1, text.size() - 1) + 1;
        const QString surface = text.mid(from, to - from);

        if (t.partOfSpeech == QStringLiteral("記号") && !containsKanji(t.surface)) {
            if (t.surface.size() == 1 && isPauseMark(t.surface[0]))
                appendPause(out, surface);
            continue;
        }
        if (t.surface.startsWith(u'々') && !out.isEmpty() &&
            out.back().kind == Word::Kind::Japanese && !out.back().kana.isEmpty()) {
            // 瀬々 -> せぜ: the word before, said again with its first sound voiced.
            QString again = out.back().kana;
            again[0] = voiced(again[0]);
            out.append({surface, again, Word::Kind::Japanese, false});
            continue;
        }
        QString kana;
        const bool repeated = ti + 1 < tokens.size() && tokens[ti + 1].surface.startsWith(u'々');
        const Lexicon::Match basic = repeated && t.surface.size() == 1
                                         ? Lexicon::classical().longestAt(t.surface, 0)
                                         : Lexicon::Match();
        if (basic.length)
            kana = basic.reading; // the kanji's own reading before 々: 瀬々 is せぜ
        else if (t.partOfSpeech == QStringLiteral("助詞") &&
                 (t.surface == u"は" || t.surface == u"へ"))
            kana = t.surface == u"は" ? QStringLiteral("わ") : QStringLiteral("え");
        else if (poetic && t.surface.size() == 1 && isKanji(t.surface[0].unicode()) &&
                 t.detail == QStringLiteral("固有名詞"))
            // One kanji MeCab takes for a name (仏 フツ as France, 露 ロ as Russia) is, in
            // verse, the word: ほとけ, つゆ.
            kana = Lexicon::kanji().longestAt(t.surface, 0).reading;
        if (kana.isEmpty() && !t.reading.isEmpty())
            kana = toHiragana(t.reading);
        if (kana.isEmpty()) {
            // A word the dictionary does not know: its kana as written, each kanji read on
            // its own where the dictionary knows it, the rest left silent.
            QString lastKanji;
            for (qsizetype k = 0; k < t.surface.size(); ++k) {
                const QChar c = t.surface[k];
                if (c == u'々' && !kana.isEmpty()) {
                    // 瀬々 -> せぜ: the kanji before, said again with its first sound voiced.
                    QString again = lastKanji;
                    if (!again.isEmpty())
                        again[0] = voiced(again[0]);
                    kana += again;
                    continue;
                }
                if (isKana(c.unicode())) {
                    kana += toHiragana(QString(c));
                    continue;
                }
                // (A QString of its own: a view of QString::sliced's result would outlive it.)
                QString one = t.surface.sliced(k, 1);
                if (c.isHighSurrogate() && k + 1 < t.surface.size())
                    one = t.surface.sliced(k++, 2);
                const Lexicon::Match m = Lexicon::classical().longestAt(one, 0);
                if (m.length) {
                    lastKanji = m.reading;
                } else {
                    lastKanji.clear();
                    for (const MecabReader::Token &single : m_mecab->tokens(one))
                        lastKanji += toHiragana(single.reading);
                    if (lastKanji.isEmpty()) // 枯 in 枯野, 閑 in 閑さ: no word of its own
                        lastKanji = Lexicon::kanji().longestAt(one, 0).reading;
                }
                kana += lastKanji;
            }
        }
        if (kana.isEmpty())
            continue;
        // Particles, auxiliaries and dependent words go with the word before them, so that
        // the blanks fall between words as a reader pauses: "はる すぎて".
        const bool attaches = t.partOfSpeech == QStringLiteral("助詞") ||
                              t.partOfSpeech == QStringLiteral("助動詞") ||
                              t.detail == QStringLiteral("非自立") ||
                              t.detail == QStringLiteral("接尾");
        out.append({surface, kana, Word::Kind::Japanese, false,
                    attaches && !out.isEmpty() && out.back().kind == Word::Kind::Japanese});
    }
}

QString ReadingEngine::perLine(QStringView text,
                               const std::function<QString(const QList<Word> &)> &lineText) const
{
    QString out;
    const QList<QStringView> lines = text.split(u'\n');
    for (qsizetype li = 0; li < lines.size(); ++li) {
        if (li > 0)
            out += u'\n';
        out += lineText(words(lines[li]));
    }
    return out;
}

QString ReadingEngine::kana(QStringView text) const
{
    return perLine(text, [](const QList<Word> &words) {
        QString line;
        for (const Word &w : words) {
            if (w.kind == Word::Kind::Pause) {
                if (!line.isEmpty() && !line.endsWith(QLatin1String(", ")))
                    line += QStringLiteral(", ");
                continue;
            }
            if (!line.isEmpty() && !line.endsWith(u' ') && !w.joinsPrevious)
                line += u' ';
            line += w.kind == Word::Kind::Latin ? w.kana : spokenKana(w.kana);
        }
        if (line.endsWith(QLatin1String(", ")))
            line.chop(2);
        return line;
    });
}

QString ReadingEngine::romaji(QStringView text) const
{
    thread_local std::unique_ptr<icu::Transliterator> toLatin = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> t(icu::Transliterator::createInstance(
            "Hiragana-Latin; Latin-ASCII", UTRANS_FORWARD, status));
        return U_SUCCESS(status) ? std::move(t) : nullptr;
    }();
    const QString spoken = kana(text);
    if (!toLatin)
        return spoken;
    icu::UnicodeString u(reinterpret_cast<const UChar *>(spoken.utf16()), int32_t(spoken.size()));
    toLatin->transliterate(u);
    return QString(reinterpret_cast<const QChar *>(u.getBuffer()), u.length());
}

QString ReadingEngine::withRuby(QStringView text) const
{
    QString out;
    const QList<QStringView> lines = text.split(u'\n');
    for (qsizetype li = 0; li < lines.size(); ++li) {
        if (li > 0)
            out += u'\n';
        const QStringView line = lines[li];
        const auto [historical, poetic] = kindOfLine(line);
        for (const text::RubyPiece &p : text::parseRuby(line)) {
            if (p.hasRuby()) {
                // Ruby the poet wrote stays as written.
                out += line.sliced(p.notationStart(), p.end - p.notationStart());
                continue;
            }
            QList<Word> words;
            readPlain(p.text, historical, poetic, words);
            for (const Word &w : words)
                out += rubyNotation(w, !out.isEmpty() && isKanji(out.back().unicode()));
        }
    }
    return out;
}

} // namespace reading
