#include "convert/BatchConvert.h"
#include "QtPrinters.h"
#include "convert/Conversions.h"
#include "text/Cp932Codec.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace convert;

namespace {

struct ToolRun
{
    int status = 0;
    QByteArray out;
    QString err;
};

ToolRun run(const QStringList &args, const QByteArray &input = {})
{
    QByteArray inBytes = input;
    QBuffer in(&inBytes);
    in.open(QIODevice::ReadOnly);
    ToolRun r;
    QBuffer out(&r.out);
    out.open(QIODevice::WriteOnly);
    QTextStream err(&r.err);
    r.status = runBatchConvert(args, in, out, err);
    err.flush();
    return r;
}

QByteArray cp932(const QString &s)
{
    return text::encodeCp932(s).bytes;
}

} // namespace

TEST(BatchConvert, StandardInToStandardOutKeepingEncodingAndLineEnds)
{
    const ToolRun r =
        run({QStringLiteral("kata2hira")}, cp932(QStringLiteral("パン\r\nヴィ\nコ\r")));
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, cp932(QStringLiteral("はん\r\nぶぃ\nこ\r")));
    EXPECT_TRUE(r.err.isEmpty());

    const ToolRun utf8 = run({QStringLiteral("hira2kata"), QStringLiteral("-")},
                             QStringLiteral("がっこう\n").toUtf8());
    EXPECT_EQ(utf8.out, QStringLiteral("ガッコウ\n").toUtf8());

    const ToolRun bom =
        run({QStringLiteral("kata2kanji")}, "\xEF\xBB\xBF" + QStringLiteral("コ").toUtf8());
    EXPECT_EQ(bom.out, "\xEF\xBB\xBF" + QStringLiteral("己").toUtf8());

    const ToolRun recoded =
        run({QStringLiteral("kata2hira"), QStringLiteral("--output-encoding=utf-8")},
            cp932(QStringLiteral("パン")));
    EXPECT_EQ(recoded.out, QStringLiteral("はん").toUtf8());
}

TEST(BatchConvert, SeedMakesTheDrawReproducible)
{
    const QByteArray poem = cp932(QStringLiteral("あきのたの\r\nかりほのいほの"));
    const QStringList args = {QStringLiteral("manyogana"), QStringLiteral("--seed"),
                              QStringLiteral("42")};
    const ToolRun a = run(args, poem);
    const ToolRun b = run(args, poem);
    EXPECT_EQ(a.status, 0);
    EXPECT_EQ(a.out, b.out);
    // The same draws as the engine with that seed, as the editor's conversion makes them.
    ReplaceEngine engine;
    engine.setSeed(42);
    StringTarget target(text::decodeCp932(poem));
    convertToManyogana(engine, target);
    EXPECT_EQ(a.out, cp932(target.text()));
}

TEST(BatchConvert, FilesInAndOut)
{
    QTemporaryDir dir;
    const QString inPath = dir.filePath(QStringLiteral("in.txt"));
    const QString outPath = dir.filePath(QStringLiteral("out.txt"));
    QFile in(inPath);
    ASSERT_TRUE(in.open(QIODevice::WriteOnly));
    in.write(cp932(QStringLiteral("ハル\r\n")));
    in.close();
    const ToolRun r = run({QStringLiteral("kata2hira"), inPath, QStringLiteral("-o"), outPath});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    QFile out(outPath);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll(), cp932(QStringLiteral("はる\r\n")));
}

TEST(BatchConvert, FailuresGiveTheirStatusAndOneLine)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.txt"));
    const QString unwritable = dir.filePath(QStringLiteral("no/such/dir/out.txt"));
    const std::pair<QStringList, int> cases[] = {
        {{QStringLiteral("kata2hira"), QStringLiteral("--bogus")}, 2},
        {{QStringLiteral("kata2hira"), QStringLiteral("a"), QStringLiteral("b")}, 2},
        {{QStringLiteral("kata2hira"), QStringLiteral("--encoding"), QStringLiteral("latin1")}, 2},
        {{QStringLiteral("kata2hira"), QStringLiteral("--output-encoding")}, 2},
        {{QStringLiteral("manyogana"), QStringLiteral("--seed"), QStringLiteral("x")}, 2},
        {{QStringLiteral("kata2hira"), QStringLiteral("--help=yes")}, 2},
        {{QStringLiteral("sort")}, 2},
        {{QStringLiteral("kata2hira"), missing}, 1},
        {{QStringLiteral("kata2hira"), QStringLiteral("-o"), unwritable}, 1},
        {{QStringLiteral("kata2hira"), dir.path()}, 1},
    };
    for (const auto &[args, status] : cases) {
        const ToolRun r = run(args, cp932(QStringLiteral("ア")));
        EXPECT_EQ(r.status, status) << args.join(u' ').toStdString();
        EXPECT_EQ(r.err.count(u'\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.endsWith(u'\n'));
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST(BatchConvert, EncodingProblemsAreNotPapered)
{
    // Forcing UTF-8 on code page 932 bytes would lose them.
    const ToolRun forced =
        run({QStringLiteral("kata2hira"), QStringLiteral("--encoding"), QStringLiteral("utf-8")},
            cp932(QStringLiteral("ア")));
    EXPECT_EQ(forced.status, 1);
    // A character code page 932 cannot hold is named, not written as '?'.
    const ToolRun narrow = run(
        {QStringLiteral("kata2hira"), QStringLiteral("--output-encoding"), QStringLiteral("cp932")},
        QStringLiteral("ア😀").toUtf8());
    EXPECT_EQ(narrow.status, 1);
    EXPECT_TRUE(narrow.err.contains(QStringLiteral("😀")));
    EXPECT_TRUE(narrow.out.isEmpty());
    // Forcing code page 932 on UTF-8 bytes reads them as code page 932, losslessly.
    const QByteArray utf8 = QStringLiteral("ア").toUtf8();
    const ToolRun asCp932 = run(
        {QStringLiteral("kata2hira"), QStringLiteral("--encoding"), QStringLiteral("cp932")}, utf8);
    EXPECT_EQ(asCp932.status, 0);
    EXPECT_EQ(asCp932.out, cp932(text::decodeCp932(utf8)));
}

TEST(BatchConvert, Help)
{
    const ToolRun r = run({QStringLiteral("manyogana"), QStringLiteral("--help")});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.contains("--seed"));
    EXPECT_TRUE(batchConvertCommandsHelp().contains(QLatin1String("kata2kanji")));
}
