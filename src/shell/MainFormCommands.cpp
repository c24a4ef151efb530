// TMainForm1's conversion, date and search commands: thin handlers over convert/ and
// search/, which do the work on the panes' text.
#include "convert/Conversions.h"
#include "convert/Dates.h"
#include "convert/Stopw.h"
#include "search/FindReplace.h"
#include "shell/FindReplaceDialog.h"
#include "shell/MainFormHandlers.h"
#include "shell/PaneTextTarget.h"
#include "shell/RichEditSx.h"
#include "shell/UiServices.h"
#include "shell/Utamain.h"

#include <QApplication>
#include <QDateTime>
#include <QLocale>

namespace shell {

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
    QTextCursor c = m_right->horizontalView()->textCursor();
    c.insertText(text);
    m_right->horizontalView()->setTextCursor(c);
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

// --- find and replace -------------------------------------------------------------------

FindReplaceDialog *TMainForm1::findDialog(bool right, bool replace)
{
    FindReplaceDialog *&slot = right ? (replace ? m_replaceDialog1 : m_findDialog1)
                                     : (replace ? m_replaceDialog2 : m_findDialog2);
    if (slot)
        return slot;
    slot = new FindReplaceDialog(
        replace ? FindReplaceDialog::Kind::Replace : FindReplaceDialog::Kind::Find, this);
    slot->setObjectName(
        right ? (replace ? QStringLiteral("ReplaceDialog1") : QStringLiteral("FindDialog1"))
              : (replace ? QStringLiteral("ReplaceDialog2") : QStringLiteral("FindDialog2")));
    slot->setMatchCaseVisible(false);
    slot->setSearchDown(true);
    if (replace) {
        slot->setDirectionVisible(false);
        slot->setDirectionEnabled(right);
        connect(slot, &FindReplaceDialog::replaceRequested, this,
                [this, right] { doReplace(right); });
        connect(slot, &FindReplaceDialog::replaceAllRequested, this,
                [this, right] { doReplaceAll(right); });
    } else {
        connect(slot, &FindReplaceDialog::findNextRequested, this, [this, right] {
            FindReplaceDialog *d = findDialog(right, false);
            find(right, d->findText(), d->searchDown());
        });
    }
    return slot;
}

void TMainForm1::openFindDialog(bool right, bool replace)
{
    TRichEditSx *pane = right ? m_right : m_left;
    FindReplaceDialog *d = findDialog(right, replace);
    if (pane->selLength() > 0)
        d->setFindText(pane->selectedText());
    d->showModeless();
}

void TMainForm1::find(bool right, const QString &findText, bool down)
{
    TRichEditSx *pane = right ? m_right : m_left;
    const QString text = pane->text();
    const auto found =
        down ? search::findForward(text, findText, pane->selStart(), pane->selLength())
             : search::findBackward(text, findText, pane->selStart());
    if (!found) {
        m_ui.beep();
        return;
    }
    pane->activeView()->setFocus();
    pane->setSelection(int(found->start), int(found->length));
    if (right)
        GetColRow();
}

void TMainForm1::doReplace(bool right)
{
    TRichEditSx *pane = right ? m_right : m_left;
    FindReplaceDialog *d = findDialog(right, true);
    const auto found = search::findForReplace(pane->text(), d->findText());
    if (!found) {
        m_ui.message(d, MessageKind::Error, search::notFoundMessage(d->findText()),
                     MessageButtons::Ok);
        return;
    }
    pane->setSelection(int(found->start), int(found->length));
    QTextCursor c = pane->horizontalView()->textCursor();
    c.insertText(d->replaceText());
    pane->horizontalView()->setTextCursor(c);
    if (right)
        GetColRow();
}

void TMainForm1::doReplaceAll(bool right)
{
    TRichEditSx *pane = right ? m_right : m_left;
    FindReplaceDialog *d = findDialog(right, true);
    search::ReplaceAllResult result;
    {
        PaneTextTarget target(pane);
        result = search::replaceAll(target, d->findText(), d->replaceText());
    }
    if (!result.complete)
        m_ui.message(d, MessageKind::Warning, search::stoppedEarlyMessage(result.replacements),
                     MessageButtons::Ok);
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
        {"Find1Click", [this] { openFindDialog(true, false); }},
        {"Replace1Click", [this] { openFindDialog(true, true); }},
        {"FindLButtonClick", [this] { openFindDialog(false, false); }},
        {"ShineSpeedButton7Click", [this] { openFindDialog(false, true); }},
        {"FindNextButtonClick", [this] { find(true, findDialog(true, false)->findText(), true); }},
        {"FindBackButtonClick", [this] { find(true, findDialog(true, false)->findText(), false); }},
        {"FindNextLButtonClick",
         [this] { find(false, findDialog(false, false)->findText(), true); }},
        {"FindBackLButtonClick",
         [this] { find(false, findDialog(false, false)->findText(), false); }},
    });
}

} // namespace shell
