#include "tools/CountGrid.h"
#include "tools/CommaText.h"
#include "tools/Counts.h"

#include "QtPrinters.h"

#include "text/Cp932Codec.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tools;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(CommaText, ReadsAsEarlierFilesWereWritten)
{
    const struct
    {
        QString line;
        QStringList cells;
    } cases[] = {
        {QStringLiteral("a b,c"), {"a", "b", "c"}},
        {QStringLiteral("\"a, b\",c"), {"a, b", "c"}},
        {QStringLiteral("a,,b"), {"a", "", "b"}},
        {QStringLiteral("a,"), {"a", ""}},
        {QStringLiteral("  a , b  "), {"a", "b"}},
        {QStringLiteral("\"x\"\"y\",z"), {"x\"y", "z"}},
        {QStringLiteral("\"ab\"cd"), {"ab", "cd"}},
        {QStringLiteral("\"ab"), {"ab"}},
        {QStringLiteral("\"　\",文字列,個数,ミリ秒,備考"),
         {"　", "文字列", "個数", "ミリ秒", "備考"}},
        {QString(), {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parseCommaText(c.line), c.cells) << c.line.toStdString();
}

TEST(CommaText, WritingQuotesWhatReadingWouldSplit)
{
    EXPECT_EQ(commaText({"000001", "a b", "x\"y", "", ""}),
              QStringLiteral("000001,\"a b\",\"x\"\"y\",,"));
    EXPECT_EQ(commaText({"1", "a,b", "\t", "　"}), QStringLiteral("1,\"a,b\",\"\t\",　"));
    // Every list of cells comes back, blanks, commas, quotes and empty cells included.
    const QList<QStringList> rows = {
        {"000001", "秋 風", "000003", "00:00:00:015", ""},
        {"", "", ""},
        {""},
        {"\"", ",", " ", "a\"\"b", " lead", "trail "},
    };
    for (const QStringList &r : rows)
        EXPECT_EQ(parseCommaText(commaText(r)), r) << commaText(r).toStdString();
    auto *rng = QRandomGenerator::global();
    const QString alphabet = QStringLiteral("a ,\"\tあ　");
    for (int i = 0; i < 500; ++i) {
        QStringList r;
        const int n = 1 + int(rng->bounded(5));
        for (int k = 0; k < n; ++k) {
            QString cell;
            for (int len = int(rng->bounded(5)); len > 0; --len)
                cell += alphabet[int(rng->bounded(alphabet.size()))];
            r << cell;
        }
        ASSERT_EQ(parseCommaText(commaText(r)), r) << commaText(r).toStdString();
    }
}

TEST(GridSortKey, LowerCaseBytesRaisedAlsoAsSecondBytes)
{
    EXPECT_EQ(gridSortKey(QStringLiteral("abz")), QByteArray("ABZ"));
    // ヂ is 83 61 in code page 932; its second byte is raised to 41, the code of ア.
    EXPECT_EQ(gridSortKey(QStringLiteral("ヂ")), text::encodeCp932(QStringLiteral("ア")).bytes);
    EXPECT_EQ(gridSortKey(QStringLiteral("あ")), QByteArray("\x82\xA0"));
}

TEST(StringGridModel, SortsWholeRowsByteWise)
{
    StringGridModel grid(3, 5);
    grid.setRow(0, {"　", "文字列", "個数"});
    grid.setRow(1, {"000001", "b", "000012"});
    grid.setRow(2, {"000002", "B", "000003"});
    grid.setRow(3, {"000003", "a", "000100"});
    grid.setRow(4, {"000004", "あ", "000007"});
    grid.sortRows(2, false);
    EXPECT_EQ(grid.row(1), QStringList({"000002", "B", "000003"}));
    EXPECT_EQ(grid.cell(2, 2), QStringLiteral("000007"));
    EXPECT_EQ(grid.cell(3, 2), QStringLiteral("000012"));
    EXPECT_EQ(grid.cell(4, 2), QStringLiteral("000100"));
    grid.sortRows(2, true);
    EXPECT_EQ(grid.cell(1, 2), QStringLiteral("000100"));
    EXPECT_EQ(grid.cell(4, 2), QStringLiteral("000003"));
    EXPECT_EQ(grid.row(0), QStringList({"　", "文字列", "個数"}));
    // By string: "a" sorts before "b"/"B" (which tie), and the double-byte あ (82 A0) last.
    grid.sortRows(1, false);
    EXPECT_EQ(grid.cell(1, 1), QStringLiteral("a"));
    EXPECT_EQ(grid.cell(4, 1), QStringLiteral("あ"));
}

TEST(CountGrid, RecordedRunsAreNumberedAndKeepTheStringInOneCell)
{
    StringGridModel grid;
    int counter = 7;
    resetCountGrid(grid, counter);
    EXPECT_EQ(counter, 0);
    EXPECT_EQ(grid.rowCommaText(0), QStringLiteral("　,文字列,個数,ミリ秒,備考"));
    recordRun(grid, counter, QStringLiteral("秋"), sixDigits(3), QStringLiteral("00:00:00:001"));
    recordRun(grid, counter, QStringLiteral("秋 風,\"月\""), sixDigits(12),
              QStringLiteral("00:00:00:002"));
    EXPECT_EQ(counter, 2);
    EXPECT_EQ(grid.rowCountTotal(), 3);
    EXPECT_EQ(grid.row(1), QStringList({"000001", "秋", "000003", "00:00:00:001", ""}));
    // Regression: a blank in the string used to split it and push the count one cell on.
    EXPECT_EQ(grid.row(2), QStringList({"000002", "秋 風,\"月\"", "000012", "00:00:00:002", ""}));
}

TEST(CountGrid, SaveWritesTheRowsUpToTheCounterAndReadsThemBack)
{
    QTemporaryDir dir;
    StringGridModel grid;
    int counter = 0;
    resetCountGrid(grid, counter);
    recordRun(grid, counter, QStringLiteral("a b"), QStringLiteral("000003"),
              QStringLiteral("00:00:00:010"));
    recordRun(grid, counter, QStringLiteral("x,\"y\""), QStringLiteral("000012"),
              QStringLiteral("00:00:00:020"));
    // A row added by hand below the counter is not saved.
    grid.setRowCountTotal(4);
    grid.setRow(3, {"", "hand", "", "", ""});
    const QString path = dir.filePath(QStringLiteral("runs.csv"));
    ASSERT_TRUE(saveCountGrid(path, grid, counter).ok);
    const QByteArray expected =
        text::encodeCp932(QStringLiteral("　,文字列,個数,ミリ秒,備考\r\n"
                                         "000001,\"a b\",000003,00:00:00:010,\r\n"
                                         "000002,\"x,\"\"y\"\"\",000012,00:00:00:020,\r\n"))
            .bytes;
    EXPECT_EQ(readAll(path), expected);

    StringGridModel back;
    int backCounter = 0;
    ASSERT_TRUE(loadCountGrid(path, back, backCounter).ok);
    EXPECT_EQ(backCounter, 2);
    EXPECT_EQ(back.rowCountTotal(), 3);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(back.row(r), grid.row(r)) << r;
}

TEST(CountGrid, OpeningAFileMakesOneRowPerLine)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.csv"));
    // As earlier versions wrote it: the blank in "a b" was never quoted.
    writeAll(path, text::encodeCp932(QStringLiteral("\"　\",文字列,個数,ミリ秒,備考\r\n"
                                                    "000001,a b,000003,00:00:00:010\r\n"
                                                    "000002,c,000001,00:00:00:001,"))
                       .bytes);
    StringGridModel grid(5, 9);
    int counter = 0;
    ASSERT_TRUE(loadCountGrid(path, grid, counter).ok);
    EXPECT_EQ(grid.rowCountTotal(), 3);
    EXPECT_EQ(counter, 2);
    EXPECT_EQ(grid.cell(0, 0), QStringLiteral("　"));
    EXPECT_EQ(grid.row(1), QStringList({"000001", "a", "b", "000003", "00:00:00:010"}));
    EXPECT_EQ(grid.row(2), QStringList({"000002", "c", "000001", "00:00:00:001", ""}));

    EXPECT_EQ(gridFileLines("a\nb\rc\r\n"), QStringList({"a", "b", "c"}));
    EXPECT_EQ(gridFileLines(""), QStringList());
    EXPECT_EQ(gridFileLines("\r\n"), QStringList({""}));
}

TEST(CountGrid, FileErrorsLeaveTheGridAlone)
{
    QTemporaryDir dir;
    StringGridModel grid;
    int counter = 4;
    resetCountGrid(grid, counter);
    counter = 4;
    const GridFileResult r = loadCountGrid(dir.filePath(QStringLiteral("none.csv")), grid, counter);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.isEmpty());
    EXPECT_EQ(counter, 4);
    EXPECT_EQ(grid.rowCountTotal(), 2);
    EXPECT_FALSE(saveCountGrid(dir.filePath(QStringLiteral("no/such/dir/x.csv")), grid, 0).ok);
}

