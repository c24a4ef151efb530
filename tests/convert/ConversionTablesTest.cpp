// The conversion tables are data: src/convert/data, compiled in through convert.qrc. These
// tests read the same files and hold every conversion to every row they list, so a table
// can grow or change without the tests restating it; a few worked examples pin results
// that must not change with the data.
#include "convert/ConversionTables.h"
#include "QtPrinters.h"
#include "convert/Conversions.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <gtest/gtest.h>

using namespace convert;

namespace {

using Conversion = void (*)(ReplaceEngine &, TextTarget &);

// A row as its data file lists it; a fixed row has one candidate, its replacement.
struct Row
{
    QString search;
    QStringList candidates;
    bool draw = false;
    int line = 0;
};

QString dataPath(const QString &file)
{
    return QStringLiteral(KOTONAMI_CONVERT_DATA_DIR "/") + file;
}

// Reads a data file its own plain way rather than through parseReplaceTable(), so that a
// fault of the parser cannot hide behind itself: "search TAB replacement", "= TAB search TAB
// replacement" or "N TAB search TAB" and N candidates.
QList<Row> rowsOf(const char *file)
{
    QFile f(dataPath(QLatin1String(file)));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file;
    QList<Row> rows;
    int line = 0;
    for (const QString &text : QString::fromUtf8(f.readAll()).split(u'\n')) {
        ++line;
        if (text.isEmpty() || text.startsWith(u'#'))
            continue;
        QStringList fields = text.split(u'\t');
        Row row;
        row.line = line;
        if (fields.size() > 2 && fields[0] == u"=") {
            fields.removeFirst();
        } else if (fields.size() > 2) {
            const int n = fields.takeFirst().toInt();
            row.draw = n == fields.size() - 1;
        }
        row.search = fields.takeFirst();
        row.candidates = fields;
        rows.append(row);
    }
    EXPECT_FALSE(rows.isEmpty()) << file;
    return rows;
}

QString convertWith(Conversion conversion, const QString &text)
{
    ReplaceEngine engine;
    StringTarget target(text);
    conversion(engine, target);
    return target.text();
}

QString manyogana(const QString &text, quint64 seed = 1)
{
    ReplaceEngine engine;
    engine.setSeed(seed);
    StringTarget target(text);
    convertToManyogana(engine, target);
    return target.text();
}

void toManyogana(ReplaceEngine &engine, TextTarget &target)
{
    convertToManyogana(engine, target);
}

// The candidates of the Man'yogana drawing rows, by kana.
QHash<QString, QStringList> drawnKana()
{
    QHash<QString, QStringList> drawn;
    for (const Row &row : rowsOf("manyogana.tsv"))
        if (row.draw)
            drawn.insert(row.search, row.candidates);
    return drawn;
}

struct KanaConversion
{
    const char *file;
    Conversion convert;
};

const KanaConversion kKanaConversions[] = {
    {"kata2hira.tsv", &convertKatakanaToHiragana},
    {"kata2kanji.tsv", &convertKatakanaToKanji},
    {"hira2kata.tsv", &convertHiraganaToKatakana},
};

} // namespace

TEST(ConversionData, EveryDataFileIsCompiledInUnchanged)
{
    // Running the conversions loads the tables, and with them the program's resources.
    for (Conversion c : {&convertKatakanaToHiragana, &convertKatakanaToKanji,
                         &convertHiraganaToKatakana, &toManyogana})
        EXPECT_EQ(convertWith(c, QString()), QString());
    const QStringList files = QDir(QStringLiteral(KOTONAMI_CONVERT_DATA_DIR))
                                  .entryList({QStringLiteral("*.tsv")}, QDir::Files, QDir::Name);
    ASSERT_FALSE(files.isEmpty());
    EXPECT_EQ(QDir(QStringLiteral(":/convert")).entryList(QDir::Files, QDir::Name), files);
    for (const QString &file : files) {
        QFile source(dataPath(file)), compiled(QStringLiteral(":/convert/") + file);
        ASSERT_TRUE(source.open(QIODevice::ReadOnly) && compiled.open(QIODevice::ReadOnly))
            << qPrintable(file);
        EXPECT_EQ(compiled.readAll(), source.readAll()) << qPrintable(file);
    }
}

