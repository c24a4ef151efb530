#include "settings/IniFile.h"

#include "text/Cp932Codec.h"

#include "TestPrinters.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using settings::IniFile;

namespace {

QByteArray cp932(const QString &s)
{
    return text::encodeCp932(s).bytes;
}

class IniFileTest : public ::testing::Test
{
protected:
    QString path(const QString &name = QStringLiteral("kotonami.ini")) const
    {
        return m_dir.filePath(name);
    }
    void put(const QByteArray &bytes, const QString &name = QStringLiteral("kotonami.ini"))
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray content(const QString &name = QStringLiteral("kotonami.ini")) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(IniFileTest, ReadsValuesAsOtherIniReadersDo)
{
    put(cp932(QStringLiteral("stray=outside any section\r\n"
                             "[Form\\Mfn]\r\n"
                             "string = ＭＳ 明朝 \r\n"
                             "; string=commented out\r\n"
                             "# also a comment\r\n"
                             "[ form\\MFN ]\r\n"
                             "string=second section of the same name\r\n"
                             "[Form\\Edit4]\n"
                             "Text=\n"
                             "Quoted=\" Lightgrey\"\n"
                             "Single='x'\n"
                             "Lone=\"a\n"
                             "Wide=　作品\r"
                             "Eq=a=b\r"
                             "[Form\\ゾ]\r\n" // 83 5D: "]" as a second byte
                             "Key=in the section\r\n"
                             "noequals\r\n"
                             "=no key\r\n")));
    IniFile ini(path());
    struct Case
    {
        const char *section;
        const char *key;
        std::optional<QString> expected;
    };
    const Case cases[] = {
        {"Form\\Mfn", "string", QStringLiteral("ＭＳ 明朝")},
        {"FORM\\mfn", "STRING", QStringLiteral("ＭＳ 明朝")},
        {"Form\\Edit4", "Text", QString()},
        {"Form\\Edit4", "Quoted", QStringLiteral(" Lightgrey")},
        {"Form\\Edit4", "Single", QStringLiteral("x")},
        {"Form\\Edit4", "Lone", QStringLiteral("\"a")},
        {"Form\\Edit4", "Wide", QStringLiteral("　作品")},
        {"Form\\Edit4", "Eq", QStringLiteral("a=b")},
        {"Form\\ゾ", "Key", QStringLiteral("in the section")},
        {"Form\\Edit4", "Missing", std::nullopt},
        {"Form\\None", "Text", std::nullopt},
        {"", "stray", std::nullopt},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ini.value(QString::fromUtf8(c.section), QString::fromUtf8(c.key)), c.expected)
            << c.section << " " << c.key;
    }
    EXPECT_EQ(ini.readString(u"Form\\Edit4", u"Missing", QStringLiteral("dflt")), u"dflt");
    EXPECT_EQ(ini.readString(u"Form\\Edit4", u"Text", QStringLiteral("dflt")), u"");
}

TEST_F(IniFileTest, MissingFileReadsAsEmptyAndDeleteCreatesNothing)
{
    IniFile ini(path());
    EXPECT_EQ(ini.value(u"Form\\A", u"k"), std::nullopt);
    EXPECT_TRUE(ini.sectionEntries(u"Form\\A").isEmpty());
    EXPECT_TRUE(ini.deleteKey(u"Form\\A", u"k"));
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(IniFileTest, WriteChangesOnlyItsLineAndKeepsEverythingElseByteForByte)
{
    // LF line ends, a comment, blank lines, a byte that is no code page 932 character (FF)
    // and a last line without a line end.
    const QByteArray before = "; settings\n\n[Form\\A]\nk=old\nother=\xFF\xFE raw\n\n"
                              "; belongs to B\n[Form\\B]\nx=1";
    put(before);
    IniFile ini(path());

    ASSERT_TRUE(ini.writeString(u"form\\a", u"K", u"new"));
    QByteArray expected = before;
    expected.replace("k=old", "k=new");
    EXPECT_EQ(content(), expected);

    // A new key goes after the section's last key, ahead of the blank line and the comment
    // that lead to the next section.
    ASSERT_TRUE(ini.writeString(u"Form\\A", u"added", u"v"));
    expected.replace("other=\xFF\xFE raw\n", "other=\xFF\xFE raw\nadded=v\r\n");
    EXPECT_EQ(content(), expected);

    // A new section goes at the end; the last line gets its line end first.
    ASSERT_TRUE(ini.writeString(u"Form\\C", u"y", u"2"));
    expected += "\r\n[Form\\C]\r\ny=2\r\n";
    EXPECT_EQ(content(), expected);

    // Writing the value a key already has leaves the file alone.
    ASSERT_TRUE(ini.writeString(u"Form\\B", u"x", u"1"));
    EXPECT_EQ(content(), expected);

    EXPECT_EQ(ini.value(u"Form\\A", u"other"), QString(QChar(0xDB80)) + QChar(0xDCFF) +
                                                   QChar(0xDB80) + QChar(0xDCFE) +
                                                   QStringLiteral(" raw"));
}

TEST_F(IniFileTest, ValuesRoundTripIncludingBlanksAndQuotes)
{
    IniFile ini(path());
    const QString values[] = {
        QStringLiteral(" Lightgrey"), QStringLiteral("trailing\t"),
        QStringLiteral("\"q\""),      QStringLiteral("'a'"),
        QStringLiteral("\""),         QString(),
        QStringLiteral("ＭＳ 明朝"),  QStringLiteral("a=b;c#d"),
        QStringLiteral("[x]"),        QStringLiteral("C:\\表\\ソ.txt"),
        QStringLiteral("$00FF8080"),
    };
    int n = 0;
    for (const QString &v : values) {
        const QString key = QStringLiteral("k") + QString::number(n++);
        ASSERT_TRUE(ini.writeString(u"Form\\V", key, v)) << v.toStdString();
        EXPECT_EQ(ini.value(u"Form\\V", key), v);
    }
    EXPECT_TRUE(content().contains("k0=\" Lightgrey\"\r\n"));
    EXPECT_TRUE(content().startsWith("[Form\\V]\r\nk0="));
}

TEST_F(IniFileTest, RefusesWhatTheFormatOrTheCodePageCannotHold)
{
    put("[Form\\A]\r\nk=keep\r\n");
    const QByteArray before = content();
    IniFile ini(path());
    struct Case
    {
        QString section, key, value;
    };
    const Case refused[] = {
        {QStringLiteral("Form\\A"), QStringLiteral("k"), QStringLiteral("two\nlines")},
        {QStringLiteral("Form\\A"), QStringLiteral("k"), QStringLiteral("cr\rhere")},
        {QStringLiteral("Form\\A"), QStringLiteral("k"), QStringLiteral("한국어")},
        {QStringLiteral("Form\\A"), QStringLiteral("k"), QString::fromUcs4(U"\U0001F600")},
        {QStringLiteral("Form]A"), QStringLiteral("k"), QStringLiteral("v")},
        {QStringLiteral(""), QStringLiteral("k"), QStringLiteral("v")},
        {QStringLiteral(" Form\\A"), QStringLiteral("k"), QStringLiteral("v")},
        {QStringLiteral("Form\\A"), QStringLiteral("a=b"), QStringLiteral("v")},
        {QStringLiteral("Form\\A"), QStringLiteral(";k"), QStringLiteral("v")},
        {QStringLiteral("Form\\A"), QStringLiteral("[k"), QStringLiteral("v")},
        {QStringLiteral("Form\\A"), QStringLiteral(""), QStringLiteral("v")},
        {QStringLiteral("Form\\한"), QStringLiteral("k"), QStringLiteral("v")},
    };
    for (const Case &c : refused)
        EXPECT_FALSE(ini.writeString(c.section, c.key, c.value))
            << (c.section + c.key + c.value).toStdString();
    EXPECT_EQ(content(), before);
}

TEST_F(IniFileTest, RawBytesAreStoredOnlyWhereTheyReadBackAsThemselves)
{
    // U+F0081 is the byte 81 kept from a file. Before "A" it would be written 81 41, which
    // reads back as "、"; in "[", raw 81, "]" the 81 5D pair is "‐" and the header would be
    // lost. Where nothing pairs with it, the byte is stored and read back.
    const QString raw = QString::fromUcs4(U"\U000F0081");
    IniFile ini(path());
    EXPECT_FALSE(ini.writeString(u"S", u"k", raw + u'A'));
    EXPECT_FALSE(ini.writeString(raw, u"k", QStringLiteral("v")));
    EXPECT_FALSE(ini.writeString(u"S", raw + u'A', QStringLiteral("v")));
    EXPECT_FALSE(QFile::exists(path()));

    const QString stored[] = {raw, raw + u' ', QStringLiteral("a") + raw + QStringLiteral("\"x\"")};
    for (const QString &value : stored) {
        ASSERT_TRUE(ini.writeString(u"S", u"k", value));
        EXPECT_EQ(ini.value(u"S", u"k"), value);
    }
    ASSERT_TRUE(ini.writeString(u"S", raw, QStringLiteral("v")));
    EXPECT_EQ(ini.value(u"S", raw), QStringLiteral("v"));
}

TEST_F(IniFileTest, DeleteRemovesEveryCopyOfTheKeyAndKeepsTheHeader)
{
    put("[Form\\A]\r\nk=1\r\nj=2\r\n[form\\a]\r\nK=3\r\n[Form\\B]\r\nk=4\r\n");
    IniFile ini(path());
    ASSERT_TRUE(ini.deleteKey(u"Form\\A", u"k"));
    EXPECT_EQ(content(), "[Form\\A]\r\nj=2\r\n[form\\a]\r\n[Form\\B]\r\nk=4\r\n");
    EXPECT_EQ(ini.value(u"Form\\A", u"k"), std::nullopt);
    ASSERT_TRUE(ini.deleteKey(u"Form\\A", u"none"));
    EXPECT_EQ(content(), "[Form\\A]\r\nj=2\r\n[form\\a]\r\n[Form\\B]\r\nk=4\r\n");
}

TEST_F(IniFileTest, SectionEntriesInFileOrder)
{
    put("[S]\r\nb=2\r\na=1\r\n[T]\r\nc=3\r\n[s]\r\nB=dup\r\n");
    const QList<settings::IniEntry> entries = IniFile(path()).sectionEntries(u"S");
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0].key, u"b");
    EXPECT_EQ(entries[1].key, u"a");
    EXPECT_EQ(entries[2].value, u"dup");
    EXPECT_EQ(IniFile(path()).value(u"S", u"b"), u"2");
}

