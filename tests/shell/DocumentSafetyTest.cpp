// The window's documents under faults: failed saves, special files, binary files, other
// encodings and line ends, files changed by other programs, crashes, stored paths.
#include "FakeUiServices.h"
#include "FileSizeLimit.h"
#include "WindowTest.h"

#include "editor/RichEditSx.h"
#include "reading/ReadingEngine.h"
#include "settings/IniFile.h"
#include "shell/FindReplaceDialog.h"
#include "shell/Pane.h"
#include "shell/ReadingDictionary.h"
#include "shell/Utamain.h"
#include "text/RecoveryStore.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace shell;
using testsupport::FakeUiServices;

namespace {

struct Documents : testsupport::WindowTest
{
    QString file(const QString &name, const QByteArray &bytes) { return writeFile(name, bytes); }
    QString lastMessage() const
    {
        return ui.messages.isEmpty() ? QString() : ui.messages.last().text;
    }
};

// Both panes run the same document commands through their own handlers; each keeps its
// own file, folder and encoding and leaves the other pane alone.
TEST_F(Documents, EachPaneKeepsItsOwnDocumentThroughItsCommands)
{
    struct Side
    {
        bool right;
        const char *open, *save, *saveAs, *reopen, *newFile, *find;
    };
    const Side sides[] = {
        {true, "Open1Click", "Save1Click", "SaveAs1Click", "ReopenEncoding1Click", "New1Click",
         "Find1Click"},
        {false, "LeftOpen1Click", "LeftSave1Click", "LeftSaveAs1Click", "LeftReopenEncoding1Click",
         "LeftNew1Click", "FindLButtonClick"},
    };
    showActive();
    w->run(QStringLiteral("ShineSpeedButton2Click")); // shows the left pane
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    for (const Side &side : sides) {
        SCOPED_TRACE(side.open);
        Pane &pane = side.right ? w->rightPane() : w->leftPane();
        Pane &other = side.right ? w->leftPane() : w->rightPane();
        const QString otherFile = other.file();
        const QString name = side.right ? QStringLiteral("sub/r.txt") : QStringLiteral("sub/l.txt");
        const QString path = file(name, "\x8f\x74\x89\xdf\x82\xac\x82\xc4"); // 春過ぎて, cp932
        ui.openAnswers.enqueue(path);
        w->run(QLatin1String(side.open));
        EXPECT_EQ(pane.file(), path);
        EXPECT_EQ(pane.editor()->text(), QStringLiteral("春過ぎて"));
        EXPECT_EQ(pane.editor()->fileEncoding(), text::FileEncoding::Cp932);
        EXPECT_EQ(other.file(), otherFile);
        if (side.right)
            EXPECT_EQ(w->windowTitle(), path + QStringLiteral("[*]"));
        else
            EXPECT_TRUE(w->StatusBar1()->panelText(0).endsWith(QStringLiteral("l.txt")));

        // Save writes the file back in its own encoding.
        pane.editor()->setText(QStringLiteral("夏来にけらし"));
        w->run(QLatin1String(side.save));
        EXPECT_EQ(bytesOf(path), QByteArray("\x89\xc4\x97\x88\x82\xc9\x82\xaf\x82\xe7\x82\xb5"));
        EXPECT_FALSE(pane.editor()->isModified());

        // Save As starts in the file's folder, saves in the encoding chosen, and renames.
        const QString copy = dir.filePath(QStringLiteral("sub/copy-%1.txt").arg(side.right));
        ui.saveAnswers.enqueue(copy);
        ui.choiceAnswers.enqueue(1); // UTF-8
        w->run(QLatin1String(side.saveAs));
        EXPECT_EQ(ui.saveRequests.last().folder, dir.filePath(QStringLiteral("sub")));
        EXPECT_EQ(bytesOf(copy), QStringLiteral("夏来にけらし").toUtf8());
        EXPECT_EQ(pane.file(), copy);

        // Reopening in another encoding reads the same bytes anew.
        ui.itemAnswers.enqueue(0); // Shift_JIS
        w->run(QLatin1String(side.reopen));
        EXPECT_NE(pane.editor()->text(), QStringLiteral("夏来にけらし"));
        EXPECT_EQ(pane.editor()->fileEncoding(), text::FileEncoding::Cp932);

        // Find starts from the selection; New empties and unnames the pane alone.
        pane.editor()->setSelection(0, 1);
        w->run(QLatin1String(side.find));
        EXPECT_EQ(pane.findDialog(false)->findText(), pane.editor()->selectedText());
        EXPECT_TRUE(pane.findDialog(false)->isVisible());
        pane.findDialog(false)->close();
        ui.answers.enqueue(MessageAnswer::Yes);
        w->run(QLatin1String(side.newFile));
        EXPECT_TRUE(pane.file().isEmpty());
        EXPECT_TRUE(pane.editor()->text().isEmpty());
        EXPECT_EQ(other.file(), otherFile);
        EXPECT_FALSE(QFileInfo::exists(path) && bytesOf(path).isEmpty()) << "New writes nothing";
    }
}

// A file too long to go in at once is saved whole, byte for byte, even when the save comes
// before the rest of it is loaded, and its loading never marks it changed.
TEST_F(Documents, ALongFileSavedBeforeItIsLoadedIsSavedWhole)
{
    QByteArray bytes;
    for (int i = 0; bytes.size() < 3'000'000; ++i)
        bytes += QByteArray::number(i) + "\x81\x40\x8f\x74\x89\xdf\x82\xac\x82\xc4\r\n";
    const QString path = file(QStringLiteral("long.txt"), bytes);
    showActive();
    for (const bool idle : {false, true}) {
        ui.openAnswers.enqueue(path);
        w->run(QStringLiteral("Open1Click"));
        ASSERT_TRUE(w->RichEditNx1()->isLoading());
        if (idle)
            QTest::qWait(300);
        const QString copy = dir.filePath(QStringLiteral("copy-%1.txt").arg(idle));
        ui.saveAnswers.enqueue(copy);
        ui.choiceAnswers.enqueue(0); // Shift_JIS, as it came
        w->run(QStringLiteral("SaveAs1Click"));
        EXPECT_TRUE(bytesOf(copy) == bytes) << idle;
        EXPECT_FALSE(w->RichEditNx1()->isModified()) << idle;
        EXPECT_FALSE(w->isWindowModified()) << idle;
    }
}

TEST_F(Documents, AFailedSaveKeepsTheFileTheTextAndTheModifiedMark)
{
    const QString path = file(QStringLiteral("poem.txt"), QByteArray(144, 'a'));
    w->openStartupArgument({path});
    w->RichEditNx1()->setText(QString(50000, QLatin1Char('b')));
    w->RichEditNx1()->setModified(true);
    {
        testsupport::FileSizeLimit limit(4096);
        w->run(QStringLiteral("Save1Click"));
    }
    EXPECT_EQ(bytesOf(path), QByteArray(144, 'a'));
    EXPECT_TRUE(w->RichEditNx1()->isModified());
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].kind, MessageKind::Error);
    EXPECT_TRUE(lastMessage().contains(QString::fromLocal8Bit(std::strerror(EFBIG))))
        << qPrintable(lastMessage());
}

