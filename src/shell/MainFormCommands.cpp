// TMainForm1's conversion, date and search commands: thin handlers over convert/ and the
// panes (search), which do the work on the panes' text.
#include "convert/Conversions.h"
#include "convert/Dates.h"
#include "convert/Stopw.h"
#include "editor/PaneTextTarget.h"
#include "editor/RichEditSx.h"
#include "shell/MainFormHandlers.h"
#include "shell/Pane.h"
#include "shell/UiServices.h"
#include "shell/Utamain.h"

#include <QApplication>
#include <QDateTime>
#include <QLocale>

namespace shell {

using editor::PaneTextTarget;

namespace {

// A long left-pane command: the pane's drawing frozen, the busy cursor shown and the time
// taken, all undone however the command ends.
class ConversionFrame
{
public:
    explicit ConversionFrame(TRichEditSx *pane) : m_pane(pane)
    {
        m_pane->setUpdatesEnabled(false);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_watch.Start();
    }
    ~ConversionFrame()
    {
        QApplication::restoreOverrideCursor();
        m_pane->setUpdatesEnabled(true);
    }
    QString elapsed()
    {
        m_watch.Stop();
        return m_watch.ElapsedText();
    }

private:
    TRichEditSx *m_pane;
    convert::TStopWatch m_watch;
};

} // namespace

void TMainForm1::runLeftConversion(const std::function<void(convert::TextTarget &)> &convert)
{
    QString elapsed;
    {
        ConversionFrame frame(m_left);
        PaneTextTarget target(m_left);
        convert(target);
        elapsed = frame.elapsed();
    }
    m_status->setPanelText(1, elapsed);
}

void TMainForm1::ShineSpeedButton21Click()
{
    convert::ManyoganaResult result;
    runLeftConversion([this, &result](convert::TextTarget &target) {
        result = convert::convertToManyogana(m_engine, target);
    });
    m_status->setPanelText(2, convert::characterCountText(result.characters));
    // Panel 3 shows the left pane's lines until the right pane's caret next moves.
    m_status->setPanelText(3, convert::lineCountText(m_left->rowCount()));
}

void TMainForm1::KatakanaButton1Click()
{
    runLeftConversion([this](convert::TextTarget &target) {
        convert::convertKatakanaToHiragana(m_engine, target);
    });
}

void TMainForm1::KatakanaButton2Click()
{
    runLeftConversion(
        [this](convert::TextTarget &target) { convert::convertKatakanaToKanji(m_engine, target); });
}

void TMainForm1::HiraganaButton1Click()
{
    runLeftConversion([this](convert::TextTarget &target) {
        convert::convertHiraganaToKatakana(m_engine, target);
    });
}

// --- dates and the blank marker, at the right pane's caret ------------------------------

void TMainForm1::insertAtRightCaret(const QString &text)
{
    QTextCursor c = m_right->textCursor();
    m_right->replaceSelection(c, text);
    m_right->setTextCursor(c);
    GetColRow();
}

void TMainForm1::HidukeClick()
{
    insertAtRightCaret(
        convert::HidukeText(QDateTime::currentDateTime(), QLocale::system(), m_right->Vertical()));
}

void TMainForm1::diaryClick()
{
    insertAtRightCaret(convert::diaryText(QDateTime::currentDateTime(), QLocale::system()));
}

void TMainForm1::kuhaku1Click()
{
    insertAtRightCaret(convert::kuhaku1Text());
}

void TMainForm1::registerCommandHandlers()
{
    addHandlers({
        HANDLER(ShineSpeedButton21Click),
        HANDLER(KatakanaButton1Click),
        HANDLER(KatakanaButton2Click),
        HANDLER(HiraganaButton1Click),
        HANDLER(HidukeClick),
        HANDLER(diaryClick),
        HANDLER(kuhaku1Click),
        {"Find1Click", [this] { m_rightPane->openFindDialog(false); }},
        {"Replace1Click", [this] { m_rightPane->openFindDialog(true); }},
        {"FindLButtonClick", [this] { m_leftPane->openFindDialog(false); }},
        {"ShineSpeedButton7Click", [this] { m_leftPane->openFindDialog(true); }},
        {"FindNextButtonClick", [this] { m_rightPane->findNext(true); }},
        {"FindBackButtonClick", [this] { m_rightPane->findNext(false); }},
        {"FindNextLButtonClick", [this] { m_leftPane->findNext(true); }},
        {"FindBackLButtonClick", [this] { m_leftPane->findNext(false); }},
    });
}

} // namespace shell
