#pragma once

// "Joyful writing": reading aloud while the poet writes in the right pane. An English word
// is read when the space after it is typed, the last word of a line when Enter ends the
// line, and text confirmed through the input method when the composition is committed:
// as committed (with its kanji) or, in key-input mode, as the kana reading that was typed.
// With Joyful writing off, "Alphabet info" reads single letters and digits as they are typed.
//
// QtCore only. The pane's views report their key releases, typed characters and input-
// method events after handling them; the window implements TypingHost and forwards the
// switches' clicks.

#include <QString>
#include <QStringView>

#include <functional>

namespace speech {

class TDirectSS;
class ReadingController;

class TypingHost
{
public:
    virtual ~TypingHost() = default;

    // The caret tracker: refresh() updates CaretLine (the caret's line, from 0) and
    // CaretColumn (characters before the caret in its line).
    virtual void refreshCaret() = 0;
    virtual int caretLine() const = 0;
    virtual int caretColumn() const = 0;
    // The caret's position in the pane's text (lines separated by one character).
    virtual int caretPosition() const = 0;
    virtual int lineCount() const = 0;
    virtual QString lineText(int line) const = 0;
    // The length characters of the pane's text that end at the caret (fewer at its start).
    virtual QString textEndingAtCaret(int length) const = 0;

    // The switches as the controls show them: WordReadCheckBox (and Joyful1), the KeyInput
    // and alphabet menu marks.
    virtual bool joyfulWriting() const = 0;
    virtual void setJoyfulChecks(bool on) = 0;
    virtual bool keyInputChecked() const = 0;
    virtual void setKeyInputChecked(bool on) = 0;
    virtual bool alphabetChecked() const = 0;
    virtual void setAlphabetChecked(bool on) = 0;

    virtual void setLabelNxText(const QString &text) = 0;
    // Status-bar panel 4, where key-input mode shows the reading it speaks.
    virtual void setKanaReadingPanel(const QString &text) = 0;
    virtual void focusRightPane() = 0;
};

// The articles held back until the next word: exactly "A", "a", "the", "THE", "The".
bool isArticle(QStringView word);
// The text without leading and trailing blanks and control characters.
QString trimBlanks(QStringView s);

class TypingReader
{
public:
    // kanaReading gives the kana reading of committed text that no kana preedit showed
    // (MeCab's reading in the program).
    using KanaReading = std::function<QString(QStringView)>;

    TypingReader(TDirectSS &engine, ReadingController &reading, TypingHost &host,
                 KanaReading kanaReading);

    // The pane's events, each reported after the pane has handled it.
    void keyPressed(int key, const QString &text);
    void keyReleased(int key, bool autoRepeat);
    void inputMethodEvent(const QString &preedit, const QString &commit);

    // The switches' handlers.
    void WordReadCheckBoxClick(bool checked);
    void Joyful1Click();
    void KeyInputClick();
    void alphabetClick();
    // KeyInput is checked at every start.
    void applyAtStart();

    void SpeakWordBeforeCaret();
    void SpeakLastWordOfLine();
    void IMEread_Long();

    const QString &LastWord() const { return m_lastWord; }
    bool ArticlePending() const { return m_articlePending; }
    const QString &ReadingBuffer() const { return m_readingBuffer; }
    int CommittedLength() const { return m_committedLength; }
    const QString &KanaReadingText() const { return m_kanaReading; }

private:
    // What the word readers do with a word: join it to a held article, hold it back when
    // it is an article itself (articlesWait), or speak it.
    void speakWord(const QString &word, bool articlesWait, bool clearsPause);
    void dropArticleUnlessHeld();
    void endComposition();

    TDirectSS &m_engine;
    ReadingController &m_reading;
    TypingHost &m_host;
    KanaReading m_kanaReadingOf;

    QString m_lastWord;
    bool m_articlePending = false;
    // One composition: the text committed so far, whether only one commit ended it, and
    // the last preedit made only of kana (the reading the user typed).
    QString m_imeResultPart;
    QString m_imeReadingPart;
    QString m_lastKanaPreedit;
    bool m_composing = false;
    bool m_partialCommit = false;
    // Enter's press reached the pane; the Enter that confirms a conversion goes to the input
    // method, and its release alone must not end a line.
    bool m_enterPressed = false;
    // The Space press reached the pane (no input method took it to convert).
    bool m_spacePressed = false;
    QString m_readingBuffer;
    int m_committedLength = 0;
    QString m_kanaReading;
};

} // namespace speech
