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

TEST(CommaText, RecordsWrittenAndReadBackExactly)
{
    // Each case: the rows, and the file text they are written as, record by record.
    const struct
    {
        QList<QStringList> rows;
        QString text;
    } cases[] = {
        {{{"000001", "秋", "000003", "00:00:00:004", ""}},
         QStringLiteral("000001,秋,000003,00:00:00:004,\r\n")},
        // Commas and quotes inside; blanks inside stay unquoted, at either end they are kept
        // by quotes.
        {{{"a,b", "x\"y", "\"", "秋 風", " lead", "trail\t", " "}},
         QStringLiteral("\"a,b\",\"x\"\"y\",\"\"\"\",秋 風,\" lead\",\"trail\t\",\" \"\r\n")},
        // Line breaks inside a cell, CR LF, LF and CR alike: the record spans lines.
        {{{"1", "two\r\nlines", "x"}, {"2", "a\nb\rc", ""}},
         QStringLiteral("1,\"two\r\nlines\",x\r\n2,\"a\nb\rc\",\r\n")},
        // Empty cells, trailing ones included, and a row of one empty cell.
        {{{"", "", ""}, {"a", "", "", ""}, {""}}, QStringLiteral(",,\r\na,,,\r\n\"\"\r\n")},
        // Ideographic blanks are characters, never dropped.
        {{{"　", "文字列", "個数", "ミリ秒", "備考"}},
         QStringLiteral("　,文字列,個数,ミリ秒,備考\r\n")},
    };
    for (const auto &c : cases) {
        QString written;
        for (const QStringList &row : c.rows)
            written += commaText(row) + QStringLiteral("\r\n");
        EXPECT_EQ(written, c.text);
        EXPECT_EQ(parseCommaRecords(c.text), c.rows) << c.text.toStdString();
    }

    // Every list of cells comes back, whatever it holds.
    auto *rng = QRandomGenerator::global();
    const QString alphabet = QStringLiteral("a ,\"\t\r\nあ　");
    for (int i = 0; i < 2000; ++i) {
        QList<QStringList> rows;
        QString text;
        for (int r = 1 + int(rng->bounded(3)); r > 0; --r) {
            QStringList row;
            for (int k = 1 + int(rng->bounded(5)); k > 0; --k) {
                QString cell;
                for (int len = int(rng->bounded(5)); len > 0; --len)
                    cell += alphabet[int(rng->bounded(alphabet.size()))];
                row << cell;
            }
            rows << row;
            text += commaText(row) + QStringLiteral("\r\n");
        }
        ASSERT_EQ(parseCommaRecords(text), rows) << text.toStdString();
    }
}

