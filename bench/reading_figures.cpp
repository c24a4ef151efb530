// How well the reading engine reads poems: the character error rate of its kana against a
// reference reading, poem by poem, and how many poems it reads without an error.
//
//   reading_figures [--dictionary ipadic|naist-jdic] [--mora] POEMS.tsv POEM_COLUMN
//                   READING_COLUMN [POET_COLUMN POET_READING_COLUMN]
//   reading_figures --kanji N
//
// --mora compares the number of sounds of each poem instead (a haiku's 17), and prints the
// poems whose count differs with both readings, which show why. --kanji reads the N most
// frequent kanji of KANJIDIC alone on a line and prints those that come out silent.
//
// The columns are named by their header. Both sides are compared as sounds: katakana as
// hiragana, blanks dropped, ー as the vowel it lengthens, を/お ゐ/い づ/ず ぢ/じ taken as
// the same; は/わ and へ/え are not, so a particle read as written counts as an error.
// Prints the poems that differ, then the totals, and (when espeak-ng is installed) how
// many poems make espeak-ng's Japanese or English voice say "letter" for a character.
#include "reading/KanaRules.h"
#include "reading/KanjiDictionary.h"
#include "reading/Mora.h"
#include "reading/ReadingEngine.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTextStream>

#include <vector>