TEST_F(Documents, SpecialFilesAreRefusedAtOnceAndBinaryFilesAsked)
{
    const QString fifo = dir.filePath(QStringLiteral("fifo.txt"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    w->RichEditNx1()->setText(QStringLiteral("kept"));
    w->RichEditNx1()->setModified(false); // only the file's own questions are asked
    w->openStartupArgument({fifo});       // would block for ever if it were opened for reading
    EXPECT_EQ(w->RichEditNx1()->text(), QStringLiteral("kept"));
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("名前付きパイプ")))
        << qPrintable(lastMessage());

    const QByteArray png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\r\n\n\r", 21);
    const QString image = file(QStringLiteral("image.txt"), png);
    ui.answers.enqueue(MessageAnswer::No);
    w->DropDst1FileDrop({image});
    EXPECT_EQ(w->RichEditNx1()->text(), QStringLiteral("kept"));
    EXPECT_EQ(ui.messages.last().kind, MessageKind::Warning);
    ui.answers.enqueue(MessageAnswer::Yes);
    w->DropDst1FileDrop({image});
    EXPECT_EQ(w->rightPane().file(), image);
    QFile::remove(image);
    w->run(QStringLiteral("Save1Click"));
    EXPECT_EQ(bytesOf(image), png) << "an unchanged binary file is written back as it was";
}