TEST(KanaConversions, EveryRowTheFileListsAndNothingElse)
{
    for (const KanaConversion &k : kKanaConversions) {
        SCOPED_TRACE(k.file);
        QString searches, replacements;
        for (const Row &row : rowsOf(k.file)) {
            ASSERT_FALSE(row.draw) << "line " << row.line;
            ASSERT_EQ(row.candidates.size(), 1) << "line " << row.line;
            EXPECT_EQ(convertWith(k.convert, row.search), row.candidates[0]) << "line " << row.line;
            searches += row.search;
            replacements += row.candidates[0];
        }
        // Every row at once, in one text: no row takes up what another has written.
        EXPECT_EQ(convertWith(k.convert, searches), replacements);
        // What the file does not list stays: the rest of the kana and punctuation blocks,
        // half-width katakana, kanji, Latin letters, digits and line breaks.
        QString others;
        for (char16_t c = 0x3000; c <= 0x30FF; ++c)
            if (!searches.contains(QChar(c)))
                others += QChar(c);
        others += QStringLiteral("ｶﾀｶﾅｰ 春夏 abc XYZ 0123 ０１２\n\r\n𠮷");
        EXPECT_EQ(convertWith(k.convert, others), others);
    }
}

TEST(KanaConversions, RoundTripsHoldWhereNeitherWayMergesTwoKana)
{
    const struct
    {
        const char *there;
        Conversion go;
        const char *back;
        Conversion comeBack;
    } trips[] = {
        {"hira2kata.tsv", &convertHiraganaToKatakana, "kata2hira.tsv", &convertKatakanaToHiragana},
        {"kata2hira.tsv", &convertKatakanaToHiragana, "hira2kata.tsv", &convertHiraganaToKatakana},
    };
    const auto resultCounts = [](const QList<Row> &rows) {
        QHash<QString, int> counts;
        for (const Row &row : rows)
            ++counts[row.candidates[0]];
        return counts;
    };
    for (const auto &trip : trips) {
        SCOPED_TRACE(trip.there);
        const QList<Row> rows = rowsOf(trip.there), backRows = rowsOf(trip.back);
        const QHash<QString, int> mergedThere = resultCounts(rows);
        const QHash<QString, int> mergedBack = resultCounts(backRows);
        QHash<QString, QString> backOf;
        for (const Row &row : backRows)
            backOf.insert(row.search, row.candidates[0]);
        int exact = 0;
        for (const Row &row : rows) {
            const QString there = row.candidates[0];
            ASSERT_TRUE(backOf.contains(there)) << "line " << row.line << ": no way back";
            // ヵ and カ both give か, パ and ハ both come back as は: of such a pair only
            // one kana can come back as it was.
            if (mergedThere[there] > 1 || mergedBack[backOf[there]] > 1)
                continue;
            EXPECT_EQ(convertWith(trip.comeBack, convertWith(trip.go, row.search)), row.search)
                << "line " << row.line;
            ++exact;
        }
        EXPECT_GT(exact, 0);
    }
}

