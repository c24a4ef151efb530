// Reading while typing, clipboard reading and the hot key, driven through the real window
// with keys, input-method events and the clipboard; a fake engine records what is spoken.
#include "FakeDirectSS.h"
#include "FakeUiServices.h"

#include "editor/RichEditSx.h"
#include "editor/VerticalTextView.h"
#include "shell/Utamain.h"
#include "speech/Hkhotkey.h"
#include "speech/ReadingController.h"
#include "speech/TypingReader.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace editor;
using namespace shell;
using testsupport::FakeUiServices;

namespace {

class Typing : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        ui.speechEngine = [this](QObject *) {
            auto e = std::make_unique<FakeDirectSS>();
            e->modes = {{QStringLiteral("Female Japanese"), QStringLiteral("Naoko")},
                        {QStringLiteral("Mary"), QStringLiteral("Mary")}};
            engine = e.get();
            return e;
        };
        w = std::make_unique<TMainForm1>(ui, dir.filePath(QStringLiteral("kotonami")));
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        ASSERT_TRUE(w->reading()->EngineReady());
        pane()->setVertical(GetParam());
        view()->setFocus();
        engine->calls.clear();
        engine->spoken.clear();
    }
    void TearDown() override
    {
        pane()->setModified(false);
        w->RichEditNx2()->setModified(false);
    }

    TRichEditSx *pane() const { return w->RichEditNx1(); }
    // The view the poet types into: the vertical one when the pane is vertical.
    QWidget *view() const { return pane()->activeView(); }
    void type(const QString &keys) { QTest::keyClicks(view(), keys); }
    void enter() { QTest::keyClick(view(), Qt::Key_Return); }
    void preedit(const QString &text)
    {
        QInputMethodEvent e(text, {});
        QApplication::sendEvent(view(), &e);
    }
    void commit(const QString &text)
    {
        QInputMethodEvent e;
        e.setCommitString(text);
        QApplication::sendEvent(view(), &e);
    }
    // Double-clicks the character at position in the view the poet types into.
    void doubleClickAt(int position)
    {
        QPlainTextEdit *h = pane()->horizontalView();
        QTextCursor c = pane()->textCursor();
        c.setPosition(position);
        pane()->setTextCursor(c);
        if (GetParam()) {
            VerticalTextView *v = pane()->verticalView();
            QTest::mouseDClick(v->viewport(), Qt::LeftButton, {},
                               v->caretRect().center().toPoint() + QPoint(0, 4));
        } else {
            QTest::mouseDClick(h->viewport(), Qt::LeftButton, {},
                               h->cursorRect(c).center() + QPoint(4, 0));
        }
        QCoreApplication::processEvents();
    }
    QAction *item(const char *name) const { return w->action(QLatin1String(name)); }
    QString label() const { return w->LabelNx()->text(); }

    QTemporaryDir dir;
    FakeUiServices ui;
    FakeDirectSS *engine = nullptr;
    std::unique_ptr<TMainForm1> w;
};

INSTANTIATE_TEST_SUITE_P(Views, Typing, ::testing::Values(false, true),
                         [](const auto &p) { return p.param ? "vertical" : "horizontal"; });

TEST_P(Typing, ArticlesWaitForTheNextWordAndADoubleSpaceDropsThem)
{
    ASSERT_TRUE(item("Joyful1")->isChecked()) << "Joyful writing is on by default";
    type(QStringLiteral("the "));
    EXPECT_TRUE(engine->spoken.isEmpty());
    EXPECT_TRUE(w->typing()->ArticlePending());
    type(QStringLiteral("cat "));
    EXPECT_EQ(engine->spoken, QStringList{"the cat"}) << "once, the two words together";
    EXPECT_EQ(label(), "the cat");

    type(QStringLiteral("The  "));
    EXPECT_EQ(engine->spoken.size(), 1);
    EXPECT_FALSE(w->typing()->ArticlePending());
    type(QStringLiteral("An "));
    EXPECT_EQ(engine->spoken.last(), "An") << "An is no article";
    EXPECT_EQ(engine->calls.mid(engine->calls.size() - 2), QStringList({"Reset", "Speak:An"}));
}

TEST_P(Typing, EnterReadsTheLastWordOfTheLineJustEnded)
{
    type(QStringLiteral("over the"));
    enter();
    EXPECT_EQ(engine->spoken, QStringList({"over", "the"}))
        << "an article ending a line is read at once";
    type(QStringLiteral("moonlight"));
    enter();
    EXPECT_EQ(engine->spoken.last(), "moonlight") << "a line without spaces is read whole";
    type(QStringLiteral("ends "));
    engine->spoken.clear();
    enter();
    EXPECT_TRUE(engine->spoken.isEmpty()) << "a line ending in a space reads nothing";
    enter();
    EXPECT_TRUE(engine->spoken.isEmpty()) << "an empty line reads nothing";
}

