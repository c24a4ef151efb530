#include "speech/TypingReader.h"

#include "speech/DirectSS.h"
#include "speech/ReadingController.h"
#include "text/KanaForms.h"

#include <Qt>

namespace speech {

namespace {

bool isBlank(QChar c)
{
    return c.unicode() <= u' ';
}

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

bool isArticle(QStringView word)
{
    return word == u"A" || word == u"a" || word == u"the" || word == u"THE" || word == u"The";
}

QString trimBlanks(QStringView s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && isBlank(s[begin]))
        ++begin;
    while (end > begin && isBlank(s[end - 1]))
        --end;
    return s.mid(begin, end - begin).toString();
}

TypingReader::TypingReader(TDirectSS &engine, ReadingController &reading, TypingHost &host,
                           KanaReading kanaReading)
    : m_engine(engine), m_reading(reading), m_host(host), m_kanaReadingOf(std::move(kanaReading))
{
}

void TypingReader::applyAtStart()
{
    m_host.setKeyInputChecked(true);
}

// --- the switches -----------------------------------------------------------------------

void TypingReader::WordReadCheckBoxClick(bool checked)
{
    m_host.setJoyfulChecks(checked);
    m_host.focusRightPane();
}

void TypingReader::Joyful1Click()
{
    m_host.setJoyfulChecks(!m_host.joyfulWriting());
}

void TypingReader::KeyInputClick()
{
    m_host.setKeyInputChecked(!m_host.keyInputChecked());
    m_readingBuffer.clear();
    m_committedLength = 0;
}

void TypingReader::alphabetClick()
{
    m_host.setAlphabetChecked(!m_host.alphabetChecked());
}

// --- keys -------------------------------------------------------------------------------

void TypingReader::keyPressed(int key, const QString &text)
{
    if (isEnter(key))
        m_enterPressed = true;
    if (key == Qt::Key_Space)
        m_spacePressed = !m_composing;
    // Alphabet info: letters and digits while Joyful writing is off.
    if (!m_reading.EngineReady() || m_host.joyfulWriting() || !m_host.alphabetChecked())
        return;
    if (text.size() != 1 || !text[0].isPrint())
        return;
    const QChar c = text[0];
    m_host.setLabelNxText(text);
    if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'))
        m_engine.SpeakText(QString(c.toLower()));
    else if (c >= u'0' && c <= u'9')
        m_engine.SpeakText(text);
}

void TypingReader::keyReleased(int key, bool autoRepeat)
{
    m_host.refreshCaret();
    // A held key repeats presses; only the release that ends it counts, as one keystroke.
    if (autoRepeat || !m_host.joyfulWriting())
        return;
    if (isEnter(key)) {
        if (!m_enterPressed)
            return;
        m_enterPressed = false;
        SpeakLastWordOfLine();
    } else if (key == Qt::Key_Space) {
        // An input method takes the Space press to convert and lets the release through:
        // that release is no blank typed, and the text before the caret is not read again.
        if (!m_spacePressed || m_composing)
            return;
        m_spacePressed = false;
        SpeakWordBeforeCaret();
    }
}

void TypingReader::dropArticleUnlessHeld()
{
    if (m_articlePending && !isArticle(m_lastWord))
        m_articlePending = false;
}

void TypingReader::speakWord(const QString &word, bool articlesWait, bool clearsPause)
{
    if (m_articlePending) {
        // The held article and this word are read together: "the dog".
        m_lastWord += u' ' + word;
        m_host.setLabelNxText(m_lastWord);
        m_engine.ResetAudio();
        m_engine.SpeakText(m_lastWord);
        m_articlePending = false;
        return;
    }
    m_lastWord = word;
    if (articlesWait && isArticle(word)) {
        m_articlePending = true;
        return;
    }
    m_host.setLabelNxText(word);
    m_engine.ResetAudio();
    if (clearsPause)
        m_reading.clearPaused();
    m_engine.SpeakText(word);
}

void TypingReader::SpeakWordBeforeCaret()
{
    const int line = m_host.caretLine();
    if (line < 0 || line >= m_host.lineCount())
        return;
    const QString s = m_host.lineText(line);
    // Positions count from 1; the typed space is character c.
    const int c = m_host.caretColumn();
    auto spaceAt = [&s](int position) {
        return position >= 1 && position <= s.size() && s[position - 1] == u' ';
    };
    int b = c - 1;
    while (b >= 1 && !spaceAt(b))
        --b;
    b = std::max(b, 0);
    int e = std::max(c - 1, 1);
    while (e <= s.size() && !spaceAt(e))
        ++e;
    if (c <= 0 || e - b <= 0) {
        // A double space drops the held article.
        m_articlePending = false;
        return;
    }
    dropArticleUnlessHeld();
    const QString w = trimBlanks(QStringView(s).mid(b, std::max(e - b - 1, 0)));
    if (w.isEmpty())
        return;
    speakWord(w, true, false);
}

void TypingReader::SpeakLastWordOfLine()
{
    m_host.refreshCaret();
    const int line = m_host.caretLine();
    if (line <= 0 || line > m_host.lineCount())
        return;
    const QString s = m_host.lineText(line - 1);
    if (s.isEmpty())
        return;
    const int b = int(s.lastIndexOf(u' ')) + 1; // from 1; 0 when the line has no space
    if (b == s.size()) {
        m_articlePending = false;
        return;
    }
    dropArticleUnlessHeld();
    const QString w = trimBlanks(QStringView(s).mid(b));
    if (w.isEmpty())
        return;
    // An article at the end of a line is read at once.
    speakWord(w, false, true);
}

// --- the input method -------------------------------------------------------------------

void TypingReader::inputMethodEvent(const QString &preedit, const QString &commit)
{
    if (!commit.isEmpty() && m_composing) {
        m_imeResultPart += commit;
        if (!preedit.isEmpty())
            m_partialCommit = true; // part of the composition committed, the rest goes on
    }
    if (!preedit.isEmpty()) {
        m_composing = true;
        if (text::isKanaOnly(preedit))
            m_lastKanaPreedit = preedit;
        return;
    }
    if (!m_composing)
        return; // a commit without composition: typed straight through, not converted
    const bool confirmed = !m_imeResultPart.isEmpty();
    endComposition();
    if (!confirmed)
        return; // the composition was cancelled
    // The commit is the confirmation: the Enter that made it goes to the input method.
    m_enterPressed = false;
    m_host.refreshCaret();
    if (m_host.joyfulWriting())
        IMEread_Long();
}

void TypingReader::endComposition()
{
    if (!m_imeResultPart.isEmpty()) {
        // The kana the user typed, when one preedit showed the whole reading; else the
        // reading the dictionary gives for what was committed.
        const QString reading =
            !m_partialCommit && !m_lastKanaPreedit.isEmpty()
                ? m_lastKanaPreedit
                : (m_kanaReadingOf ? m_kanaReadingOf(m_imeResultPart) : QString());
        m_imeReadingPart += reading;
        m_committedLength += int(m_imeResultPart.size());
        m_readingBuffer += m_imeReadingPart;
    }
    m_imeResultPart.clear();
    m_imeReadingPart.clear();
    m_lastKanaPreedit.clear();
    m_composing = false;
    m_partialCommit = false;
}

void TypingReader::IMEread_Long()
{
    const QString fullWidth = text::toFullWidth(m_readingBuffer);
    if (m_committedLength <= 0 || m_host.caretPosition() <= 0 || m_host.caretColumn() <= 0)
        return;
    m_lastWord = m_host.textEndingAtCaret(m_committedLength);
    m_committedLength = 0;
    m_host.setLabelNxText(m_lastWord);
    m_engine.ResetAudio();
    if (m_host.keyInputChecked()) {
        m_kanaReading = text::toHiragana(fullWidth);
        m_host.setKanaReadingPanel(u' ' + m_kanaReading);
        m_engine.SpeakText(m_kanaReading);
        m_readingBuffer.clear();
    } else {
        m_engine.SpeakText(m_lastWord);
    }
}

} // namespace speech
