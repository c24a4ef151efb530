// TMainForm1's HTML page commands: thin handlers over html/, which builds the pages.
#include "convert/Stopw.h"
#include "editor/RichEditSx.h"
#include "html/PageGenerator.h"
#include "shell/MainFormHandlers.h"
#include "shell/UiBuilder.h"
#include "shell/UiServices.h"
#include "shell/Utamain.h"
#include "text/SafeFile.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QUrl>

namespace shell {

namespace {

// A pane's lines; an empty pane has none.
QStringList paneLines(const TRichEditSx *pane)
{
    const QString text = pane->text();
    if (text.isEmpty())
        return {};
    return text.split(QLatin1Char('\n'));
}

} // namespace

void TMainForm1::htmlMessage(const char16_t *text)
{
    m_ui.message(this, MessageKind::Information, QString::fromUtf16(text), MessageButtons::Ok);
}

void TMainForm1::leftWrapOff()
{
    m_left->setWordWrap(false);
    action(QStringLiteral("WordWrapH"))->setChecked(false);
}

void TMainForm1::HtmButton1Click()
{
    const QStringList lines = paneLines(m_left);
    if (lines.isEmpty()) {
        htmlMessage(html::kMsgNoConvertText);
        return;
    }
    convert::TStopWatch watch;
    watch.Start();
    leftWrapOff();
    const html::HtmlPage page = html::verticalPage(lines, pageStyle());
    m_html.setWidths(page.tableWidth, page.ruleWidth);
    m_left->setText(page.lines.join(QLatin1Char('\n')));
    watch.Stop();
    m_status->setPanelText(1, watch.ElapsedText());
}

void TMainForm1::ShineSpeedButton36Click()
{
    if (!paneLines(m_right).isEmpty()) {
        if (!m_left->isVisibleTo(this))
            ShineSpeedButton2Click();
        leftWrapOff();
        HtmButton11Click();
    } else if (paneLines(m_left).isEmpty()) {
        htmlMessage(html::kMsgNoConvertText);
        return;
    }
    leftWrapOff();
    HtmButton1Click();
    m_html.setChecked(html::Preview, true);
    HtmButton3Click();
}

std::optional<QString> TMainForm1::savePage(const QStringList &lines, TRichEditSx *pane)
{
    const auto name =
        m_ui.saveFileName(this, {QStringLiteral("名前を付けて保存"),
                                 html::htmlSaveFilter(m_html.checked(html::HtmlFirst)), QString(),
                                 QString(), QString::fromUtf16(html::kHtmlDefaultExtension)});
    if (!name)
        return std::nullopt;
    text::FileError problem;
    if (!text::writeFileSafely(*name, html::pageFileBytes(lines, text::FileEncoding::Cp932),
                               &problem)) {
        showFileError(QStringLiteral("%1 に保存できません。\n%2")
                          .arg(QDir::toNativeSeparators(*name), problem.message));
        return std::nullopt;
    }
    pane->setModified(false);
    return name;
}

void TMainForm1::previewPage(const QString &file)
{
    if (file.isEmpty()) {
        htmlMessage(html::kMsgNoHtmlFile);
        return;
    }
    m_ui.openUrl(QUrl::fromLocalFile(file).toString());
}

void TMainForm1::HtmButton3Click()
{
    const QStringList lines = paneLines(m_left);
    if (lines.isEmpty()) {
        htmlMessage(html::kMsgNoText);
        return;
    }
    if (const auto name = savePage(lines, m_left))
        PageFile = *name;
    if (m_html.checked(html::Preview))
        previewPage(PageFile);
}

void TMainForm1::HtmButton4Click()
{
    previewPage(PageFile);
}

void TMainForm1::HtmButton13Click()
{
    if (paneLines(m_left).isEmpty()) {
        htmlMessage(html::kMsgNoText);
        return;
    }
    if (!m_left->WordWrap()) {
        m_left->setWordWrap(true);
        QApplication::processEvents();
    }
    m_left->setText(html::hardLineBreakText(m_left->displayedRows()));
    leftWrapOff();
}

void TMainForm1::ShineSpeedButton35Click()
{
    if (paneLines(m_right).isEmpty()) {
        htmlMessage(html::kMsgNoConvertText);
        return;
    }
    if (!m_left->isVisibleTo(this))
        ShineSpeedButton2Click();
    convert::TStopWatch watch;
    watch.Start();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The right pane's wrapped rows are the page's lines; the pane itself gets its text
    // back afterwards, with word wrap on.
    const QString kept = m_right->text();
    m_right->setWordWrap(true);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const QStringList rows = m_right->displayedRows();
    m_left->clear();
    leftWrapOff();
    const html::HtmlPage page = html::longTextPage(rows, pageStyle());
    m_html.setWidths(page.tableWidth, page.ruleWidth);
    m_right->setText(kept);
    m_right->setWordWrap(true);
    action(QStringLiteral("WordWrap"))->setChecked(true);
    action(QStringLiteral("N14"))->setChecked(true);
    m_left->setUpdatesEnabled(false);
    m_left->setText(page.lines.join(QLatin1Char('\n')));
    m_left->setUpdatesEnabled(true);
    QApplication::restoreOverrideCursor();
    watch.Stop();
    m_status->setPanelText(1, watch.ElapsedText());
    if (const auto name = savePage(page.lines, m_left))
        SecondPageFile = *name;
    if (m_html.checked(html::Preview))
        previewPage(SecondPageFile);
}

void TMainForm1::ShineSpeedButton38Click()
{
    if (paneLines(m_left).isEmpty()) {
        htmlMessage(html::kMsgNoText); // the hard line breaks' own message
        htmlMessage(html::kMsgNoConvertText);
        return;
    }
    HtmButton13Click();
    leftWrapOff();
    const QStringList poem = paneLines(m_left);
    convert::TStopWatch watch;
    watch.Start();
    const html::HtmlPage block = html::insertionBlock(poem, pageStyle());
    m_right->setWordWrap(false);
    action(QStringLiteral("WordWrap"))->setChecked(false);
    action(QStringLiteral("N14"))->setChecked(false);
    const auto page =
        html::insertIntoPage(paneLines(m_right), block.lines, m_html.checked(html::InsertAbove));
    if (!page) {
        htmlMessage(html::kMsgNoInsertionPoint);
        return; // the left pane still holds the poem
    }
    m_right->setText(page->join(QLatin1Char('\n')));
    watch.Stop();
    m_status->setPanelText(1, watch.ElapsedText());
    if (const auto name = savePage(*page, m_right))
        SecondPageFile = *name;
    if (m_html.checked(html::Preview))
        previewPage(SecondPageFile);
}

void TMainForm1::ShineSpeedButton39Click()
{
    if (const auto name = savePage(paneLines(m_right), m_right))
        SecondPageFile = *name;
    if (m_html.checked(html::Preview))
        previewPage(SecondPageFile);
}

void TMainForm1::registerHtmlHandlers()
{
    // A click on a style check box goes to the style state, which may change other boxes.
    auto box = [this](int n) {
        return [this, n] {
            if (auto *b =
                    qobject_cast<QAbstractButton *>(control(QStringLiteral("CheckBox%1").arg(n))))
                m_html.setChecked(n, b->isChecked());
        };
    };
    // The heading and the title are stored as typed; the hint shows them whole.
    QLineEdit *edit4 = edit(QStringLiteral("Edit4"));
    QLineEdit *edit5 = edit(QStringLiteral("Edit5"));
    addHandlers({
        HANDLER(HtmButton1Click),
        HANDLER(ShineSpeedButton36Click),
        HANDLER(HtmButton3Click),
        HANDLER(HtmButton4Click),
        HANDLER(HtmButton13Click),
        HANDLER(ShineSpeedButton35Click),
        HANDLER(ShineSpeedButton38Click),
        HANDLER(ShineSpeedButton39Click),
        {"HtmButton5Click", [this] { pickHtmlColor(html::ColorTarget::Background); }},
        {"HtmButton6Click", [this] { pickHtmlColor(html::ColorTarget::FirstText); }},
        {"HtmButton7Click", [this] { pickHtmlColor(html::ColorTarget::SecondText); }},
        {"HtmButton10Click", [this] { pickHtmlColor(html::ColorTarget::Rule); }},
        {"HtmButton12Click", [this] { pickHtmlColor(html::ColorTarget::Heading); }},
        {"HtmButton8Click", [this] { m_html.HtmButton8Click(); }},
        {"HtmButton9Click", [this] { m_html.HtmButton9Click(); }},
        {"ShineSpeedButton40Click", [this] { m_html.ShineSpeedButton40Click(); }},
        {"Edit4Change",
         [this, edit4, hint = edit4->toolTip()] {
             m_html.Edit4Change(edit4->text());
             showTextAsHint(edit4, hint);
         }},
        {"Edit5Change",
         [this, edit5, hint = edit5->toolTip()] {
             m_html.Edit5Change(edit5->text());
             showTextAsHint(edit5, hint);
         }},
        {"CheckBox1Click", box(1)},
        {"CheckBox2Click", box(2)},
        {"CheckBox3Click", box(3)},
        {"CheckBox4Click", box(4)},
        {"CheckBox5Click", box(5)},
        {"CheckBox6Click", box(6)},
        {"CheckBox7Click", box(7)},
        {"CheckBox8Click", box(8)},
        {"CheckBox9Click", box(9)},
        {"CheckBox10Click", box(10)},
        {"CheckBox11Click", box(11)},
        {"CheckBox12Click", box(12)},
        {"CheckBox13Click", box(13)},
        {"CheckBox14Click", box(14)},
    });
}

} // namespace shell