TEST(KanaConversions, WorkedExamples)
{
    struct Case
    {
        Conversion conversion;
        const char16_t *in, *out;
    };
    const Case cases[] = {
        // The iroha, every kana once; ゐ and ゑ have no katakana of their own here.
        {&convertKatakanaToHiragana,
         u"イロハニホヘト チリヌルヲ ワカヨタレソ ツネナラム ウヰノオクヤマ ケフコエテ "
         u"アサキユメミシ ヱヒモセス",
         u"いろはにほへと ちりぬるを わかよたれそ つねならむ ういのおくやま けふこえて "
         u"あさきゆめみし えひもせす"},
        {&convertHiraganaToKatakana,
         u"いろはにほへと ちりぬるを わかよたれそ つねならむ うゐのおくやま けふこえて "
         u"あさきゆめみし ゑひもせす",
         u"イロハニホヘト チリヌルヲ ワカヨタレソ ツネナラム ウイノオクヤマ ケフコエテ "
         u"アサキユメミシ エヒモセス"},
        {&convertKatakanaToHiragana, u"ガギグゲゴ ザジズゼゾ ダヂヅデド バビブベボ ァッャヮ",
         u"がぎぐげご ざじずぜぞ だぢづでど ばびぶべぼ ぁっゃゎ"},
        {&convertKatakanaToHiragana, u"パン", u"はん"},
        {&convertHiraganaToKatakana, u"はん", u"ハン"},
        {&convertKatakanaToHiragana, u"ヴィ", u"ぶぃ"},
        {&convertHiraganaToKatakana, u"ぶぃ", u"ブィ"},
        {&convertKatakanaToHiragana, u"ヵヶヰヱ", u"かけいえ"},
        {&convertHiraganaToKatakana, u"ゐゑ", u"イエ"},
        {&convertHiraganaToKatakana, u"がっこう", u"ガッコウ"},
        {&convertHiraganaToKatakana, u"ぶどう", u"ブドウ"},
        {&convertKatakanaToHiragana, u"コーヒー", u"こーひー"},
        {&convertKatakanaToKanji, u"コーヒー", u"己ー比ー"},
        {&convertKatakanaToKanji, u"サクラ", u"散久良"},
        {&convertKatakanaToHiragana, u"ｶﾀｶﾅ", u"ｶﾀｶﾅ"},
        {&convertKatakanaToHiragana, u"はるカゼ、春。\nヽヾゝ", u"はるかぜ、春。\nヽヾゝ"},
        {&convertHiraganaToKatakana, u"はるカゼ、春。\nゝゞ", u"ハルカゼ、春。\nゝゞ"},
        {&convertHiraganaToKatakana, u"", u""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(convertWith(c.conversion, QString::fromUtf16(c.in)), QString::fromUtf16(c.out))
            << QString::fromUtf16(c.in).toStdString();
}

TEST(ManyoganaConversion, EachKanaDrawsEveryCandidateItsRowListsAndNothingElse)
{
    int drawingRows = 0;
    for (const Row &row : rowsOf("manyogana.tsv")) {
        if (!row.draw)
            continue;
        ++drawingRows;
        const int n = int(row.candidates.size());
        EXPECT_TRUE(n <= 10 ? ReplaceEngine::isManReplaceAllCount(n)
                            : ReplaceEngine::isManReplaceAll2Count(n))
            << "line " << row.line << ": the engine cannot draw from " << n << " candidates";
        // 600 of the kana: with a fixed seed every candidate turns up.
        const QString out = manyogana(row.search.repeated(600));
        const QString candidates = row.candidates.join(QString());
        ASSERT_EQ(out.size(), 600) << "line " << row.line;
        EXPECT_EQ(QSet<QChar>(out.begin(), out.end()),
                  QSet<QChar>(candidates.begin(), candidates.end()))
            << "line " << row.line;
    }
    EXPECT_GT(drawingRows, 0);
}

TEST(ManyoganaConversion, FixedRowsChainIntoTheDrawingRows)
{
    const QHash<QString, QStringList> drawn = drawnKana();
    for (const Row &row : rowsOf("manyogana.tsv")) {
        if (row.draw)
            continue;
        // ゃ becomes や, which is then drawn; ん becomes 无, which no row draws.
        const QString replacement = row.candidates[0];
        const QStringList allowed = drawn.value(replacement, {replacement});
        const QString out = manyogana(row.search.repeated(200), 3);
        ASSERT_EQ(out.size(), 200) << "line " << row.line;
        for (QChar ch : out)
            EXPECT_TRUE(allowed.contains(QString(ch)))
                << "line " << row.line << " gave " << QString(ch).toStdString();
    }
}

TEST(ManyoganaConversion, WorkedExamples)
{
    const QHash<QString, QStringList> drawn = drawnKana();
    for (quint64 seed = 1; seed <= 20; ++seed) {
        const QString a = manyogana(QStringLiteral("あ"), seed);
        EXPECT_TRUE(QStringLiteral("阿安足").contains(a)) << a.toStdString();
        const QString kya = manyogana(QStringLiteral("きゃ"), seed);
        ASSERT_EQ(kya.size(), 2);
        EXPECT_TRUE(drawn[QStringLiteral("き")].contains(QString(kya[0])));
        EXPECT_TRUE(drawn[QStringLiteral("や")].contains(QString(kya[1])));
        const QString pan = manyogana(QStringLiteral("ぱん"), seed);
        ASSERT_EQ(pan.size(), 2);
        EXPECT_TRUE(QStringLiteral("伐婆磨魔").contains(pan[0]));
        EXPECT_EQ(pan[1], u'无');
        for (const char16_t *bo : {u"ぼ", u"ぽ"})
            EXPECT_TRUE(
                QStringLiteral("煩菩番蕃").contains(manyogana(QString::fromUtf16(bo), seed)));
        const QString coffee = manyogana(QStringLiteral("コーヒー"), seed);
        ASSERT_EQ(coffee.size(), 4);
        EXPECT_EQ(coffee[0], u'コ');
        EXPECT_EQ(coffee[2], u'ヒ');
        EXPECT_TRUE(QStringLiteral("宇羽有卯得").contains(coffee[1]));
        EXPECT_TRUE(QStringLiteral("宇羽有卯得").contains(coffee[3]));
    }
    EXPECT_EQ(manyogana(QStringLiteral("パン")), QStringLiteral("パン"));
    EXPECT_EQ(manyogana(QStringLiteral("春、秋。ゝゞ")), QStringLiteral("春、秋。ゝゞ"));
}

TEST(ManyoganaConversion, NoHiraganaLeftAndTheCounts)
{
    QString all;
    for (char16_t c = u'ぁ'; c <= u'ん'; ++c)
        all += QChar(c);
    ReplaceEngine engine;
    StringTarget target(all + u'\n' + all + QStringLiteral("ー"));
    const ManyoganaResult result = convertToManyogana(engine, target);
    for (QChar c : target.text())
        EXPECT_FALSE((c >= u'ぁ' && c <= u'ん') || c == u'ー') << QString(c).toStdString();
    EXPECT_EQ(target.text().indexOf(u'\n'), all.size()) << "the line break stays";
    EXPECT_EQ(result.characters, 2 * all.size() + 1);
    // The engine is left with the count of the last drawing row.
    EXPECT_EQ(engine.ManCandidateCount(), rowsOf("manyogana.tsv").constLast().candidates.size());
    EXPECT_EQ(target.batchCount(), 1) << "the whole conversion is one batch";

    StringTarget twoLines(QStringLiteral("あいうえお\nかきくけこさし"));
    EXPECT_EQ(convertToManyogana(engine, twoLines).characters, 12);
    StringTarget empty;
    EXPECT_EQ(convertToManyogana(engine, empty).characters, 0);
    EXPECT_EQ(lineCountText(12), QStringLiteral("12行"));
    EXPECT_EQ(characterCountText(12345), QStringLiteral("12345字"));
}

TEST(ParseReplaceTable, RejectsRowsThatDoNotFit)
{
    int bad = 0;
    EXPECT_TRUE(parseReplaceTable(u"# c\nあ\tア\r\n=\tい\tイ\n2\tう\t宇\t羽\n", &bad));
    const std::pair<const char16_t *, int> broken[] = {
        {u"あ\tア\n3\tう\t宇\t羽\n", 2}, // N is not its number of candidates
        {u"あ\n", 1},                    // no replacement
        {u"\tア\n", 1},                  // empty search
        {u"あ\tア\tイ\n", 1},            // three fields without a count
    };
    for (const auto &[data, line] : broken) {
        EXPECT_FALSE(parseReplaceTable(QString::fromUtf16(data), &bad));
        EXPECT_EQ(bad, line) << QString::fromUtf16(data).toStdString();
    }
}
