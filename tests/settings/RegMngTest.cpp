#include "settings/RegMng.h"
#include "settings/IniFile.h"

#include "TestPrinters.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace settings;

namespace {

TRegItems testItems()
{
    TRegItems items;
    items.add({QStringLiteral("Text"),
               QStringLiteral("Form\\T"),
               QStringLiteral("string"),
               QStringLiteral("dflt"),
               TRegKind::Text,
               {}});
    items.add({QStringLiteral("Num"),
               QStringLiteral("Form\\N"),
               QStringLiteral("Integer"),
               QStringLiteral("$00FF8080"),
               TRegKind::Integer,
               {}});
    items.add({QStringLiteral("Rec"),
               QStringLiteral("Form\\R"),
               QStringLiteral("prop"),
               QString(),
               TRegKind::Component,
               {}});
    return items;
}

class RegMngTest : public ::testing::Test
{
protected:
    RegMngTest() : m_reg(testItems())
    {
        m_reg.setIniFileName(m_dir.filePath(QStringLiteral("kotonami.ini")));
        m_reg.setErrorHandler([this](const QString &m) { m_errors.append(m); });
    }
    IniFile ini() const { return IniFile(m_reg.IniFileName()); }
    QByteArray content() const
    {
        QFile f(m_reg.IniFileName());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList recordKeys() const
    {
        QStringList keys;
        for (const IniEntry &e : ini().sectionEntries(u"Form\\R"))
            keys.append(e.key);
        return keys;
    }

    QTemporaryDir m_dir;
    TRegManager m_reg;
    QStringList m_errors;
};

QByteArray bytesOfLength(qsizetype n)
{
    QByteArray b(n, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i)
        b[i] = char(i * 7 + 3);
    return b;
}

} // namespace

TEST(RegInteger, DecimalOrDollarHexadecimalElseNothing)
{
    struct Case
    {
        const char *text;
        std::optional<int> value;
    };
    const Case cases[] = {
        {"780", 780},
        {"-20", -20},
        {"+7", 7},
        {"  129 ", 129},
        {"$00FF8080", 16744576},
        {"$ff", 255},
        {"0x1F", 31},
        {"$FFFFFFFF", -1},
        {"-$10", -16},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"$100000000", std::nullopt},
        {"", std::nullopt},
        {"$", std::nullopt},
        {"-", std::nullopt},
        {"True", std::nullopt},
        {"12a", std::nullopt},
        {"1 2", std::nullopt},
        {"１２", std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(parseRegInteger(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST(RegItems, TheProgramTableHasItsSettings)
{
    // The fifty settings every settings file has held, then the poet's tools' nine.
    const TRegItems &t = TRegItems::programTable();
    ASSERT_EQ(t.count(), 61);
    for (const TRegItem &item : t) {
        EXPECT_TRUE(item.Section.startsWith(u"Form\\")) << item.Name.toStdString();
        EXPECT_EQ(t.indexOf(item.Name.toUpper()), t.indexOf(item.Name)) << item.Name.toStdString();
        if (item.Kind == TRegKind::Component) {
            EXPECT_EQ(item.Ident, u"prop");
        }
    }
    struct Row
    {
        qsizetype index;
        const char *name, *section, *ident, *defaultValue;
        TRegKind kind;
    };
    // The rows whose spelling is easiest to get wrong.
    const Row rows[] = {
        {0, "RichEditNx1Component", "Form\\RichEditNx1", "prop", "", TRegKind::Component},
        {14, "CheckBox4Checked", "Form\\CheckBox4", "Checked", "True", TRegKind::Boolean},
        {16, "bgc", "Form\\bgc", "string", "#fff8dc", TRegKind::Text},
        {21, "Mfn", "Form\\Mfn", "string", "ＭＳ 明朝", TRegKind::Text},
        {34, "FLink", "Form\\FLink", "Checked", "", TRegKind::Boolean},
        {35, "fMaxForm", "Form\\fMaxForm", "Boolean", "False", TRegKind::Boolean},
        {36, "MainForm1Top", "Form\\MainForm1", "Top", "20", TRegKind::Integer},
        {43, "fSelBgColor", "Form\\fSelBgColor", "Integer", "$00FF8080", TRegKind::Integer},
        {49, "fSpeechID", "Form\\fSpeechID", "Integer", "0", TRegKind::Integer},
    };
    // Every row says what it is in the window; loading and saving follow that binding.
    EXPECT_EQ(t.at(21).Binding, u"font:Mfn");
    EXPECT_EQ(t.at(49).Binding, u"int:speaker");
    for (const TRegItem &item : t)
        EXPECT_FALSE(item.Binding.isEmpty()) << item.Name.toStdString();
    for (const Row &r : rows) {
        const TRegItem &item = t.at(r.index);
        EXPECT_EQ(item.Name, QString::fromUtf8(r.name));
        EXPECT_EQ(item.Section, QString::fromUtf8(r.section));
        EXPECT_EQ(item.Ident, QString::fromUtf8(r.ident));
        EXPECT_EQ(item.DefaultValue, QString::fromUtf8(r.defaultValue));
        EXPECT_EQ(item.Kind, r.kind) << r.name;
    }
}

TEST(RegItems, MalformedTablesAreRefused)
{
    const QString header = QStringLiteral("name\tsection\tident\tdefault\tkind\n");
    QString error;
    EXPECT_TRUE(TRegItems::fromTsv(header + QStringLiteral("a\tForm\\a\tk\t\tT\n"), &error));
    const QString bad[] = {
        QStringLiteral("a\tForm\\a\tk\t\tT\n"),
        header + QStringLiteral("a\tForm\\a\tk\tT\n"),
        header + QStringLiteral("a\tForm\\a\tk\t\tX\n"),
        header + QStringLiteral("a\tForm\\a\tk\t\tT\nA\tForm\\b\tk\t\tT\n"),
        header + QStringLiteral("\tForm\\a\tk\t\tT\n"),
    };
    for (const QString &tsv : bad) {
        EXPECT_FALSE(TRegItems::fromTsv(tsv, &error)) << tsv.toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST_F(RegMngTest, TruthValuesTakeTheirDefaultFromTheDefaultTextOnly)
{
    struct Case
    {
        const char *defaultValue;
        std::optional<const char *> stored;
        bool expected;
    };
    const Case cases[] = {
        {"True", std::nullopt, true}, {"TRUE", std::nullopt, true},   {"yes", std::nullopt, true},
        {"1", std::nullopt, true},    {"False", std::nullopt, false}, {"", std::nullopt, false},
        {"2", std::nullopt, false},   {"False", "1", true},           {"True", "0", false},
        {"False", "True", false},     {"True", "True", false},        {"False", "257", true},
        {"False", "256", false},      {"False", "$FF", true},         {"False", "-1", true},
        {"True", "", false},
    };
    for (const Case &c : cases) {
        TRegItems items;
        items.add({QStringLiteral("B"),
                   QStringLiteral("Form\\B"),
                   QStringLiteral("Checked"),
                   QString::fromUtf8(c.defaultValue),
                   TRegKind::Boolean,
                   {}});
        m_reg.setRegItems(items);
        ini().deleteKey(u"Form\\B", u"Checked");
        if (c.stored) {
            ASSERT_TRUE(ini().writeString(u"Form\\B", u"Checked", QString::fromUtf8(*c.stored)));
        }
        EXPECT_EQ(m_reg.filer(QStringLiteral("b")).readBool(), c.expected)
            << "default " << c.defaultValue << " stored " << (c.stored ? *c.stored : "-");
    }
    m_reg.filer(QStringLiteral("B")).writeBool(true);
    EXPECT_EQ(ini().value(u"Form\\B", u"Checked"), u"1");
    m_reg.filer(QStringLiteral("B")).writeBool(false);
    EXPECT_EQ(ini().value(u"Form\\B", u"Checked"), u"0");
    EXPECT_TRUE(m_errors.isEmpty());
}

TEST_F(RegMngTest, TextAndIntegerReadTheirDefaultsUntilWritten)
{
    EXPECT_EQ(m_reg.filer(QStringLiteral("text")).readString(), u"dflt");
    EXPECT_EQ(m_reg.filer(QStringLiteral("NUM")).readInteger(), 16744576);
    EXPECT_FALSE(QFile::exists(m_reg.IniFileName()));

    EXPECT_TRUE(m_reg.filer(QStringLiteral("Num")).writeInteger(16744576));
    EXPECT_EQ(ini().value(u"Form\\N", u"Integer"), u"16744576");
    EXPECT_TRUE(m_reg.filer(QStringLiteral("Text")).writeString(QString()));
    EXPECT_EQ(m_reg.filer(QStringLiteral("Text")).readString(), u"");
    ini().writeString(u"Form\\N", u"Integer", u"not a number");
    EXPECT_EQ(m_reg.filer(QStringLiteral("Num")).readInteger(), 0);

    EXPECT_TRUE(
        m_reg.filer(QStringLiteral("Text"))
            .writeRaw(QStringLiteral("Form\\X"), QStringLiteral("k"), QStringLiteral("raw")));
    EXPECT_EQ(m_reg.filer(QStringLiteral("Num"))
                  .readRaw(QStringLiteral("Form\\X"), QStringLiteral("k"), QStringLiteral("d")),
              u"raw");
    EXPECT_EQ(m_reg.filer(QStringLiteral("Num"))
                  .readRaw(QStringLiteral("Form\\X"), QStringLiteral("none"), QStringLiteral("d")),
              u"d");
    EXPECT_TRUE(m_errors.isEmpty());
}

TEST_F(RegMngTest, AnUnknownNameReportsItselfAndTheNextOperationDoesNothing)
{
    TRegFiler &f = m_reg.filer(QStringLiteral("NoSuch"));
    ASSERT_EQ(m_errors, QStringList{QStringLiteral("[' NoSuch '] is invalid.")});
    EXPECT_EQ(m_reg.lastError(), u"[' NoSuch '] is invalid.");
    EXPECT_EQ(f.currentItem(), nullptr);
    EXPECT_FALSE(f.writeString(QStringLiteral("x")));
    EXPECT_FALSE(f.writeBytes("abc"));
    EXPECT_EQ(f.readString(), u"");
    EXPECT_EQ(f.readInteger(), 0);
    EXPECT_FALSE(f.readBool());
    EXPECT_TRUE(f.readBytes().isEmpty());
    EXPECT_FALSE(QFile::exists(m_reg.IniFileName()));
    EXPECT_EQ(m_errors.size(), 1);

    // The next good lookup works again.
    EXPECT_EQ(m_reg.filer(QStringLiteral("Text")).readString(), u"dflt");
}

TEST_F(RegMngTest, AnEmptyFileNameReportsEveryOperation)
{
    m_reg.setIniFileName(QString());
    TRegFiler &f = m_reg.filer(QStringLiteral("Text"));
    EXPECT_EQ(f.readString(), u"");
    EXPECT_FALSE(f.writeString(QStringLiteral("x")));
    EXPECT_FALSE(f.readBool());
    EXPECT_EQ(f.readRaw(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("d")), u"");
    EXPECT_EQ(m_errors, QStringList(4, QStringLiteral("can not create Inifile object.")));
}

TEST_F(RegMngTest, ByteRecordsAreHexLinesOf64Digits)
{
    const QByteArray data = bytesOfLength(70);
    ASSERT_TRUE(m_reg.filer(QStringLiteral("Rec")).writeBytes(data));
    EXPECT_EQ(recordKeys(), (QStringList{QStringLiteral("prop_c"), QStringLiteral("prop_d0"),
                                         QStringLiteral("prop_d1"), QStringLiteral("prop_d2")}));
    EXPECT_EQ(ini().value(u"Form\\R", u"prop_c"), u"3");
    const QString d0 = *ini().value(u"Form\\R", u"prop_d0");
    EXPECT_EQ(d0.size(), 64);
    EXPECT_EQ(d0, QString::fromLatin1(data.first(32).toHex().toUpper()));
    EXPECT_EQ(ini().value(u"Form\\R", u"prop_d2")->size(), 12);
    EXPECT_EQ(m_reg.filer(QStringLiteral("Rec")).readBytes(), data);
}

TEST(HexLine, PairsThatAreNotHexadecimalBecomeZero)
{
    EXPECT_EQ(bytesFromHexLine(u"54504630"), QByteArray("TPF0"));
    EXPECT_EQ(bytesFromHexLine(u"ab0Gzz7f"), QByteArray("\xAB\x00\x00\x7F", 4));
    EXPECT_EQ(bytesFromHexLine(u"41A"), QByteArray("A\x0A"));
    EXPECT_EQ(bytesFromHexLine(u""), QByteArray());
    EXPECT_TRUE(hexRecordLines("").isEmpty());
}

TEST_F(RegMngTest, ARecordShrinkingFrom40To12LinesDeletesLines39DownTo12)
{
    TRegFiler &f = m_reg.filer(QStringLiteral("Rec"));
    ASSERT_TRUE(f.writeBytes(bytesOfLength(40 * 32)));
    ASSERT_EQ(recordKeys().size(), 41);
    const QByteArray shorter = bytesOfLength(12 * 32 - 5);
    ASSERT_TRUE(m_reg.filer(QStringLiteral("Rec")).writeBytes(shorter));

    QStringList expected{QStringLiteral("prop_c")};
    for (int i = 0; i < 12; ++i)
        expected.append(QStringLiteral("prop_d%1").arg(i));
    EXPECT_EQ(recordKeys(), expected);
    EXPECT_EQ(ini().value(u"Form\\R", u"prop_c"), u"12");
    EXPECT_EQ(m_reg.filer(QStringLiteral("Rec")).readBytes(), shorter);

    ASSERT_TRUE(m_reg.filer(QStringLiteral("Rec")).writeBytes(QByteArray()));
    EXPECT_TRUE(recordKeys().isEmpty());
    EXPECT_TRUE(content().contains("[Form\\R]"));
}

TEST_F(RegMngTest, ADamagedCountReadsOnlyTheLinesThatExist)
{
    ini().writeString(u"Form\\R", u"prop_c", u"2000000000");
    ini().writeString(u"Form\\R", u"prop_d1", u"4243");
    ini().writeString(u"Form\\R", u"prop_d0", u"41");
    ini().writeString(u"Form\\R", u"prop_d01", u"58"); // not line 1
    ini().writeString(u"Form\\R", u"PROP_D2", u"44");
    EXPECT_EQ(m_reg.filer(QStringLiteral("Rec")).readBytes(), QByteArray("ABCD"));

    for (const char *count : {"0", "-3", "x"}) {
        ini().writeString(u"Form\\R", u"prop_c", QString::fromLatin1(count));
        EXPECT_TRUE(m_reg.filer(QStringLiteral("Rec")).readBytes().isEmpty()) << count;
    }

    // Lines outside the count go when the record is written again.
    ini().writeString(u"Form\\R", u"prop_c", u"1");
    ASSERT_TRUE(m_reg.filer(QStringLiteral("Rec")).writeBytes("Z"));
    EXPECT_EQ(recordKeys(), (QStringList{QStringLiteral("prop_c"), QStringLiteral("prop_d0"),
                                         QStringLiteral("prop_d01")}));
}

TEST_F(RegMngTest, ComponentRecordsThatDoNotDecodeLeaveTheComponentAlone)
{
    PaneRecord pane;
    pane.font = {QStringLiteral("ＭＳ 明朝"), 18, text::rgbColor(57, 66, 85), 0, 128};
    pane.color = text::rgbColor(244, 245, 233);
    pane.vertical = true;
    const PaneRecord before = pane;

    // No record yet.
    EXPECT_FALSE(
        m_reg.filer(QStringLiteral("Rec")).readComponent(QStringLiteral("RichEditNx1"), pane));
    EXPECT_EQ(pane, before);

    QRandomGenerator rng(1234);
    for (int round = 0; round < 50; ++round) {
        QByteArray junk(rng.bounded(1, 200), Qt::Uninitialized);
        for (char &c : junk)
            c = char(rng.bounded(256));
        if (round % 2)
            junk.replace(0, 4, "TPF0");
        m_reg.filer(QStringLiteral("Rec")).writeBytes(junk);
        EXPECT_FALSE(
            m_reg.filer(QStringLiteral("Rec")).readComponent(QStringLiteral("RichEditNx1"), pane));
        EXPECT_EQ(pane, before);
    }

    PaneRecord changed = before;
    changed.vertical = false;
    changed.font.pixelSize = 24;
    m_reg.filer(QStringLiteral("Rec")).writeComponent(QStringLiteral("RichEditNx1"), changed);
    // A record of another component is not this one's.
    EXPECT_FALSE(
        m_reg.filer(QStringLiteral("Rec")).readComponent(QStringLiteral("RichEditNx2"), pane));
    EXPECT_EQ(pane, before);
    EXPECT_TRUE(
        m_reg.filer(QStringLiteral("Rec")).readComponent(QStringLiteral("RichEditNx1"), pane));
    EXPECT_EQ(pane, changed);
}