TEST_F(IniFileTest, WritesCreateTheFolderAndLeaveNoTemporaryFiles)
{
    const QString nested = m_dir.filePath(QStringLiteral("config/kotonami/kotonami.ini"));
    IniFile ini(nested);
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(ini.writeString(u"Form\\A", QStringLiteral("k%1").arg(i), u"v"));
    EXPECT_EQ(QDir(m_dir.filePath(QStringLiteral("config/kotonami"))).entryList(QDir::Files),
              QStringList{QStringLiteral("kotonami.ini")});
}

TEST_F(IniFileTest, AFileThatCannotBeReadIsNotOverwritten)
{
    put("[Form\\A]\r\nk=1\r\n");
    QFile::setPermissions(path(), QFileDevice::WriteOwner);
    QFile probe(path());
    if (probe.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "running with the rights to read any file";
    EXPECT_FALSE(IniFile(path()).writeString(u"Form\\A", u"j", u"2"));
    QFile::setPermissions(path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(content(), "[Form\\A]\r\nk=1\r\n");
}

// Random bytes, biased towards the characters the format is made of, must parse, and a
// write into them must read back.
TEST_F(IniFileTest, RandomBytesNeverBreakReadingOrWriting)
{
    QRandomGenerator rng(20240611);
    const char alphabet[] = "[]=;#\r\n \t\"'\\Form_kd0123\x81\x5D\x83\xFF";
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes(rng.bounded(0, 2000), Qt::Uninitialized);
        for (char &c : bytes) {
            c = rng.bounded(2) ? alphabet[rng.bounded(int(sizeof alphabet) - 1)]
                               : char(rng.bounded(256));
        }
        put(bytes);
        IniFile ini(path());
        (void)ini.value(u"Form\\A", u"k");
        (void)ini.sectionEntries(u"Form\\A");
        const QString value = QStringLiteral("v%1").arg(round);
        ASSERT_TRUE(ini.writeString(u"Form\\A", u"k", value)) << round;
        ASSERT_EQ(ini.value(u"Form\\A", u"k"), value) << round;
        ASSERT_TRUE(ini.deleteKey(u"Form\\A", u"k"));
        ASSERT_EQ(ini.value(u"Form\\A", u"k"), std::nullopt) << round;
    }
}

TEST(SettingsFilePath, AFileBesideTheProgramThatCannotBeWrittenCountsAsAbsent)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write everywhere";
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("kotonami"));
    QFile ini(dir.filePath(QStringLiteral("kotonami.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.close();
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(settings::settingsFilePath(program, QStringLiteral("/cfg")), ini.fileName())
        << "a file the user may write is used in a read-only folder";
    ini.setPermissions(QFile::ReadOwner);
    EXPECT_EQ(settings::settingsFilePath(program, QStringLiteral("/cfg")),
              QStringLiteral("/cfg/kotonami/kotonami.ini"))
        << "one the user may not write (root's, in an installed folder) is not";
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(SettingsFilePath, BesideTheProgramWhenPossibleElseInTheConfigFolder)
{
    QTemporaryDir dir;
    const QString writable = dir.path();
    const QString missing = dir.filePath(QStringLiteral("no/such/folder"));
    struct Case
    {
        QString program, configHome, expected;
    };
    const Case cases[] = {
        {writable + QStringLiteral("/kotonami"), QStringLiteral("/cfg"),
         writable + QStringLiteral("/kotonami.ini")},
        {writable + QStringLiteral("/kotonami.bin"), QStringLiteral("/cfg"),
         writable + QStringLiteral("/kotonami.ini")},
        {writable + QStringLiteral("/a.b.c"), QStringLiteral("/cfg"),
         writable + QStringLiteral("/a.b.ini")},
        {missing + QStringLiteral("/kotonami"), QStringLiteral("/cfg"),
         QStringLiteral("/cfg/kotonami/kotonami.ini")},
        {missing + QStringLiteral("/kotonami"), QString(),
         QDir::homePath() + QStringLiteral("/.config/kotonami/kotonami.ini")},
        {missing + QStringLiteral("/kotonami"), QStringLiteral("relative"),
         QDir::homePath() + QStringLiteral("/.config/kotonami/kotonami.ini")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(settings::settingsFilePath(c.program, c.configHome), c.expected)
            << c.program.toStdString();
}
