// The reading engine's tables and files: counters, the kanji dictionary that keeps every
// kanji said, and the poet's dictionary file.
#include "reading/Counters.h"
#include "reading/KanaRules.h"
#include "reading/KanjiDictionary.h"
#include "reading/ReadingEngine.h"
#include "reading/UserDictionary.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace reading;

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

ReadingEngine &engine()
{
    static ReadingEngine e;
    return e;
}

TEST(Counters, NumbersChangeTheirCountersSound)
{
    const struct
    {
        long long number;
        const char16_t *counter;
        bool afterMonth;
        const char16_t *said;
    } cases[] = {
        {1, u"本", false, u"いっぽん"},
        {3, u"本", false, u"さんぼん"},
        {4, u"本", false, u"よんほん"},
        {6, u"本", false, u"ろっぽん"},
        {10, u"本", false, u"じゅっぽん"},
        {300, u"本", false, u"さんびゃっぽん"},
        {1000, u"本", false, u"せんぼん"},
        {21, u"杯", false, u"にじゅういっぱい"},
        {3, u"分", false, u"さんぷん"},
        {4, u"分", false, u"よんぷん"},
        {3, u"階", false, u"さんがい"},
        {8, u"歳", false, u"はっさい"},
        {20, u"歳", false, u"はたち"},
        {1, u"人", false, u"ひとり"},
        {2, u"人", false, u"ふたり"},
        {4, u"人", false, u"よにん"},
        {1, u"日", true, u"ついたち"},
        {1, u"日", false, u"いちにち"},
        {14, u"日", false, u"じゅうよっか"},
        {24, u"日", false, u"にじゅうよっか"},
        {11, u"日", false, u"じゅういちにち"},
        {20, u"日", false, u"はつか"},
        {8, u"日", false, u"ようか"},
        {4, u"月", false, u"しがつ"},
        {9, u"時", false, u"くじ"},
        {8, u"重", false, u"やえ"},
        {3, u"ヶ月", false, u"さんかげつ"},
        {6, u"ヶ月", false, u"ろっかげつ"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(countedReading(c.number, QString::fromUtf16(c.counter), c.afterMonth),
                  QString::fromUtf16(c.said))
            << c.number << qPrintable(QString::fromUtf16(c.counter));
    EXPECT_TRUE(countedReading(3, u"猫").isEmpty());

    const struct
    {
        const char16_t *written;
        long long value;
    } numbers[] = {{u"二十", 20},     {u"三百六十五", 365}, {u"二〇二六", 2026},
                   {u"千九百", 1900}, {u"二万五千", 25000}, {u"十", 10},
                   {u"二三百", -1},   {u"万万", -1},        {u"", -1}};
    for (const auto &n : numbers)
        EXPECT_EQ(numberValue(QString::fromUtf16(n.written)), n.value)
            << qPrintable(QString::fromUtf16(n.written));
}

TEST(Reading, NoCommonKanjiIsSilentAndGuessesAreMarked)
{
    const KanjiDictionary &kanji = KanjiDictionary::instance();
    if (kanji.size() == 0)
        GTEST_SKIP() << "KANJIDIC is not installed";
    // The kanji of JIS X 0208 with their frequency rank, alone on a line.
    int silent = 0;
    for (char32_t c = 0x4E00; c <= 0x9FFF; ++c) {
        if (kanji.readings(c).frequency == 0)
            continue;
        const QString line = QString::fromUcs4(&c, 1);
        silent += engine().kana(line).isEmpty() ? 1 : 0;
        EXPECT_FALSE(engine().kana(line).isEmpty()) << qPrintable(line);
    }
    EXPECT_EQ(silent, 0);
    // A kanji no word covers, and a word two analyses nearly as likely read otherwise, are
    // guesses with their other readings; a plain word is none.
    const struct
    {
        const char16_t *line, *word, *alternative;
        bool doubtful;
    } cases[] = {
        {u"これは皃です", u"皃", nullptr, true},
        {u"窓を開けると涼しい風が入ってきた。", u"開ける", u"ひらける", true},
        {u"窓を開けると涼しい風が入ってきた。", u"窓", nullptr, false},
        // (Kana MeCab takes for one unknown word, the longer the less likely, are parted.)
        {u"痛むあたまにひびくかなしさ", u"ひびく", nullptr, false},
    };
    for (const auto &c : cases) {
        const QList<Word> words = engine().words(c.line);
        const auto w = std::find_if(words.cbegin(), words.cend(),
                                    [&](const Word &x) { return x.surface == c.word; });
        ASSERT_NE(w, words.cend()) << qPrintable(QString::fromUtf16(c.word));
        EXPECT_EQ(w->doubtful, c.doubtful) << qPrintable(w->surface);
        EXPECT_EQ(!w->alternatives.isEmpty(), c.doubtful) << qPrintable(w->surface);
        if (c.alternative) {
            EXPECT_TRUE(w->alternatives.contains(QString::fromUtf16(c.alternative)));
        }
    }
}

class DictionaryFile : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    void write(const QString &p, const QByteArray &bytes)
    {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray read(const QString &p)
    {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(DictionaryFile, PipesDevicesAndHugeFilesAreRefusedWithAMessage)
{
    const QString fifo = path("fifo.tsv");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zero = path("zero.tsv");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    const QString huge = path("huge.tsv");
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(UserDictionary::SizeLimit + 1));
    }
    for (const QString &p : {fifo, zero, huge}) {
        const UserDictionary::Loaded loaded = UserDictionary::load(p);
        EXPECT_FALSE(loaded.error.isEmpty()) << qPrintable(p);
        EXPECT_TRUE(loaded.words.isEmpty());
        EXPECT_FALSE(
            UserDictionary::put(p, QStringLiteral("春"), QStringLiteral("はる")).isEmpty());
    }
}

TEST_F(DictionaryFile, RegisteringChangesOnlyTheWordsOwnLines)
{
    const QString p = path("readings.tsv");
    const QByteArray cp932Line("\x8f\x74\x93\xfa\tharu\r\n"); // 春日 in code page 932
    const QByteArray before = QByteArray("# my words\r\n") + "春日\tかすが\textra\r\n" + cp932Line +
                              "odd line without a tab\r\n" + "春日\tはるひ\r\n" + "\r\n" +
                              "野分\tのわき";
    write(p, before);
    const UserDictionary::Loaded loaded = UserDictionary::load(p);
    EXPECT_EQ(loaded.words.size(), 2);
    ASSERT_EQ(loaded.problems.size(), 2); // the cp932 line and the odd one, by number
    EXPECT_TRUE(loaded.problems[0].startsWith(QStringLiteral("3 行目")));
    EXPECT_TRUE(loaded.problems[1].startsWith(QStringLiteral("4 行目")));

    ASSERT_EQ(UserDictionary::put(p, QStringLiteral("春日"), QStringLiteral("はるび")), QString());
    EXPECT_EQ(read(p), QByteArray("# my words\r\n") + "春日\tはるび\textra\r\n" + cp932Line +
                           "odd line without a tab\r\n" + "春日\tはるび\r\n" + "\r\n" +
                           "野分\tのわき");
    ASSERT_EQ(UserDictionary::put(p, QStringLiteral("鋏"), QStringLiteral("はさみ")), QString());
    EXPECT_TRUE(read(p).endsWith("野分\tのわき\r\n鋏\tはさみ\r\n"));
    ASSERT_EQ(UserDictionary::remove(p, QStringLiteral("春日")), QString());
    EXPECT_EQ(read(p), QByteArray("# my words\r\n") + cp932Line + "odd line without a tab\r\n" +
                           "\r\n" + "野分\tのわき\r\n鋏\tはさみ\r\n");
}

TEST_F(DictionaryFile, ALongKeyCostsNothingWhereItCannotStart)
{
    const QString p = path("readings.tsv");
    const QString key = QString(16000, QChar(u'あ')) + u'ん';
    write(p, (key + QStringLiteral("\tあ\n春\tはる\n")).toUtf8());
    ReadingEngine e;
    e.setUserDictionary(UserDictionary::load(p).words);
    // 64 KB of text: a look-up per position, not 16 000.
    const QString text = QString(16000, QChar(u'春'));
    EXPECT_EQ(e.kana(text).count(QStringLiteral("はる")), 16000);
}

} // namespace