TEST(CountGrid, CharactersOutsideTheCodePageSurviveASave)
{
    QTemporaryDir dir;
    StringGridModel grid;
    int counter = 0;
    resetCountGrid(grid, counter);
    recordRun(grid, counter, QString::fromUcs4(U"🌸 花"), QStringLiteral("000001"),
              QStringLiteral("00:00:00:000"));
    const QString path = dir.filePath(QStringLiteral("u.csv"));
    const GridFileResult saved = saveCountGrid(path, grid, counter);
    ASSERT_TRUE(saved.ok);
    EXPECT_EQ(saved.unencodable, QList<char32_t>({U'🌸'}));
    StringGridModel back;
    int backCounter = 0;
    ASSERT_TRUE(loadCountGrid(path, back, backCounter).ok);
    EXPECT_EQ(back.row(1), grid.row(1));
}

TEST(CountGrid, RowsThatWouldLoadAsOtherTextAreSavedAsUtf8)
{
    // "ﾃｩ" is C3 A9 in code page 932, and C3 A9 is valid UTF-8 for "é"; a raw byte 81 kept
    // from a file, now before "A", would be written 81 41 and load as "、". Both rows are
    // saved as UTF-8 with a byte-order mark, though the code page holds every character.
    QTemporaryDir dir;
    const QString cells[] = {QStringLiteral("ﾃｩ"), QString::fromUcs4(U"\U000F0081A")};
    for (const QString &cell : cells) {
        StringGridModel grid;
        grid.setRowCountTotal(1);
        grid.setRow(0, {cell});
        const QString path = dir.filePath(QStringLiteral("row.csv"));
        const GridFileResult saved = saveCountGrid(path, grid, 0);
        ASSERT_TRUE(saved.ok);
        EXPECT_TRUE(saved.unencodable.isEmpty());
        EXPECT_TRUE(readAll(path).startsWith("\xEF\xBB\xBF"));
        StringGridModel back;
        int backCounter = -1;
        ASSERT_TRUE(loadCountGrid(path, back, backCounter).ok);
        EXPECT_EQ(backCounter, 0);
        EXPECT_EQ(back.row(0), grid.row(0));
    }

    // A file that is not UTF-8 only because of a sixth cell, which the grid drops, loads as
    // code page 932 (its EF BB BF too); without that cell its bytes would load as UTF-8.
    const QString path = dir.filePath(QStringLiteral("mark.csv"));
    writeAll(path, "\xEF\xBB\xBF\xE3\x80\x80,a,b,c,d,\x90");
    StringGridModel grid;
    int counter = -1;
    ASSERT_TRUE(loadCountGrid(path, grid, counter).ok);
    ASSERT_TRUE(saveCountGrid(path, grid, counter).ok);
    StringGridModel back;
    ASSERT_TRUE(loadCountGrid(path, back, counter).ok);
    EXPECT_EQ(back.row(0), grid.row(0));
}

TEST(CountGrid, RandomBytesNeverBreakTheReader)
{
    auto *rng = QRandomGenerator::global();
    for (int i = 0; i < 300; ++i) {
        QByteArray bytes(int(rng->bounded(200)), '\0');
        for (char &b : bytes)
            b = char(rng->bounded(256));
        const QStringList lines = gridFileLines(bytes);
        StringGridModel grid;
        grid.setRowCountTotal(1);
        for (int r = 0; r < lines.size(); ++r) {
            grid.setRowCountTotal(r + 1);
            grid.setRowCommaText(r, lines[r]);
        }
        EXPECT_EQ(grid.rowCountTotal(), std::max<qsizetype>(1, lines.size()));
    }
}
