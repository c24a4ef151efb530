// The load and save sequences against a recording stand-in for the main window.
#include "settings/IniFile.h"
#include "settings/RegMng.h"

#include "text/Cp932Codec.h"

#include "RecordingSettings.h"
#include "TestPrinters.h"

#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace settings;
using testsupport::RecordingTarget;

namespace {

class SettingsSequenceTest : public ::testing::Test
{
protected:
    SettingsSequenceTest()
    {
        m_reg.setIniFileName(m_dir.filePath(QStringLiteral("kotonami.ini")));
        m_reg.setErrorHandler([this](const QString &m) { m_errors.append(m); });
    }
    QString iniPath() const { return m_reg.IniFileName(); }

    QTemporaryDir m_dir;
    TRegManager m_reg;
    QStringList m_errors;
};

// What a first start reads, in order, then what depends on several settings.
const QStringList FirstStartLog = {
    QStringLiteral("width 780"),
    QStringLiteral("height 550"),
    QStringLiteral("launcher 1 "),
    QStringLiteral("launcher 2 "),
    QStringLiteral("Edit4 "),
    QStringLiteral("Edit5 "),
    QStringLiteral("CheckBox1 0"),
    QStringLiteral("CheckBox2 0"),
    QStringLiteral("CheckBox3 0"),
    QStringLiteral("CheckBox4 1"),
    QStringLiteral("CheckBox5 1"),
    QStringLiteral("bgc #fff8dc"),
    QStringLiteral("mclo #8080FF"),
    QStringLiteral("mclt #D0A2A2"),
    QStringLiteral("Lcl #CDC0A5"),
    QStringLiteral("Dai #CDC0A5"),
    QStringLiteral("Mfn ＭＳ 明朝"),
    QStringLiteral("caption 明"),
    QStringLiteral("fze 2"),
    QStringLiteral("Lint Back"),
    QStringLiteral("Linu index.htm"),
    QStringLiteral("CheckBox8 1"),
    QStringLiteral("CheckBox9 0"),
    QStringLiteral("CheckBox10 0"),
    QStringLiteral("CheckBox6 0"),
    QStringLiteral("CheckBox7 0"),
    QStringLiteral("CheckBox11 0"),
    QStringLiteral("CheckBox12 0"),
    QStringLiteral("CheckBox13 0"),
    QStringLiteral("CheckBox14 1"),
    QStringLiteral("FLink 0"),
    QStringLiteral("fMaxForm 0"),
    QStringLiteral("top 20"),
    QStringLiteral("left 20"),
    QStringLiteral("FSpd 150"),
    QStringLiteral("fRepNum 0"),
    QStringLiteral("ShowCheckBox 1"),
    QStringLiteral("WordReadCheckBox 1"),
    QStringLiteral("fLastfile "),
    QStringLiteral("fSelBgColor 16744576"),
    QStringLiteral("ClipSpeechCheckBox 0"),
    QStringLiteral("menu toClipbrd 0"),
    QStringLiteral("menu HotKeyCheck 0"),
    QStringLiteral("menu alphabet 0"),
    QStringLiteral("fNx2Width 129"),
    QStringLiteral("fSpeechID 0"),
    QStringLiteral("menu RubyShow1 1"),
    QStringLiteral("menu MoraShow1 0"),
    QStringLiteral("menu TateChuYoko1 1"),
    QStringLiteral("fTcyLength 2"),
    QStringLiteral("menu Burasage1 0"),
    QStringLiteral("fPoemForm 0"),
    QStringLiteral("fLeftPoemForm 0"),
    QStringLiteral("RubyCheckBox 0"),
    QStringLiteral("TcyCheckBox 0"),
    QStringLiteral("menu HistoricalRuby1 0"),
    QStringLiteral("menu HtsVoice1 1"),
    QStringLiteral("menu VH 1"),
    QStringLiteral("menu WordWrap 1"),
    QStringLiteral("menu N14 1"),
    QStringLiteral("menu HHV 1"),
    QStringLiteral("menu WordWrapH 1"),
    QStringLiteral("menu Joyful1 1"),
    QStringLiteral("menu Show1 1"),
};

QStringList keysOfFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList keys;
    QString section;
    for (const QByteArray &line : f.readAll().split('\n')) {
        const QString l = text::decodeCp932(line).trimmed();
        if (l.startsWith(u'['))
            section = l.mid(1, l.size() - 2);
        else if (l.contains(u'='))
            keys << section + u'|' + l.left(l.indexOf(u'='));
    }
    return keys;
}

QSet<QString> tableKeys()
{
    QSet<QString> keys;
    for (const TRegItem &item : TRegItems::programTable()) {
        if (item.Kind == TRegKind::Component) {
            keys << item.Section + QStringLiteral("|prop_c")
                 << item.Section + QStringLiteral("|prop_d0");
        } else {
            keys << item.Section + u'|' + item.Ident;
        }
    }
    return keys;
}

} // namespace