TEST_F(Documents, EncodingAndLineEndsAreKeptShownAndChosen)
{
    const QString path = file(QStringLiteral("lf.txt"), "\xE6\x98\xA5\n\xE5\xA4\x8F\n");
    w->openStartupArgument({path});
    EXPECT_EQ(w->StatusBar1()->panelText(5), QStringLiteral("UTF-8  LF"));
    w->RichEditNx1()->setText(w->RichEditNx1()->text() + QStringLiteral("秋"));
    w->run(QStringLiteral("Save1Click"));
    EXPECT_EQ(bytesOf(path), "\xE6\x98\xA5\n\xE5\xA4\x8F\n\xE7\xA7\x8B");

    // Mixed ends: saved unchanged, each line keeps its own; edited, they take the majority.
    const QString mixed = file(QStringLiteral("mixed.txt"), "a\r\nb\nc\n");
    w->DropDst1FileDrop({mixed});
    EXPECT_EQ(w->StatusBar1()->panelText(5), QStringLiteral("Shift_JIS  LF (混在)"));
    w->run(QStringLiteral("Save1Click"));
    EXPECT_EQ(bytesOf(mixed), "a\r\nb\nc\n");
    w->RichEditNx1()->setText(w->RichEditNx1()->text() + QStringLiteral("d"));

    // Save As in UTF-16; reopening it as Shift_JIS shows other text, as asked.
    const QString utf16 = dir.filePath(QStringLiteral("utf16.txt"));
    ui.saveAnswers.enqueue(utf16);
    ui.choiceAnswers.enqueue(3);
    w->run(QStringLiteral("SaveAs1Click"));
    ASSERT_EQ(ui.saveChoiceRequests.size(), 1);
    EXPECT_EQ(ui.saveChoiceRequests[0].value(3), QStringLiteral("UTF-16LE"));
    EXPECT_EQ(bytesOf(utf16),
              QByteArray("\xFF\xFE\x61\x00\x0A\x00\x62\x00\x0A\x00\x63\x00\x0A\x00\x64\x00", 16));
    EXPECT_EQ(w->StatusBar1()->panelText(5), QStringLiteral("UTF-16LE  LF"));
    ui.itemAnswers.enqueue(0);
    w->run(QStringLiteral("ReopenEncoding1Click"));
    EXPECT_EQ(w->RichEditNx1()->fileEncoding(), text::FileEncoding::Cp932);
    EXPECT_TRUE(w->RichEditNx1()->text().contains(QChar(0))) << "the NULs of UTF-16 show";
}

TEST_F(Documents, ChangesOnDiskAreReloadedOrAskedAbout)
{
    const QString path = file(QStringLiteral("poem.txt"), "one");
    w->openStartupArgument({path});
    file(QStringLiteral("poem.txt"), "two");
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->RichEditNx1()->text() == QLatin1String("two"); }))
        << "an unmodified pane follows its file";
    EXPECT_TRUE(w->StatusBar1()->panelText(4).contains(QStringLiteral("読み直しました")));

    w->RichEditNx1()->setText(QStringLiteral("mine"));
    w->RichEditNx1()->setModified(true);
    const qsizetype asked = ui.messages.size();
    file(QStringLiteral("poem.txt"), "three");
    EXPECT_TRUE(QTest::qWaitFor([&] { return ui.messages.size() > asked; }));
    EXPECT_EQ(w->RichEditNx1()->text(), QStringLiteral("mine")) << "No keeps the pane";
    // Saving over the changed file asks first; No keeps the other program's text.
    w->run(QStringLiteral("Save1Click"));
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("上書きしますか")));
    EXPECT_EQ(bytesOf(path), "three");
    ui.answers.enqueue(MessageAnswer::Yes);
    w->run(QStringLiteral("Save1Click"));
    EXPECT_EQ(bytesOf(path), "mine");
    EXPECT_FALSE(w->RichEditNx1()->isModified());
}