TEST_P(Typing, JoyfulWritingOffReadsNothingAndItsTwoControlsAgree)
{
    auto *box = qobject_cast<QAbstractButton *>(w->control(QStringLiteral("WordReadCheckBox")));
    ASSERT_NE(box, nullptr);
    box->click();
    EXPECT_FALSE(item("Joyful1")->isChecked());
    type(QStringLiteral("quiet words "));
    enter();
    EXPECT_TRUE(engine->spoken.isEmpty());
    item("Joyful1")->trigger();
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(item("Joyful1")->isChecked());
}

TEST_P(Typing, ConfirmedConversionReadsTheTypedKanaInKeyInputModeElseTheKanji)
{
    ASSERT_TRUE(item("KeyInput")->isChecked()) << "checked at every start";
    pane()->horizontalView()->insertPlainText(QStringLiteral("春の"));
    for (const char16_t *p : {u"ｋ", u"か", u"かｎ", u"かん", u"かんじ", u"漢字"})
        preedit(QString::fromUtf16(p));
    EXPECT_TRUE(engine->spoken.isEmpty()) << "nothing is read while composing";
    commit(QStringLiteral("漢字"));
    EXPECT_EQ(engine->spoken, QStringList{"かんじ"});
    EXPECT_EQ(w->StatusBar1()->panelText(4), " かんじ");
    EXPECT_EQ(label(), "漢字");
    EXPECT_TRUE(w->typing()->ReadingBuffer().isEmpty());
    EXPECT_EQ(pane()->text(), "春の漢字");

    // The Enter that confirmed went to the input method; a stray release of it is no line end.
    QTest::keyRelease(view(), Qt::Key_Return);
    EXPECT_EQ(engine->spoken.size(), 1);

    item("KeyInput")->trigger();
    EXPECT_FALSE(item("KeyInput")->isChecked());
    preedit(QStringLiteral("はる"));
    preedit(QStringLiteral("春"));
    commit(QStringLiteral("春"));
    EXPECT_EQ(engine->spoken.last(), "春") << "key-input mode off: the committed kanji";
    EXPECT_EQ(w->typing()->CommittedLength(), 0);

    // A cancelled composition commits nothing and reads nothing.
    preedit(QStringLiteral("あ"));
    preedit(QString());
    EXPECT_EQ(engine->spoken.size(), 2);

    // Space pressed to convert: the input method takes the press and the release comes
    // through, while composing and after; neither reads the text before the caret again.
    type(QStringLiteral("word "));
    const qsizetype before = engine->spoken.size();
    preedit(QStringLiteral("なつ"));
    QTest::keyRelease(view(), Qt::Key_Space);
    preedit(QStringLiteral("夏"));
    commit(QStringLiteral("夏"));
    QTest::keyRelease(view(), Qt::Key_Space);
    EXPECT_EQ(engine->spoken.size(), before + 1) << engine->spoken.join(u'|').toStdString();
    EXPECT_EQ(engine->spoken.last(), "夏");
}

TEST_P(Typing, AlphabetInfoSpeaksLettersInLowerCaseOnlyWhileJoyfulWritingIsOff)
{
    item("alphabet")->trigger();
    ASSERT_TRUE(item("alphabet")->isChecked());
    type(QStringLiteral("B"));
    EXPECT_TRUE(engine->spoken.isEmpty()) << "Joyful writing comes first";

    item("Joyful1")->trigger();
    type(QStringLiteral("B"));
    EXPECT_EQ(engine->calls, QStringList{"Speak:b"}) << "no reset before a letter";
    EXPECT_EQ(label(), "B");
    type(QStringLiteral("7!"));
    EXPECT_EQ(engine->spoken, QStringList({"b", "7"}));
    EXPECT_EQ(label(), "!");
}

TEST_P(Typing, DoubleClickCopiesTheWordAndClipboardSpeechReadsItOnce)
{
    item("toClipbrd")->trigger();
    item("ClipbrdSpeech1")->trigger();
    auto *clipBox =
        qobject_cast<QAbstractButton *>(w->control(QStringLiteral("ClipSpeechCheckBox")));
    ASSERT_TRUE(clipBox->isChecked());
    pane()->setText(QStringLiteral("moon   river"));
    QApplication::clipboard()->setText(QStringLiteral("before"));
    QCoreApplication::processEvents();
    engine->spoken.clear();

    // Double-click the first word: the pane selects it, copies it, the watcher reads it.
    doubleClickAt(1);
    const QString copied = QApplication::clipboard()->text();
    EXPECT_EQ(copied.trimmed(), "moon");
    EXPECT_EQ(engine->spoken, QStringList{copied}) << "read once, not twice";
    EXPECT_EQ(w->reading()->ClipText(), copied);

    // Another program's copy is read too; Clip_Memory repeats it.
    QApplication::clipboard()->setText(QStringLiteral("from elsewhere"));
    QCoreApplication::processEvents();
    EXPECT_EQ(engine->spoken.last(), "from elsewhere");
    w->run(QStringLiteral("C_MemoryButtonClick"));
    EXPECT_EQ(engine->spoken.last(), "from elsewhere");
    EXPECT_EQ(engine->spoken.size(), 3);

    item("ClipbrdSpeech1")->trigger();
    EXPECT_FALSE(clipBox->isChecked());
    QApplication::clipboard()->setText(QStringLiteral("unheard"));
    QCoreApplication::processEvents();
    EXPECT_EQ(engine->spoken.size(), 3) << "the watcher is off";
}

