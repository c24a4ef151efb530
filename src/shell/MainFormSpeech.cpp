// TMainForm1's reading aloud: the window as the host of the reading state, the speakers and
// the typing reader, the clipboard watcher and the hot key, and the handlers of the
// "Speech" bar, the Parole and the Speaker menus.
#include "editor/RichEditSx.h"
#include "editor/VerticalTextView.h"
#include "reading/ReadingEngine.h"
#include "shell/MainFormHandlers.h"
#include "shell/ReadingDictionary.h"
#include "shell/UiServices.h"
#include "shell/Utamain.h"
#include "speech/CBWatch.h"
#include "speech/DirectSS.h"
#include "speech/EspeakBackend.h"
#include "speech/EspeakEngine.h"
#include "speech/Hkhotkey.h"
#include "speech/ReadingController.h"
#include "speech/SpeakerSelection.h"
#include "speech/TypingReader.h"
#include "speech/VolumeControl.h"
#include "speech/widgets/Mouth.h"
#include "text/ColorNumber.h"
#include "widgets/ShineButton.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMimeData>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTextBlock>

#include <optional>

namespace shell {

namespace {

const char *const SpeakerButtons[6] = {"NaokoButton", "KenjiButton", "MaryButton",
                                       "MikeButton",  "CarolButton", "PeterButton"};
const char *const SpeakerItems[6] = {"Naoko1", "Kenji1", "Mary1", "Mike1", "Carol1", "Peter1"};

QColor qColorOf(text::ColorNumber n)
{
    return QColor(text::redOf(n), text::greenOf(n), text::blueOf(n));
}

} // namespace

class TMainForm1::SpeechHost final : public speech::ReadingHost,
                                     public speech::SpeakerHost,
                                     public speech::TypingHost
{
public:
    explicit SpeechHost(TMainForm1 &f) : w(f) {}

    // TypingHost
    void refreshCaret() override { w.GetColRow(); }
    int caretColumn() const override { return w.CaretColumn; }
    int caretPosition() const override { return w.m_right->textCursor().position(); }
    int lineCount() const override { return w.m_right->document()->blockCount(); }
    QString lineText(int line) const override
    {
        return w.m_right->document()->findBlockByNumber(line).text();
    }
    QString textEndingAtCaret(int length) const override
    {
        const int end = w.m_right->textCursor().position();
        return w.m_right->textBetween(std::max(end - length, 0), end);
    }
    bool joyfulWriting() const override { return boxChecked("WordReadCheckBox"); }
    void setJoyfulChecks(bool on) override
    {
        setBoxChecked("WordReadCheckBox", on);
        setMark("Joyful1", on);
    }
    bool keyInputChecked() const override { return marked("KeyInput"); }
    void setKeyInputChecked(bool on) override { setMark("KeyInput", on); }
    bool alphabetChecked() const override { return marked("alphabet"); }
    void setAlphabetChecked(bool on) override { setMark("alphabet", on); }
    void setKanaReadingPanel(const QString &text) override { w.m_status->setPanelText(4, text); }

    QString rightPaneText() const override { return w.m_right->text(); }
    int caretLine() const override
    {
        return w.m_right->document()->findBlock(w.m_right->selStart()).blockNumber();
    }
    QString selectedText() const override { return w.m_right->selectedText(); }
    void markSelection(text::ColorNumber colour) override
    {
        TRichEditSx *pane = w.m_right;
        pane->resetCharacterColors();
        QTextCursor c = pane->textCursor();
        QTextCharFormat f;
        f.setForeground(qColorOf(colour));
        c.mergeCharFormat(f);
        pane->setSelection(c.selectionEnd(), 0);
        QTextCharFormat typing = pane->currentCharFormat();
        typing.clearForeground();
        pane->setCurrentCharFormat(typing);
    }
    void showSpoken(int from, int to) override { w.m_right->setSpokenRange(from, to); }
    int selectionStart() const override { return w.m_right->textCursor().selectionStart(); }
    bool isRightPaneModified() const override { return w.m_right->isModified(); }
    void setRightPaneModified(bool modified) override { w.m_right->setModified(modified); }
    void setLabelNxText(const QString &text) override { w.m_labelNx->setText(text); }
    void setPauseCaption(const QString &caption) override
    {
        if (auto *b = qobject_cast<QAbstractButton *>(w.control(QStringLiteral("PauseButton"))))
            b->setText(caption);
    }
    std::optional<text::ColorNumber> chooseColor(text::ColorNumber current) override
    {
        const auto c = w.m_ui.chooseColor(&w, qColorOf(current));
        if (!c)
            return std::nullopt;
        return text::rgbColor(c->red(), c->green(), c->blue());
    }
    void setSelTextHoverColor(text::ColorNumber colour) override
    {
        if (auto *b =
                qobject_cast<widgets::ShineButton *>(w.control(QStringLiteral("SelTextButton"))))
            b->setHoverCaptionColor(qColorOf(colour));
    }
    void setRepetitionPosition(int position) override
    {
        if (auto *s = qobject_cast<QSpinBox *>(w.control(QStringLiteral("RepUpDown")))) {
            const QSignalBlocker block(s);
            s->setValue(position);
        }
    }
    void setSpeedPosition(int position) override { setSlider("ScrollBar1", position); }
    void setSpeedHint(const QString &hint) override { setHint("ScrollBar1", hint); }
    void setVolumePosition(int position) override { setSlider("VScrollBar", position); }
    void setVolumeHint(const QString &hint) override { setHint("VScrollBar", hint); }
    void setMouthChecks(bool checked) override
    {
        setBoxChecked("ShowCheckBox", checked);
        setMark("Show1", checked);
    }
    void focusRightPane() override { w.m_right->activeView()->setFocus(); }
    void setClipSpeechControls(bool on) override
    {
        setBoxChecked("ClipSpeechCheckBox", on);
        setMark("ClipbrdSpeech1", on);
    }
    void setClipboardWatching(bool on) override { w.m_clipboardWatcher->setEnabled(on); }
    bool toClipbrdChecked() const override { return marked("toClipbrd"); }
    void setToClipbrdChecked(bool on) override { setMark("toClipbrd", on); }
    void copySelection() override { w.m_right->copy(); }

    void reportNoSpeechEngine() override
    {
        w.m_ui.message(&w, MessageKind::Information, QStringLiteral("Not Speech Engine"),
                       MessageButtons::Ok);
    }
    void setSpeakerButtonRaised(int speaker, bool raised) override
    {
        if (auto *b = speakerButton(speaker))
            b->setEnabled(raised);
    }
    void setSpeakerButtonColor(int speaker, text::ColorNumber colour) override
    {
        if (auto *b = qobject_cast<widgets::ShineButton *>(speakerButton(speaker)))
            b->setCaptionColor(qColorOf(colour));
    }
    void setSpeakerMenuChecked(int speaker, bool checked) override
    {
        if (speaker >= 1 && speaker <= 6)
            if (QAction *a = w.action(QLatin1String(SpeakerItems[speaker - 1])))
                a->setChecked(checked);
    }
    void setRightPaneInputMethod(speech::InputMethodMode mode) override
    {
        // Japanese speakers: the pane's input method on; English speakers: Latin input only,
        // which makes a desktop input method leave the pane alone.
        for (QWidget *v : {static_cast<QWidget *>(w.m_right->horizontalView()),
                           static_cast<QWidget *>(w.m_right->verticalView())})
            v->setInputMethodHints(mode == speech::InputMethodMode::Closed ? Qt::ImhLatinOnly
                                                                           : Qt::ImhNone);
    }

private:
    bool boxChecked(const char *name) const
    {
        auto *b = qobject_cast<QAbstractButton *>(w.control(QLatin1String(name)));
        return b && b->isChecked();
    }
    void setBoxChecked(const char *name, bool on)
    {
        if (auto *b = qobject_cast<QAbstractButton *>(w.control(QLatin1String(name))))
            b->setChecked(on);
    }
    bool marked(const char *name) const
    {
        const QAction *a = w.action(QLatin1String(name));
        return a && a->isChecked();
    }
    void setMark(const char *name, bool on)
    {
        if (QAction *a = w.action(QLatin1String(name)))
            a->setChecked(on);
    }
    QWidget *speakerButton(int speaker) const
    {
        return speaker >= 1 && speaker <= 6 ? w.control(QLatin1String(SpeakerButtons[speaker - 1]))
                                            : nullptr;
    }
    void setSlider(const char *name, int value)
    {
        if (auto *s = qobject_cast<QSlider *>(w.control(QLatin1String(name)))) {
            const QSignalBlocker block(s);
            s->setValue(value);
        }
    }
    void setHint(const char *name, const QString &hint)
    {
        if (QWidget *s = w.control(QLatin1String(name))) {
            s->setToolTip(hint);
            s->setStatusTip(hint);
        }
    }
    TMainForm1 &w;
};

void TMainForm1::createSpeech()
{
    m_speechHost = std::make_shared<SpeechHost>(*this);
    m_engine1 = m_ui.makeSpeechEngine(this);
    if (!m_engine1)
        m_engine1 = std::make_unique<speech::EspeakDirectSS>(this);
    connect(m_engine1.get(), &speech::TDirectSS::noticed, this,
            [this](const QString &text) { m_status->setPanelText(4, text); });
    m_volume = std::make_unique<speech::VolumeControl>();
    speech::TDirectSS *engine = m_engine1.get();
    m_volume->setOutput([engine](double v) { engine->setOutputVolume(v); });
    m_reading = std::make_unique<speech::ReadingController>(*m_engine1, *m_speechHost,
                                                            m_volume.get(), this);
    m_speakers = std::make_unique<speech::SpeakerSelection>(*m_engine1, *m_speechHost);
    // Committed text that no kana preedit showed is read through MeCab, opened on first use.
    m_typing = std::make_unique<speech::TypingReader>(
        *m_engine1, *m_reading, *m_speechHost,
        [this](QStringView committed) { return readings().kana(committed).remove(u' '); });
    speech::TypingReader *typing = m_typing.get();
    connect(m_right, &TRichEditSx::keyPressed, this,
            [typing](int key, const QString &text) { typing->keyPressed(key, text); });
    connect(m_right, &TRichEditSx::keyReleased, this,
            [typing](int key, bool autoRepeat) { typing->keyReleased(key, autoRepeat); });
    connect(m_right, &TRichEditSx::inputMethodHandled, this,
            [typing](const QString &preedit, const QString &commit) {
                typing->inputMethodEvent(preedit, commit);
            });

    m_clipboardWatcher = new speech::TClipboardWatcher(this);
    m_clipboardWatcher->setEnabled(false);
    m_clipboardWatcher->setOnChange([this](QObject *) {
        const QMimeData *clip = QGuiApplication::clipboard()->mimeData();
        m_reading->clipboardChanged(clip && clip->hasText() ? std::optional(clip->text())
                                                            : std::nullopt);
    });
    connect(m_right, &TRichEditSx::doubleClicked, this, [this] {
        GetColRow();
        m_reading->paneDoubleClicked();
    });

    HotKey1 = speech::DefaultHotKey1;
    m_hookHotKey = new speech::THookHotKey(this);
    m_hookHotKey->setOnHotKey([this](QObject *, int index) {
        if (index == 1)
            m_reading->Reset1Click();
    });
    if (QAction *item = action(QStringLiteral("HotKeyCheck")))
        m_hotKeyHint = item->statusTip();
    connect(m_hookHotKey, &speech::THookHotKey::availabilityChanged, this,
            [this] { showHotKeyHint(); });
    // The mouth takes the placeholder's place on the "Speech" bar.
    if (QWidget *placeholder = control(QStringLiteral("DirectSS1"))) {
        auto *mouth = new speech::Mouth(*m_engine1, placeholder->parentWidget());
        mouth->setObjectName(QStringLiteral("DirectSS1"));
        if (auto *layout = placeholder->parentWidget()->layout())
            layout->replaceWidget(placeholder, mouth);
        placeholder->deleteLater();
        m_controls.insert(QStringLiteral("DirectSS1"), mouth);
    }
    speech::ReadingController *r = m_reading.get();
    auto checkBoxChecked = [this](const QString &name) {
        auto *b = qobject_cast<QAbstractButton *>(control(name));
        return b && b->isChecked();
    };
    // The value of a slider or spin box, if the bar has that control.
    auto valueOf = [this](const QString &name) -> std::optional<int> {
        if (auto *s = qobject_cast<QAbstractSlider *>(control(name)))
            return s->value();
        if (auto *s = qobject_cast<QSpinBox *>(control(name)))
            return s->value();
        return std::nullopt;
    };
    auto speaker = [this](int n) { return [this, n] { m_speakers->chooseSpeaker(n); }; };
    addHandlers({
        {"ParoleP1Click", [r] { r->ParoleP1Click(); }},
        {"SpeechButtonClick", [r] { r->ParoleP1Click(); }},
        {"Band1Click", [r] { r->Band1Click(); }},
        {"BandButtonClick", [r] { r->Band1Click(); }},
        {"SelText1Click", [r] { r->SelText1Click(); }},
        {"SelTextButtonClick", [r] { r->SelText1Click(); }},
        {"Pouse1Click", [r] { r->Pouse1Click(); }},
        {"PauseButtonClick", [r] { r->Pouse1Click(); }},
        {"Reset1Click", [r] { r->Reset1Click(); }},
        {"ResetButtonClick", [r] { r->Reset1Click(); }},
        {"Show1Click", [r] { r->Show1Click(); }},
        {"DSpeedButtonClick", [r] { r->DSpeedButtonClick(); }},
        {"ShowCheckBoxClick",
         [this, r] {
             if (auto *b = qobject_cast<QAbstractButton *>(control(QStringLiteral("ShowCheckBox"))))
                 r->ShowCheckBoxClick(b->isChecked());
         }},
        {"ScrollBar1Change",
         [r, valueOf] {
             if (const auto v = valueOf(QStringLiteral("ScrollBar1")))
                 r->ScrollBar1Change(*v);
         }},
        {"VScrollBarChange",
         [r, valueOf] {
             if (const auto v = valueOf(QStringLiteral("VScrollBar")))
                 r->VScrollBarChange(*v);
         }},
        {"RepUpDownChange",
         [r, valueOf] {
             if (const auto v = valueOf(QStringLiteral("RepUpDown")))
                 r->RepUpDownChange(*v);
         }},
        {"ClipSpeechCheckBoxClick",
         [r, checkBoxChecked] {
             r->ClipSpeechCheckBoxClick(checkBoxChecked(QStringLiteral("ClipSpeechCheckBox")));
         }},
        {"ClipbrdSpeech1Click", [r] { r->ClipbrdSpeech1Click(); }},
        HANDLER(ReadingDictionary1Click),
        {"C_MemoryButtonClick", [r] { r->ClipBoardMemory1Click(); }},
        {"ClipBoardMemory1Click", [r] { r->ClipBoardMemory1Click(); }},
        {"toClipbrdClick", [r] { r->toClipbrdClick(); }},
        HANDLER(HotKeyCheckClick),
        {"WordReadCheckBoxClick",
         [typing, checkBoxChecked] {
             typing->WordReadCheckBoxClick(checkBoxChecked(QStringLiteral("WordReadCheckBox")));
         }},
        {"Joyful1Click", [typing] { typing->Joyful1Click(); }},
        {"KeyInputClick", [typing] { typing->KeyInputClick(); }},
        {"alphabetClick", [typing] { typing->alphabetClick(); }},
        {"LanguageSet1Click", [this] { m_reading->setEngineReady(m_speakers->FLID()); }},
        // Each speaker's bar button and menu item.
        {"NaokoButtonClick", speaker(1)},
        {"Naoko1Click", speaker(1)},
        {"KenjiButtonClick", speaker(2)},
        {"Kenji1Click", speaker(2)},
        {"MaryButtonClick", speaker(3)},
        {"Mary1Click", speaker(3)},
        {"MikeButtonClick", speaker(4)},
        {"Mike1Click", speaker(4)},
        {"CarolButtonClick", speaker(5)},
        {"Carol1Click", speaker(5)},
        {"PeterButtonClick", speaker(6)},
        {"Peter1Click", speaker(6)},
        HANDLER(Recite1Click),
        HANDLER(Opening1Click),
        HANDLER(HtsVoice1Click),
    });
}

void TMainForm1::startSpeech()
{
    m_reading->setFSpd(m_values.FSpd);
    m_reading->setFRepNum(m_values.fRepNum);
    m_reading->setFSelBgColor(m_values.fSelBgColor);
    if (auto *b = qobject_cast<QAbstractButton *>(control(QStringLiteral("ShowCheckBox"))))
        m_reading->setShowCheckBoxChecked(b->isChecked());
    m_speakers->setFSpeechID(m_values.fSpeechID);
    if (const QAction *hts = action(QStringLiteral("HtsVoice1")))
        m_engine1->setHtsVoices(hts->isChecked());
    m_reading->setEngineReady(m_speakers->FLID());
    m_reading->applyAtStart();
    m_typing->applyAtStart();
}

void TMainForm1::registerHotKey()
{
    m_hookHotKey->AddHotKey(
        1, HotKey1, {QStringLiteral("stop-reading"), QStringLiteral("読み上げを止める (Reset)")});
    showHotKeyHint();
}

void TMainForm1::showHotKeyHint()
{
    if (QAction *item = action(QStringLiteral("HotKeyCheck"))) {
        const QString hint = m_hookHotKey->hint(m_hotKeyHint);
        item->setStatusTip(hint);
        item->setToolTip(hint);
    }
}

void TMainForm1::HotKeyCheckClick()
{
    QAction *mark = action(QStringLiteral("HotKeyCheck"));
    if (!mark)
        return;
    // The mark follows the switch even when another program holds the key.
    mark->setChecked(!mark->isChecked());
    if (mark->isChecked())
        registerHotKey();
    else
        m_hookHotKey->RemoveHotKey(1);
}

void TMainForm1::Recite1Click()
{
    toggleRecitation(QStringLiteral("Recite1"));
}

void TMainForm1::Opening1Click()
{
    toggleRecitation(QStringLiteral("Opening1"));
}

void TMainForm1::HtsVoice1Click()
{
    QAction *mark = action(QStringLiteral("HtsVoice1"));
    if (!mark)
        return;
    mark->setChecked(!mark->isChecked());
    m_engine1->setHtsVoices(mark->isChecked());
}

void TMainForm1::toggleRecitation(const QString &item)
{
    if (QAction *mark = action(item))
        mark->setChecked(!mark->isChecked());
    const auto checked = [this](const QString &name) {
        const QAction *a = action(name);
        return a && a->isChecked();
    };
    m_engine1->setRecitation(checked(QStringLiteral("Recite1")),
                             checked(QStringLiteral("Opening1")));
}

void TMainForm1::stopSpeech()
{
    if (!m_reading)
        return;
    m_values.FSpd = m_reading->FSpd();
    m_values.fRepNum = m_reading->fRepNum();
    m_values.fSelBgColor = m_reading->fSelBgColor();
    m_values.fSpeechID = m_speakers->determineSpeechID();
    m_engine1->ResetAudio();
}

int TMainForm1::outputVolume() const
{
    return m_volume ? m_volume->volume() : 0;
}

reading::ReadingEngine &TMainForm1::readings()
{
    if (!m_readings) {
        m_readings = std::make_unique<reading::ReadingEngine>();
        m_readings->loadUserDictionary();
    }
    return *m_readings;
}

void TMainForm1::ReadingDictionary1Click()
{
    if (!m_readingDialog) {
        m_readingDialog = new TReadingDialog(
            reading::ReadingEngine::userDictionaryPath(),
            [this] {
                // The voices, the typing reader and the counts of sounds read the new entries
                // from now on.
                readings().loadUserDictionary();
                m_meters.clear();
                speech::EspeakEngine::instance().reloadUserDictionary();
            },
            this);
    }
    // The selection (its first line), with the reading the speakers give it now: read in
    // its line, where the words around it decide, when the line's words make it up.
    const QTextCursor selection = m_right->textCursor();
    const QTextBlock block = m_right->document()->findBlock(selection.selectionStart());
    const qsizetype from = selection.selectionStart() - block.position();
    const qsizetype to =
        qMin<qsizetype>(selection.selectionEnd() - block.position(), block.text().size());
    const QString word = block.text().mid(from, to - from).trimmed();
    QList<reading::Word> words;
    QString surfaces;
    for (const reading::Word &w : readings().words(block.text())) {
        if (w.begin >= from && w.end <= to && w.kind == reading::Word::Kind::Japanese) {
            words << w;
            surfaces += w.surface;
        }
    }
    if (surfaces != word)
        words = word.isEmpty() ? QList<reading::Word>() : readings().words(word);
    QString spoken;
    for (const reading::Word &w : words)
        spoken += w.kind == reading::Word::Kind::Japanese ? w.kana : QString();
    // A word the engine is not sure of: its other readings, the whole word's each time.
    QStringList alternatives;
    for (qsizetype i = 0; i < words.size(); ++i) {
        for (const QString &other : words[i].alternatives) {
            QString whole;
            for (qsizetype k = 0; k < words.size(); ++k)
                whole += k == i ? other : words[k].kana;
            if (!alternatives.contains(whole) && whole != spoken)
                alternatives << whole;
        }
    }
    m_readingDialog->propose(word, spoken, alternatives);
    m_readingDialog->show();
    m_readingDialog->raise();
    m_readingDialog->activateWindow();
}

} // namespace shell