TEST_F(Documents, UnsavedWorkIsCopiedAndOfferedAfterACrash)
{
    const QString state = qEnvironmentVariable("XDG_STATE_HOME");
    const QString folder = text::RecoveryStore::defaultFolder();
    ASSERT_TRUE(folder.startsWith(state)) << "the tests keep their copies apart";
    const QString path = file(QStringLiteral("poem.txt"), "old");
    w->openStartupArgument({path});
    w->setRecoveryDelays(10, 1000);
    w->RichEditNx1()->setText(QStringLiteral("新しい歌"));
    w->RichEditNx1()->setModified(true);
    w->RichEditNx1()->setText(QStringLiteral("新しい歌を"));
    QStringList copies;
    EXPECT_TRUE(QTest::qWaitFor([&] {
        copies = QDir(folder).entryList({QStringLiteral("*.json")});
        return !copies.isEmpty();
    }));
    ASSERT_EQ(copies.size(), 1);
    // The editor is killed: its lock now names a process that is gone.
    const QString crashed = QStringLiteral("crashed-9");
    ASSERT_TRUE(QFile::copy(QDir(folder).filePath(copies[0]),
                            QDir(folder).filePath(crashed + QStringLiteral(".right.json"))));
    QProcess gone;
    gone.start(QStringLiteral("/bin/true"), {});
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 pid = gone.processId();
    gone.waitForFinished();
    QFile lock(QDir(folder).filePath(crashed + QStringLiteral(".lock")));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(pid) + "\nkotonami\n" + QSysInfo::machineHostName().toUtf8() +
               "\n");
    lock.close();
    // Saving removes this editor's own copy.
    w->run(QStringLiteral("Save1Click"));
    EXPECT_FALSE(QFile::exists(QDir(folder).filePath(copies[0])));

    FakeUiServices ui2;
    TMainForm1 next(ui2, dir.filePath(QStringLiteral("kotonami")));
    ui2.answers.enqueue(MessageAnswer::Yes);
    next.offerRecovery();
    ASSERT_EQ(ui2.messages.size(), 1);
    EXPECT_TRUE(ui2.messages[0].text.contains(path)) << qPrintable(ui2.messages[0].text);
    EXPECT_EQ(next.RichEditNx1()->text(), QStringLiteral("新しい歌を"));
    EXPECT_EQ(next.rightPane().file(), path);
    EXPECT_TRUE(next.RichEditNx1()->isModified());
    EXPECT_FALSE(QFile::exists(lock.fileName()));
    next.RichEditNx1()->setModified(false);
}

// Two editors on the same file, both killed: both texts come back, the first into the pane
// with the file's encoding and line ends, the second beside the file; no copy is left.
TEST_F(Documents, TwoKilledEditorsGiveBackBothTexts)
{
    const QString folder = text::RecoveryStore::defaultFolder();
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = file(QStringLiteral("both.txt"), "old\n");
    for (const auto &[session, poem] :
         {std::pair{"999999981-a", "一つ目の歌"}, std::pair{"999999982-b", "二つ目の歌"}}) {
        text::RecoveryStore store(folder);
        text::DocumentFormat utf8Lf;
        utf8Lf.encoding = text::FileEncoding::Utf8;
        utf8Lf.lineEnd = text::LineEnd::Lf;
        ASSERT_TRUE(store.save(QStringLiteral("right"), path,
                               QString::fromUtf8(poem) + QStringLiteral("\n下の句"), utf8Lf));
        // Killed: the copy stays under the name of a session whose process is gone.
        const QString copy = QDir(folder).entryList({QStringLiteral("*.right.json")}).first();
        ASSERT_TRUE(QFile::rename(
            QDir(folder).filePath(copy),
            QDir(folder).filePath(QLatin1String(session) + QStringLiteral(".right.json"))));
        store.finish();
    }
    FakeUiServices ui2;
    TMainForm1 next(ui2, dir.filePath(QStringLiteral("kotonami")));
    ui2.answers.enqueue(MessageAnswer::Yes);
    ui2.answers.enqueue(MessageAnswer::Yes);
    next.offerRecovery();
    EXPECT_EQ(next.RichEditNx1()->text(), QStringLiteral("一つ目の歌\n下の句"));
    EXPECT_EQ(next.RichEditNx1()->fileFormat().lineEnd, text::LineEnd::Lf);
    EXPECT_EQ(next.RichEditNx1()->fileEncoding(), text::FileEncoding::Utf8);
    EXPECT_EQ(bytesOf(dir.filePath(QStringLiteral("both.recovered.txt"))),
              QByteArray("二つ目の歌\n下の句"));
    EXPECT_TRUE(ui2.messages.last().text.contains(QStringLiteral("both.recovered.txt")));
    EXPECT_TRUE(QDir(folder).entryList({QStringLiteral("*.json")}).isEmpty());
    next.RichEditNx1()->setModified(false);
}