TEST_P(Typing, DoubleClickOnBlanksCopiesNothing)
{
    item("toClipbrd")->trigger();
    pane()->setText(QStringLiteral("          "));
    QApplication::clipboard()->setText(QStringLiteral("kept"));
    QCoreApplication::processEvents();
    doubleClickAt(4);
    EXPECT_EQ(QApplication::clipboard()->text(), "kept");
    EXPECT_TRUE(engine->spoken.isEmpty());
}

TEST(HotKey, ShortcutValuesBecomeKeysymsAndModifiers)
{
    const auto r = speech::hotKeyChord(speech::DefaultHotKey1);
    ASSERT_TRUE(r);
    EXPECT_EQ(speech::DefaultHotKey1, 49234);
    EXPECT_EQ(r->keysym, 0x72u);    // r
    EXPECT_EQ(r->modifiers, 4 | 8); // Control, Mod1 (Alt)
    const auto f5 = speech::hotKeyChord(speech::ShortcutShift | 0x74);
    ASSERT_TRUE(f5);
    EXPECT_EQ(f5->keysym, 0xFFC2u);
    EXPECT_EQ(f5->modifiers, 1);
    EXPECT_EQ(speech::hotKeyChord('7')->keysym, std::uint32_t('7'));
    EXPECT_FALSE(speech::hotKeyChord(speech::ShortcutCtrl | 0xBA)) << "a key it cannot grab";
}

TEST_P(Typing, HotKeyMarkFollowsItsSwitchWhereNoKeyCanBeGrabbed)
{
    // The offscreen platform has no X11: registration fails silently, the mark still moves.
    item("HotKeyCheck")->trigger();
    EXPECT_TRUE(item("HotKeyCheck")->isChecked());
    EXPECT_FALSE(w->HookHotKey1()->isRegistered(1));
    EXPECT_TRUE(ui.messages.isEmpty());
    item("HotKeyCheck")->trigger();
    EXPECT_FALSE(item("HotKeyCheck")->isChecked());
}

TEST_P(Typing, RecitationMarksSetTheEngineAndAMissingVoiceIsShownOnce)
{
    // 朗詠 and 序歌から each toggle their mark, and the engine recites as both marks say.
    item("Recite1")->trigger();
    EXPECT_TRUE(item("Recite1")->isChecked());
    EXPECT_TRUE(engine->recites());
    EXPECT_FALSE(engine->opensWithJoka());
    item("Opening1")->trigger();
    EXPECT_TRUE(engine->opensWithJoka());
    item("Recite1")->trigger();
    EXPECT_FALSE(item("Recite1")->isChecked());
    EXPECT_FALSE(engine->recites());
    EXPECT_TRUE(engine->opensWithJoka());
    // The Japanese speakers' voices: HTS by default, espeak-ng when the mark is taken off.
    EXPECT_TRUE(item("HtsVoice1")->isChecked());
    EXPECT_TRUE(engine->usesHtsVoices());
    item("HtsVoice1")->trigger();
    EXPECT_FALSE(engine->usesHtsVoices());
    item("HtsVoice1")->trigger();
    EXPECT_TRUE(engine->usesHtsVoices());
    // What the engine has to say goes to the hint panel of the status bar.
    Q_EMIT engine->noticed(QStringLiteral("Naokoの声が見つからないため、espeak-ng で読み上げます"));
    EXPECT_EQ(w->StatusBar1()->panelText(4),
              QStringLiteral("Naokoの声が見つからないため、espeak-ng で読み上げます"));
}

TEST_P(Typing, TheWordHeardIsShownAndBroughtIntoView)
{
    // A long text read from the start: the word heard near its end is marked in the pane
    // and scrolled to, the caret left where it was.
    QString text;
    for (int i = 0; i < 200; ++i)
        text += QStringLiteral("春過ぎて夏来にけらし白妙の衣ほすてふ天の香具山\n");
    pane()->setText(text);
    pane()->setSelection(0, 0);
    w->reading()->ParoleP1Click();
    const int at = int(text.size()) - 10;
    Q_EMIT engine->wordSpoken(at, at + 2);
    QCoreApplication::processEvents();
    EXPECT_EQ(pane()->spokenRange(), std::pair(at, at + 2));
    EXPECT_EQ(pane()->textCursor().position(), 0);
    QRect shown;
    QRect room;
    if (GetParam()) {
        VerticalTextView *v = pane()->verticalView();
        shown = v->characterRect(at).toAlignedRect();
        room = v->viewport()->rect();
    } else {
        QPlainTextEdit *h = pane()->horizontalView();
        QTextCursor c(pane()->document());
        c.setPosition(at);
        shown = h->cursorRect(c);
        room = h->viewport()->rect();
    }
    EXPECT_TRUE(room.intersects(shown)) << "the word heard is out of view";
    // Done: the mark goes.
    engine->finishCurrent();
    EXPECT_EQ(pane()->spokenRange(), std::pair(-1, -1));
}

} // namespace