TEST_F(SettingsSequenceTest, AFirstStartGivesEveryDefaultInOrder)
{
    RecordingTarget t;
    const RecordingTarget untouched;
    loadSettings(m_reg, t);
    EXPECT_EQ(t.log, FirstStartLog);
    // No records yet: the panes, strip and drop targets keep what the window gave them.
    EXPECT_EQ(t.panes, untouched.panes);
    EXPECT_EQ(t.strip, untouched.strip);
    EXPECT_EQ(t.dropTargets, untouched.dropTargets);
    EXPECT_TRUE(m_errors.isEmpty());
    EXPECT_FALSE(QFile::exists(iniPath()));
}

TEST_F(SettingsSequenceTest, ARandomByteSettingsFileStartsWithTheDefaults)
{
    QRandomGenerator rng(77);
    for (int round = 0; round < 20; ++round) {
        QFile f(iniPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QByteArray junk(rng.bounded(1, 8000), Qt::Uninitialized);
        for (char &c : junk)
            c = char(rng.bounded(256));
        f.write(junk);
        f.close();
        RecordingTarget t;
        loadSettings(m_reg, t);
        EXPECT_EQ(t.log, FirstStartLog) << round;
    }
}

TEST_F(SettingsSequenceTest, DependentStepsFollowTheSettingsRead)
{
    IniFile ini(iniPath());
    ini.writeString(u"Form\\fMaxForm", u"Boolean", u"1");
    ini.writeString(u"Form\\MainForm1", u"Left", u"300");
    ini.writeString(u"Form\\MainForm1", u"Width", u"1200");
    ini.writeString(u"Form\\Mfn", u"string", u"ＭＳ ゴシック");
    ini.writeString(u"Form\\CheckBox1", u"Checked", u"1");
    ini.writeString(u"Form\\CheckBox2", u"Checked", u"1");
    ini.writeString(u"Form\\HotKeyCheckChecked", u"Boolean", u"1");
    ini.writeString(u"Form\\FSpd", u"Integer", u"170");
    ini.writeString(u"Form\\ShowCheckBoxChecked", u"Boolean", u"0");
    ini.writeString(u"Form\\ClipSpeechCheckBoxChecked", u"Boolean", u"1");

    RecordingTarget t;
    loadSettings(m_reg, t);
    const QStringList &log = t.log;
    EXPECT_TRUE(log.contains(QStringLiteral("caption ゴ")));
    // A maximised window gets the restored bounds back once everything is read.
    const qsizetype reset = log.indexOf(QStringLiteral("left 16"));
    ASSERT_GT(reset, log.indexOf(QStringLiteral("left 300")));
    EXPECT_EQ(log.mid(reset, 4),
              (QStringList{QStringLiteral("left 16"), QStringLiteral("top 16"),
                           QStringLiteral("width 780"), QStringLiteral("height 550")}));
    EXPECT_GT(log.lastIndexOf(QStringLiteral("CheckBox1 0")), reset);
    EXPECT_FALSE(t.boxes.value(QStringLiteral("CheckBox1")));
    EXPECT_TRUE(t.boxes.value(QStringLiteral("CheckBox2")));
    EXPECT_EQ(log.back(), u"menu Show1 0");
}

TEST_F(SettingsSequenceTest, RestoredPanesSetTheirMenuChecks)
{
    RecordingTarget saved;
    saved.panes[QStringLiteral("RichEditNx1")].vertical = false;
    saved.panes[QStringLiteral("RichEditNx2")].wordWrap = false;
    saveSettings(m_reg, saved);

    RecordingTarget t;
    loadSettings(m_reg, t);
    EXPECT_EQ(t.log.first(2), (QStringList{QStringLiteral("pane RichEditNx1"),
                                           QStringLiteral("pane RichEditNx2")}));
    EXPECT_FALSE(t.menus.value(QStringLiteral("VH")));
    EXPECT_TRUE(t.menus.value(QStringLiteral("WordWrap")));
    EXPECT_TRUE(t.menus.value(QStringLiteral("HHV")));
    EXPECT_FALSE(t.menus.value(QStringLiteral("WordWrapH")));
}

TEST_F(SettingsSequenceTest, EverythingSavedComesBack)
{
    RecordingTarget a;
    loadSettings(m_reg, a);
    a.panes[QStringLiteral("RichEditNx1")].font = {QStringLiteral("IPAゴシック"), 24, 0x123456,
                                                   FontBold | FontItalic, 1};
    a.panes[QStringLiteral("RichEditNx1")].vertical = false;
    a.panes[QStringLiteral("RichEditNx2")].width = 333;
    a.strip.msg = QStringLiteral("白露も\r\n夢も");
    a.strip.interval = 30;
    a.dropTargets[QStringLiteral("DropDst2")].acceptDrop = false;
    a.left = 5, a.top = -3, a.width = 1000, a.height = 700;
    a.maximised = true;
    a.leftWidth = 222;
    a.boxes[QStringLiteral("CheckBox3")] = true;
    a.boxes[QStringLiteral("CheckBox14")] = false;
    a.boxes[QStringLiteral("WordReadCheckBox")] = false;
    a.edits[QStringLiteral("Edit4")] = QStringLiteral("　作品");
    a.edits[QStringLiteral("Edit5")] = QStringLiteral(" sakuhin ");
    a.menus[QStringLiteral("alphabet")] = true;
    a.style[QStringLiteral("mclo")] = QStringLiteral(" Lightgrey");
    a.style[QStringLiteral("Lint")] = QString();
    a.link = true;
    a.launcher[1] = QStringLiteral("/usr/bin/ソフト");
    a.speed = 188;
    a.repeat = 3;
    a.selColor = 0xFF00000F;
    a.chosenSpeaker = 4;
    a.current = QStringLiteral("/home/u/表.txt");
    a.log.clear();
    saveSettings(m_reg, a);
    EXPECT_EQ(a.log.first(), u"determine speaker");

    RecordingTarget b;
    loadSettings(m_reg, b);
    // What was saved from the window's live state comes back into its settings.
    a.nx2Width = a.leftWidth;
    a.lastFile = a.current;
    a.speaker = 4;
    // The maximised start resets the bounds, and the dependent steps set menu checks.
    a.left = 16, a.top = 16, a.width = 780, a.height = 550;
    EXPECT_TRUE(b.menus.value(QStringLiteral("alphabet")));
    EXPECT_FALSE(b.menus.value(QStringLiteral("VH")));
    a.menus = b.menus;
    EXPECT_TRUE(b.sameSettingsAs(a));
    EXPECT_EQ(b.panes, a.panes);
    EXPECT_EQ(b.strip, a.strip);
    EXPECT_EQ(b.lastFile, u"/home/u/表.txt");
    EXPECT_EQ(IniFile(iniPath()).value(u"Form\\fSelBgColor", u"Integer"), u"-16777201");
    EXPECT_TRUE(m_errors.isEmpty());
}

TEST_F(SettingsSequenceTest, AnUntitledDocumentSavesAnEmptyLastFile)
{
    IniFile(iniPath()).writeString(u"Form\\fLastfile", u"string", u"/old.txt");
    RecordingTarget t;
    saveSettings(m_reg, t);
    EXPECT_EQ(IniFile(iniPath()).value(u"Form\\fLastfile", u"string"), u"");
    EXPECT_EQ(IniFile(iniPath()).value(u"Form\\fSelBgColor", u"Integer"), u"0");
}

TEST_F(SettingsSequenceTest, TheSavedFileHoldsEveryKeyOfTheTable)
{
    RecordingTarget t;
    loadSettings(m_reg, t);
    saveSettings(m_reg, t);
    const QStringList keys = keysOfFile(iniPath());
    const QSet<QString> expected = tableKeys();
    for (const QString &k : expected)
        EXPECT_TRUE(keys.contains(k)) << k.toStdString();
    EXPECT_EQ(QSet<QString>(keys.begin(), keys.end()).size(), keys.size()) << "a key twice";
    EXPECT_TRUE(keys.contains(QStringLiteral("Form\\MainForm1|Width")));
    EXPECT_EQ(IniFile(iniPath()).value(u"Form\\fSelBgColor", u"Integer"), u"16744576");

    // Another INI reader agrees.
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        GTEST_SKIP() << "python3 is not installed";
    QProcess p;
    p.start(python,
            {QStringLiteral("-c"),
             QStringLiteral("import configparser, sys\n"
                            "c = configparser.ConfigParser(interpolation=None)\n"
                            "c.optionxform = str\n"
                            "c.read(sys.argv[1], encoding='cp932')\n"
                            "for s in c.sections():\n"
                            "    for k in c[s]:\n"
                            "        sys.stdout.buffer.write((s + '|' + k + '|' + c[s][k] + "
                            "'\\n').encode('utf-8'))\n"),
             iniPath()});
    ASSERT_TRUE(p.waitForFinished(30000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    QSet<QString> seen;
    QMap<QString, QString> values;
    for (const QString &line : QString::fromUtf8(p.readAllStandardOutput()).split(u'\n')) {
        const QStringList f = line.split(u'|');
        if (f.size() == 3) {
            seen << f[0] + u'|' + f[1];
            values[f[0] + u'|' + f[1]] = f[2];
        }
    }
    for (const QString &k : expected)
        EXPECT_TRUE(seen.contains(k)) << k.toStdString();
    EXPECT_EQ(values.value(QStringLiteral("Form\\Mfn|string")), u"ＭＳ 明朝");
    EXPECT_EQ(values.value(QStringLiteral("Form\\MainForm1|Height")), u"550");
}