TEST_F(Documents, ThePoetsReadingsAreRegisteredAndReadFromThenOn)
{
    w->RichEditNx1()->setText(QStringLiteral("春日の山"));
    QTextCursor c = w->RichEditNx1()->textCursor();
    c.setPosition(0);
    c.setPosition(2, QTextCursor::KeepAnchor);
    w->RichEditNx1()->setTextCursor(c);
    w->run(QStringLiteral("ReadingDictionary1Click"));
    TReadingDialog *d = w->readingDialog();
    ASSERT_TRUE(d);
    EXPECT_EQ(d->wordEdit()->text(), QStringLiteral("春日"));
    EXPECT_EQ(d->readingEdit()->text(), QStringLiteral("かすが")) << "what the speakers say now";
    d->readingEdit()->setText(QStringLiteral("はるひ"));
    ASSERT_TRUE(d->registerWord()) << qPrintable(d->statusText());
    EXPECT_EQ(w->readings().kana(u"春日の山"), QStringLiteral("はるひの やま"));
    const QString file = reading::ReadingEngine::userDictionaryPath();
    EXPECT_TRUE(bytesOf(file).contains("春日\tはるひ"));
    // A reading that is not kana is refused and nothing changes.
    d->readingEdit()->setText(QStringLiteral("haruhi"));
    EXPECT_FALSE(d->registerWord());
    d->list()->setCurrentRow(0);
    ASSERT_TRUE(d->removeSelected());
    EXPECT_FALSE(bytesOf(file).contains("春日"));
}

TEST(StoredSettings, AFailedSettingsSaveKeepsTheFileAndSaysSo)
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("kotonami"));
    {
        FakeUiServices ui;
        TMainForm1 w(ui, program);
        w.close();
    }
    const QString ini = program + QStringLiteral(".ini");
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    ASSERT_GT(before.size(), 1000);

    FakeUiServices ui;
    TMainForm1 w(ui, program);
    const QString poem = dir.filePath(QStringLiteral("poem.txt"));
    QFile(poem).open(QIODevice::WriteOnly);
    w.DropDst1FileDrop({poem}); // stored as the last file
    {
        testsupport::FileSizeLimit limit(512);
        w.close();
    }
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    ASSERT_FALSE(ui.messages.isEmpty());
    EXPECT_TRUE(ui.messages.last().text.contains(QString::fromLocal8Bit(std::strerror(EFBIG))))
        << qPrintable(ui.messages.last().text);
}

TEST(StoredPaths, PathsCp932CannotHoldReadBackExactly)
{
    for (const QString &path :
         {QStringLiteral("/home/u/café.txt"), QStringLiteral("/home/u/𠮷.txt"),
          QStringLiteral("/home/u/春 の歌%41.txt"), QStringLiteral("/home/u/file:x.txt")}) {
        QTemporaryDir dir;
        settings::IniFile ini(dir.filePath(QStringLiteral("k.ini")));
        ASSERT_TRUE(ini.writeString(u"Form", u"fLastfile", settings::storedPathValue(path)))
            << qPrintable(path);
        EXPECT_EQ(settings::pathFromStoredValue(ini.readString(u"Form", u"fLastfile", QString())),
                  path);
    }
    EXPECT_EQ(settings::storedPathValue(QStringLiteral("/home/u/春.txt")),
              QStringLiteral("/home/u/春.txt"))
        << "what older readers can read is stored as it is";
}

TEST(StoredPaths, TheLastFileIsAbsoluteAndSurvivesARestart)
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("kotonami"));
    const QString poem = dir.filePath(QStringLiteral("café.txt"));
    QFile f(poem);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\x8f\x74");
    f.close();
    {
        FakeUiServices ui;
        TMainForm1 w(ui, program);
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        w.openStartupArgument({QStringLiteral("café.txt")});
        QDir::setCurrent(previous);
        EXPECT_EQ(w.rightPane().file(), poem);
        w.close();
    }
    FakeUiServices ui;
    TMainForm1 w(ui, program);
    EXPECT_EQ(w.values().fLastfile, poem);
    w.run(QStringLiteral("LastFile1Click"));
    EXPECT_EQ(w.RichEditNx1()->text(), QStringLiteral("春"));
}

TEST(StoredPaths, InstalledProgramsKeepSettingsInTheUsersFolder)
{
    EXPECT_EQ(settings::settingsFilePath(QStringLiteral("/usr/lib/kotonami/kotonami"),
                                         QStringLiteral("/home/u/.config")),
              QStringLiteral("/home/u/.config/kotonami/kotonami.ini"));
    EXPECT_EQ(settings::settingsFilePath(QStringLiteral("/opt/kotonami/kotonami"),
                                         QStringLiteral("/home/u/.config")),
              QStringLiteral("/home/u/.config/kotonami/kotonami.ini"));
    QTemporaryDir dir;
    EXPECT_EQ(
        settings::settingsFilePath(dir.filePath(QStringLiteral("kotonami")), QStringLiteral("/x")),
        dir.filePath(QStringLiteral("kotonami.ini")));
}

} // namespace