namespace {

QString comparable(QStringView kana)
{
    QString s = reading::longVowelsAsKana(reading::toHiragana(kana));
    QString out;
    for (QChar c : s) {
        if (c.isSpace() || c == u',' || c == u'、' || c == u'。')
            continue;
        if (c == u'を')
            c = u'お';
        else if (c == u'ゐ')
            c = u'い';
        else if (c == u'づ')
            c = u'ず';
        else if (c == u'ぢ')
            c = u'じ';
        out += c;
    }
    return out;
}

int distance(QStringView a, QStringView b)
{
    std::vector<int> row(size_t(b.size()) + 1);
    for (size_t j = 0; j < row.size(); ++j)
        row[j] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int up = row[size_t(j)];
            row[size_t(j)] = std::min(
                {up + 1, row[size_t(j - 1)] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = up;
        }
    }
    return row[size_t(b.size())];
}

struct Score
{
    qint64 errors = 0;
    qint64 length = 0;
    int exact = 0;
    int count = 0;
};

bool moraMode = false;

void compare(const reading::ReadingEngine &engine, const QString &text, const QString &expected,
             Score &score, QTextStream &out)
{
    if (moraMode) {
        const int got = engine.meter(text).total();
        const int want = reading::moraCount(reading::toHiragana(expected).remove(u' '));
        score.errors += got != want;
        score.length += 1;
        score.exact += got == want;
        ++score.count;
        if (got != want)
            out << "  " << text << "\n    got  " << got << " " << engine.kana(text) << "\n    want "
                << want << " " << expected << "\n";
        return;
    }
    const QString got = comparable(engine.kana(text));
    const QString want = comparable(expected);
    const int d = distance(got, want);
    score.errors += d;
    score.length += want.size();
    score.exact += d == 0;
    ++score.count;
    if (d)
        out << "  " << text << "\n    got  " << got << "\n    want " << want << "\n";
}

// "Japanese letter", "Chinese letter", "letter 3005" in espeak-ng's phonemes.
bool saysLetter(const QString &voice, const QString &text)
{
    QProcess p;
    p.start(QStringLiteral("espeak-ng"),
            {QStringLiteral("-v"), voice, QStringLiteral("-x"), QStringLiteral("-q"), text});
    if (!p.waitForFinished(30000))
        return false;
    static const QRegularExpression spelled(QStringLiteral("ap@ni:z|aIni:z|l[',]?[eE]t[#@3]"));
    return QString::fromUtf8(p.readAllStandardOutput()).contains(spelled);
}

void total(const char *what, const Score &s, QTextStream &out)
{
    out << what << ": character error rate "
        << QString::number(100.0 * double(s.errors) / double(std::max<qint64>(1, s.length)), 'f', 2)
        << " % (" << s.errors << " of " << s.length << "), " << s.exact << " of " << s.count
        << " without an error\n";
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QStringList args = app.arguments().mid(1);
    QString dictionary;
    if (args.size() >= 2 && args[0] == QLatin1String("--dictionary")) {
        dictionary = args[1];
        args = args.mid(2);
    }
    if (!args.isEmpty() && args[0] == QLatin1String("--mora")) {
        moraMode = true;
        args = args.mid(1);
    }
    if (args.size() == 2 && args[0] == QLatin1String("--kanji")) {
        reading::ReadingEngine engine(dictionary);
        const reading::KanjiDictionary &kanji = reading::KanjiDictionary::instance();
        const int wanted = args[1].toInt();
        QList<char32_t> common(wanted, 0);
        for (char32_t c = 0x3400; c <= 0x9FFF; ++c) {
            const int rank = kanji.readings(c).frequency;
            if (rank >= 1 && rank <= wanted)
                common[rank - 1] = c;
        }
        int silent = 0, read = 0;
        for (char32_t c : common) {
            if (!c)
                continue;
            const QString line = QString::fromUcs4(&c, 1);
            const QString kana = engine.kana(line);
            if (kana.isEmpty()) {
                out << "  silent: " << line << "\n";
                ++silent;
            } else {
                ++read;
            }
        }
        out << "kanji: " << read << " of the " << wanted << " commonest read alone, " << silent
            << " silent\n";
        return silent ? 1 : 0;
    }
    if (args.size() != 3 && args.size() != 5) {
        out << "usage: reading_figures [--dictionary ipadic|naist-jdic] POEMS.tsv POEM_COLUMN "
               "READING_COLUMN "
               "[POET_COLUMN POET_READING_COLUMN]\n";
        return 2;
    }
    QFile f(args[0]);
    if (!f.open(QIODevice::ReadOnly)) {
        out << "cannot read " << args[0] << "\n";
        return 1;
    }
    const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    const QStringList header = lines.value(0).split(u'\t');
    const auto column = [&header](const QString &name) { return int(header.indexOf(name)); };
    const int poem = column(args[1]), readingColumn = column(args[2]);
    const int poet = args.size() == 5 ? column(args[3]) : -1;
    const int poetReading = args.size() == 5 ? column(args[4]) : -1;
    if (poem < 0 || readingColumn < 0 || (args.size() == 5 && (poet < 0 || poetReading < 0))) {
        out << "a column named on the command line is not in the header\n";
        return 2;
    }
    reading::ReadingEngine engine(dictionary);
    out << "dictionary: " << engine.dictionaryName() << "\n";
    Score poems, poets;
    for (const QString &line : lines.mid(1)) {
        const QStringList cells = line.split(u'\t');
        compare(engine, cells.value(poem), cells.value(readingColumn), poems, out);
        if (poet >= 0)
            compare(engine, cells.value(poet), cells.value(poetReading), poets, out);
    }
    if (moraMode) {
        out << "poems: " << poems.exact << " of " << poems.count
            << " with the right number of sounds\n";
        return 0;
    }
    total("poems", poems, out);
    if (QProcess::execute(
            QStringLiteral("sh"),
            {QStringLiteral("-c"), QStringLiteral("command -v espeak-ng >/dev/null")}) == 0) {
        int japanese = 0, english = 0;
        for (const QString &line : lines.mid(1)) {
            const QString text = line.split(u'\t').value(poem);
            japanese += saysLetter(QStringLiteral("ja"), engine.kana(text));
            english += saysLetter(QStringLiteral("en-us"), engine.romaji(text));
        }
        out << "espeak-ng says \"letter\" for " << japanese << " poems in Japanese, " << english
            << " in English\n";
    }
    if (poet >= 0)
        total("poets", poets, out);
    return 0;
}
