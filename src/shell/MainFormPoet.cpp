// The poet's tools of the window: ruby, sounds counted, tate-chū-yoko and hanging marks in
// both panes, furigana from the reading engine, and the page markup of the HTML bar.
#include "shell/Utamain.h"

#include "editor/RichEditSx.h"
#include "reading/ReadingEngine.h"
#include "shell/UiServices.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTextBlock>
#include <QTextCursor>

namespace shell {

namespace {

// Lines longer than this are prose, whose sounds nobody counts: they get no note.
constexpr qsizetype kLongestCountedLine = 400;

} // namespace

bool TMainForm1::menuOn(const QString &name) const
{
    const QAction *a = action(name);
    return a && a->isChecked();
}

void TMainForm1::toggleMenu(const QString &name)
{
    if (QAction *a = action(name))
        a->setChecked(!a->isChecked());
}

void TMainForm1::switchTypesetting(const QString &item)
{
    toggleMenu(item);
    applyTypesetting();
}

void TMainForm1::applyTypesetting()
{
    editor::Typesetting t;
    t.ruby = menuOn(QStringLiteral("RubyShow1"));
    t.uprightLength = menuOn(QStringLiteral("TateChuYoko1")) ? m_values.fTcyLength : 0;
    t.hanging = menuOn(QStringLiteral("Burasage1"));
    m_right->setTypesetting(t);
    m_left->setTypesetting(t);
}

const TMainForm1::StanzaReading &TMainForm1::stanzaOf(const QTextBlock &block,
                                                      reading::PoemForm form, qsizetype *line)
{
    // The lines the block's poem may span: the block and its neighbours up to the blank
    // lines around them, when they are few enough for one poem; else the block alone.
    constexpr qsizetype kMostPoemLines = 6;
    const auto counted = [](const QTextBlock &b) {
        return b.isValid() && b.length() - 1 <= kLongestCountedLine &&
               !b.text().trimmed().isEmpty();
    };
    QList<QTextBlock> lines{block};
    *line = 0;
    if (counted(block)) {
        for (QTextBlock b = block.previous(); counted(b) && lines.size() <= kMostPoemLines;
             b = b.previous()) {
            lines.prepend(b);
            ++*line;
        }
        for (QTextBlock b = block.next(); counted(b) && lines.size() <= kMostPoemLines;
             b = b.next())
            lines.append(b);
        if (lines.size() > kMostPoemLines) {
            lines = {block};
            *line = 0;
        }
    }
    QStringList texts;
    for (const QTextBlock &b : lines)
        texts << b.text();
    // Painting asks for the same lines again and again: the counts are kept by form and text.
    const QString key = QString::number(int(form)) + u'\n' + texts.join(u'\n');
    if (m_meters.size() > 4096)
        m_meters.clear();
    auto it = m_meters.find(key);
    if (it == m_meters.end()) {
        StanzaReading r;
        if (counted(block)) {
            QList<QList<reading::Word>> words;
            const QList<QStringView> views(texts.begin(), texts.end());
            r.meter = readings().meterOfLines(views, form, &words);
            for (const QList<reading::Word> &lineWords : std::as_const(words)) {
                QList<text::Span> &doubtful = r.doubtful.emplace_back();
                for (const reading::Word &w : lineWords) {
                    if (w.doubtful)
                        doubtful.append({int(w.begin), int(w.end - w.begin)});
                }
            }
        }
        it = m_meters.insert(key, r);
    }
    return *it;
}

reading::PoemForm TMainForm1::poemForm(const TRichEditSx *pane) const
{
    return reading::PoemForm(pane == m_left ? m_values.fLeftPoemForm : m_values.fPoemForm);
}

void TMainForm1::applyLineNotes()
{
    const auto notesOf = [this](const TRichEditSx *pane) {
        std::function<editor::LineNote(const QTextBlock &)> notes;
        if (menuOn(QStringLiteral("MoraShow1")))
            notes = [this, pane](const QTextBlock &block) {
                // The sounds by ku of the line's share of its poem, and the words whose
                // reading is a guess dotted.
                qsizetype at = 0;
                const StanzaReading &r = stanzaOf(block, poemForm(pane), &at);
                editor::LineNote note;
                note.dotted = r.doubtful.value(at);
                const reading::LineMeter m = r.meter.lines.value(at);
                if (m.total() > 0) {
                    note.values = m.ku;
                    for (qsizetype k = 0; k < m.ku.size(); ++k)
                        note.marks.append(m.deviation(k));
                }
                return note;
            };
        return notes;
    };
    m_right->setLineNotes(notesOf(m_right));
    m_left->setLineNotes(notesOf(m_left));
    m_meters.clear();
    showCaretMeter();
}

QString TMainForm1::caretMeterText(bool whole)
{
    // Short enough for the panel at the default width ("音数 5・7・8 字余り③", the ku alone);
    // whole, for its tooltip ("音数 20（5・7・8） 3句目字余り"). The caret line's poem is
    // counted, all its lines.
    if (!menuOn(QStringLiteral("MoraShow1")))
        return {};
    qsizetype at = 0;
    const StanzaReading &r = stanzaOf(m_right->textCursor().block(), poemForm(m_right), &at);
    if (at >= r.meter.poemOfLine.size())
        return {};
    const reading::LineMeter &m = r.meter.poems.value(r.meter.poemOfLine[at]);
    if (m.total() == 0)
        return {};
    QString text = QStringLiteral("音数 ");
    if (m.ku.size() < 2)
        text += QString::number(m.total());
    else if (whole)
        text += QStringLiteral("%1（%2）").arg(m.total()).arg(m.kuText());
    else
        text += m.kuText();
    QStringList marks;
    for (qsizetype k = 0; k < m.ku.size(); ++k) {
        if (m.deviation(k) == 0)
            continue;
        const QString verdict =
            m.deviation(k) > 0 ? QStringLiteral("字余り") : QStringLiteral("字足らず");
        marks << (whole ? QStringLiteral("%1句目%2").arg(k + 1).arg(verdict)
                        : verdict + QChar(char16_t(u'①' + k)));
    }
    if (!marks.isEmpty())
        text += u' ' + marks.join(u' ');
    return text;
}

void TMainForm1::showCaretMeter()
{
    // Panel 4 is the hints' and the typing reader's; the count goes there only while it
    // shows nothing else (or the count it showed before).
    const QString now = m_status->panelText(4);
    if (!now.isEmpty() && now != m_caretMeter)
        return;
    m_caretMeter = caretMeterText(false);
    m_status->setPanelText(4, m_caretMeter);
    m_status->panel(4)->setToolTip(caretMeterText(true));
}

void TMainForm1::choosePoemForm(TRichEditSx *pane)
{
    static const QStringList forms{QStringLiteral("自動"), QStringLiteral("俳句"),
                                   QStringLiteral("短歌"), QStringLiteral("旋頭歌"),
                                   QStringLiteral("自由律")};
    int &value = pane == m_left ? m_values.fLeftPoemForm : m_values.fPoemForm;
    const std::optional<int> chosen =
        m_ui.chooseItem(this, QStringLiteral("詩形"),
                        pane == m_left ? QStringLiteral("左窓の音数を数える詩形:")
                                       : QStringLiteral("右窓の音数を数える詩形:"),
                        forms, value);
    if (!chosen)
        return;
    value = *chosen;
    // The count shows what it is counted against.
    if (!menuOn(QStringLiteral("MoraShow1")))
        toggleMenu(QStringLiteral("MoraShow1"));
    applyLineNotes();
}

void TMainForm1::PoemForm1Click()
{
    choosePoemForm(m_right);
}

void TMainForm1::LeftPoemForm1Click()
{
    choosePoemForm(m_left);
}

void TMainForm1::RubyShow1Click()
{
    switchTypesetting(QStringLiteral("RubyShow1"));
}

void TMainForm1::MoraShow1Click()
{
    toggleMenu(QStringLiteral("MoraShow1"));
    applyLineNotes();
}

void TMainForm1::TateChuYoko1Click()
{
    switchTypesetting(QStringLiteral("TateChuYoko1"));
}

void TMainForm1::Burasage1Click()
{
    switchTypesetting(QStringLiteral("Burasage1"));
}

void TMainForm1::TcyLength1Click()
{
    const std::optional<int> length = m_ui.chooseNumber(
        this, QStringLiteral("縦中横"),
        QStringLiteral("縦中横にする半角の数字・英字の桁数（2～4）:"), m_values.fTcyLength, 2, 4);
    if (!length)
        return;
    m_values.fTcyLength = *length;
    applyTypesetting();
}

void TMainForm1::Furigana1Click()
{
    // The selection, or else the caret's line, with the engine's reading of every kanji word
    // written as ruby: one change, undone in one step.
    QTextCursor c = m_right->textCursor();
    if (!c.hasSelection()) {
        const QTextBlock line = c.block();
        c = m_right->placedCursor(line.position(), line.position() + line.length() - 1);
    }
    const QString text = m_right->textBetween(c.selectionStart(), c.selectionEnd());
    if (text.trimmed().isEmpty())
        return;
    const QAction *historical = action(QStringLiteral("HistoricalRuby1"));
    const QString withRuby = readings().withRuby(text, historical && historical->isChecked());
    if (withRuby == text)
        return;
    const int start = c.selectionStart();
    m_right->recordAction(editor::ActionPaste);
    m_right->replaceSelection(c, withRuby);
    m_right->setTextCursor(m_right->placedCursor(start, start + int(withRuby.size())));
    GetColRow();
}

void TMainForm1::HistoricalRuby1Click()
{
    if (QAction *mark = action(QStringLiteral("HistoricalRuby1")))
        mark->setChecked(!mark->isChecked());
}

html::HtmlStyle TMainForm1::pageStyle() const
{
    html::HtmlStyle style = m_html.style();
    auto checked = [this](const char *name) {
        const auto *box = qobject_cast<const QAbstractButton *>(control(QLatin1String(name)));
        return box && box->isChecked();
    };
    style.ruby = checked("RubyCheckBox");
    style.uprightLength = checked("TcyCheckBox") ? m_values.fTcyLength : 0;
    return style;
}

} // namespace shell