TEST(CommaText, ReadsEarlierAndHandMadeFiles)
{
    const struct
    {
        QString text;
        QList<QStringList> records;
    } cases[] = {
        // Earlier versions quoted every cell with a blank; unquoted blanks split nothing now.
        {QStringLiteral("000001,\"a b\",000003\r\n"), {{"000001", "a b", "000003"}}},
        {QStringLiteral("000001,a b,000003"), {{"000001", "a b", "000003"}}},
        {QStringLiteral("\"　\",文字列"), {{"　", "文字列"}}},
        {QStringLiteral("  a , b  \n"), {{"a", "b"}}},
        {QStringLiteral("a,\n,b"), {{"a", ""}, {"", "b"}}},
        {QStringLiteral("\"ab\" cd,e"), {{"ab cd", "e"}}},
        {QStringLiteral("\"ab\"  ,e"), {{"ab", "e"}}},
        {QStringLiteral("a\"b,c"), {{"a\"b", "c"}}},
        // A quote never closed ends at its line, not at the end of the file.
        {QStringLiteral("x,\"ab\"\"c\r\nd,e\r\n"), {{"x", "ab\"c"}, {"d", "e"}}},
        // ...but one closed on a later line takes the lines between.
        {QStringLiteral("x,\"ab\r\nd\",e\r\n"), {{"x", "ab\r\nd", "e"}}},
        // Breaks of every kind; an empty line is a record without cells; the final break
        // ends the last record.
        {QStringLiteral("a\nb\rc\r\n\r\nd"), {{"a"}, {"b"}, {"c"}, {}, {"d"}}},
        {QStringLiteral("\r\n"), {{}}},
        {QString(), {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parseCommaRecords(c.text), c.records) << c.text.toStdString();
    EXPECT_EQ(parseCommaText(QStringLiteral("a,\"b\nc\"\nd")), QStringList({"a", "b\nc"}));
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
    // The string cell is one line, whatever line breaks the string came with.
    recordRun(grid, counter, QString::fromUtf16(u"白妙の\r\n衣\n干す\u2029天\u2028の"),
              sixDigits(1), QStringLiteral("00:00:00:003"));
    EXPECT_EQ(grid.cell(3, 1), QStringLiteral("白妙の衣干す天の"));
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
                                         "000001,a b,000003,00:00:00:010,\r\n"
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

TEST(CountGrid, OpeningAFileMakesOneRowPerRecord)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.csv"));
    // As earlier versions wrote it, a short row and a remark over two lines typed by hand.
    writeAll(path, text::encodeCp932(QStringLiteral("\"　\",文字列,個数,ミリ秒,備考\r\n"
                                                    "000001,\"a b\",000003,00:00:00:010\r\n"
                                                    "000002,c,000001,00:00:00:001,\"上の句\r\n"
                                                    "下の句\""))
                       .bytes);
    StringGridModel grid(5, 9);
    int counter = 0;
    const GridFileResult loaded = loadCountGrid(path, grid, counter);
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.widerRows, 0);
    EXPECT_EQ(grid.rowCountTotal(), 3);
    EXPECT_EQ(grid.columns(), 5);
    EXPECT_EQ(counter, 2);
    EXPECT_EQ(grid.cell(0, 0), QStringLiteral("　"));
    EXPECT_EQ(grid.row(1), QStringList({"000001", "a b", "000003", "00:00:00:010", ""}));
    EXPECT_EQ(grid.row(2),
              QStringList({"000002", "c", "000001", "00:00:00:001", "上の句\r\n下の句"}));

    EXPECT_EQ(gridFileRecords("a\nb\rc\r\n"), QList<QStringList>({{"a"}, {"b"}, {"c"}}));
    EXPECT_EQ(gridFileRecords(""), QList<QStringList>());
    EXPECT_EQ(gridFileRecords("\r\n"), QList<QStringList>({{}}));
}

TEST(CountGrid, RowsWiderThanTheGridWidenItAndSaveEveryCell)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wide.csv"));
    const QByteArray file =
        text::encodeCp932(QStringLiteral("　,文字列,個数,ミリ秒,備考\r\n"
                                         "000001,秋,000003,00:00:00:004,,x,y\r\n"
                                         "000002,月,000001,00:00:00:001,,,,z\r\n"))
            .bytes;
    writeAll(path, file);
    StringGridModel grid;
    int counter = 0;
    const GridFileResult loaded = loadCountGrid(path, grid, counter);
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.widerRows, 2);
    EXPECT_EQ(loaded.columns, 8);
    EXPECT_EQ(
        widerRowsMessage(loaded),
        QStringLiteral("セルが5つより多い行が2行ありました。表を8列に広げて読み込みました。"));
    EXPECT_EQ(grid.columns(), 8);
    EXPECT_EQ(grid.row(1),
              QStringList({"000001", "秋", "000003", "00:00:00:004", "", "x", "y", ""}));
    EXPECT_EQ(grid.cell(2, 7), QStringLiteral("z"));

    // Saved and opened again, nothing is lost; a narrower file narrows the grid again.
    const QString again = dir.filePath(QStringLiteral("again.csv"));
    ASSERT_TRUE(saveCountGrid(again, grid, counter).ok);
    StringGridModel back;
    int backCounter = 0;
    ASSERT_TRUE(loadCountGrid(again, back, backCounter).ok);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(back.row(r), grid.row(r)) << r;
    writeAll(path, "a,b\r\n");
    const GridFileResult narrow = loadCountGrid(path, back, backCounter);
    EXPECT_EQ(narrow.widerRows, 0);
    EXPECT_EQ(back.columns(), 5);
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

    // A lone surrogate, which only a UTF-16 file can bring, is kept by saving in UTF-16.
    const QString lone = QStringLiteral("a") + QChar(0xD800);
    grid.setRow(1, {QStringLiteral("000001"), lone});
    ASSERT_TRUE(saveCountGrid(path, grid, counter).ok);
    EXPECT_TRUE(readAll(path).startsWith("\xFF\xFE"));
    ASSERT_TRUE(loadCountGrid(path, back, backCounter).ok);
    EXPECT_EQ(back.row(1).value(1), lone);
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

    // A file that is not UTF-8 only because of a sixth cell loads as code page 932 (its EF
    // BB BF too), and saves and loads again as the same grid.
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
        const QList<QStringList> records = gridFileRecords(bytes);
        StringGridModel grid;
        grid.setRowCountTotal(1);
        for (int r = 0; r < records.size(); ++r) {
            grid.setRowCountTotal(r + 1);
            grid.setRow(r, records[r]);
        }
        EXPECT_EQ(grid.rowCountTotal(), std::max<qsizetype>(1, records.size()));
    }
}
