// TMainForm1's left-pane tools: string colouring, counts and the count grid, the scroll
// strip and the poem collections, over tools/.
#include "convert/Stopw.h"
#include "editor/RichEditSx.h"
#include "shell/MainFormHandlers.h"
#include "shell/UiBuilder.h"
#include "shell/UiServices.h"
#include "shell/Utamain.h"
#include "shell/WindowRules.h"
#include "tools/Counts.h"
#include "tools/ScrollStrip.h"
#include "tools/StringColoring.h"
#include "tools/widgets/MsgSCR.h"
#include "tools/widgets/StrSortGrid.h"
#include "tools/widgets/Unit2.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLineEdit>

namespace shell {

namespace {

// The count grid window's questions, asked through the window's dialogs.
tools::GridPrompts gridPrompts(UiServices &ui)
{
    using Level = tools::GridPrompts::Level;
    auto request = [](const tools::GridPrompts::FileRequest &r) {
        FileDialogRequest d;
        d.filter = r.filter;
        d.defaultSuffix = r.defaultSuffix;
        d.folder = r.folder;
        return d;
    };
    tools::GridPrompts p;
    p.tell = [&ui](QWidget *parent, Level level, const QString &text) {
        ui.message(parent, level == Level::Error ? MessageKind::Error : MessageKind::Warning, text,
                   MessageButtons::Ok);
    };
    p.confirm = [&ui](QWidget *parent, const QString &caption, const QString &text) {
        return ui.message(parent, MessageKind::Confirmation, text, MessageButtons::YesNo,
                          caption) == MessageAnswer::Yes;
    };
    p.openFileName = [&ui, request](QWidget *parent, const tools::GridPrompts::FileRequest &r) {
        return ui.openFileName(parent, request(r));
    };
    p.saveFileName = [&ui, request](QWidget *parent, const tools::GridPrompts::FileRequest &r) {
        return ui.saveFileName(parent, request(r));
    };
    return p;
}

} // namespace

tools::TMsgSCR *TMainForm1::MsgSCR1() const
{
    return qobject_cast<tools::TMsgSCR *>(m_controls.value(QStringLiteral("MsgSCR1")));
}

void TMainForm1::colourPane(TRichEditSx *pane, text::ColorNumber colour)
{
    QLineEdit *edit2 = edit(QStringLiteral("Edit2"));
    if (edit2->text().isEmpty())
        return;
    pane->setUpdatesEnabled(false);
    m_stopWatch.Start();
    pane->finishLoading(); // every match in the text, all of it
    QTextCursor c = pane->textCursor();
    // The typing colour is cleared, so what is typed next takes the pane's font colour.
    const int count = m_coloring.takeRun(
        tools::ColorAllMatches(c, edit2->text(), tools::toQColor(colour), QColor()));
    pane->setTextCursor(c);
    pane->activeView()->setFocus();
    m_stopWatch.Stop();
    m_status->setPanelText(1, m_stopWatch.ElapsedText());
    m_status->setPanelText(2, tools::coloredCountText(count));
    pane->setUpdatesEnabled(true);
}

void TMainForm1::NNButton2Click()
{
    m_stopWatch.Start();
    colourPane(m_left, m_coloring.nextCyclingColor());
}

void TMainForm1::countPane(TRichEditSx *pane)
{
    m_status->setPanelText(1, tools::lineCountText(pane->rowCount()));
    m_status->setPanelText(2, tools::charCountText(tools::paneCharCount(pane->text())));
}

void TMainForm1::NNButton1Click()
{
    if (!m_form2) {
        m_form2 = new tools::TForm2(gridPrompts(m_ui), m_coloring, this);
        m_form2->setWindowFlag(Qt::Window);
    }
    m_form2->show();
    m_form2->raise();
}

void TMainForm1::NNButton3Click()
{
    QLineEdit *edit3 = edit(QStringLiteral("Edit3"));
    edit3->setText(tools::sixDigits(m_coloring.lastColorCount));
    if (m_form2)
        m_form2->recordRun(edit(QStringLiteral("Edit2"))->text(), edit3->text(),
                           m_stopWatch.ElapsedText());
}

void TMainForm1::loadCollection(bool haiku)
{
    if (!m_left->isVisibleTo(this))
        return;
    const auto which = haiku ? tools::PoemCollection::Haiku : tools::PoemCollection::Hyakunin;
    // Beside the program first, then the installed data folder.
    const QStringList folders{ProgramDir, QApplication::applicationDirPath() +
                                              QStringLiteral("/../share/kotonami/")};
    const QString path = tools::collectionPath(folders, which);
    if (!QFileInfo(path).isFile()) {
        m_ui.message(this, MessageKind::Warning, tools::missingFileMessage(path),
                     MessageButtons::Ok);
        return;
    }
    // The collection is read into the pane but does not become its file.
    if (!m_leftPane->load(path))
        return;
    if (haiku)
        m_status->setPanelText(0, tools::collectionFileName(which));
    else
        showLeftFileName(path);
}

void TMainForm1::registerToolHandlers()
{
    // Colour n (1-12) of the colouring colours on every occurrence of the "Color String" in a
    // pane: the bar's SCButtons colour the left pane, the context menu's N24-N35 the right.
    auto colour = [this](TRichEditSx *pane, int n) {
        return [this, pane, n] {
            const QList<tools::ColoringColor> &colours = tools::coloringColors();
            if (n <= colours.size())
                colourPane(pane, colours[n - 1].applied);
        };
    };
    // Like every edit on the bars, the colour string and the count show their text as their
    // hint: a colour string can be longer than its edit.
    QLineEdit *edit2 = edit(QStringLiteral("Edit2"));
    QLineEdit *edit3 = edit(QStringLiteral("Edit3"));
    addHandlers({
        {"Edit2Change", [edit2, hint = edit2->toolTip()] { showTextAsHint(edit2, hint); }},
        {"Edit3Change", [edit3, hint = edit3->toolTip()] { showTextAsHint(edit3, hint); }},
        {"SCButton1Click", colour(m_left, 1)},
        {"SCButton2Click", colour(m_left, 2)},
        {"SCButton3Click", colour(m_left, 3)},
        {"SCButton4Click", colour(m_left, 4)},
        {"SCButton5Click", colour(m_left, 5)},
        {"SCButton6Click", colour(m_left, 6)},
        {"SCButton7Click", colour(m_left, 7)},
        {"SCButton8Click", colour(m_left, 8)},
        {"SCButton9Click", colour(m_left, 9)},
        {"SCButton10Click", colour(m_left, 10)},
        {"SCButton11Click", colour(m_left, 11)},
        {"SCButton12Click", colour(m_left, 12)},
        {"N24Click", colour(m_right, 1)},
        {"N25Click", colour(m_right, 2)},
        {"N26Click", colour(m_right, 3)},
        {"N27Click", colour(m_right, 4)},
        {"N28Click", colour(m_right, 5)},
        {"N29Click", colour(m_right, 6)},
        {"N30Click", colour(m_right, 7)},
        {"N31Click", colour(m_right, 8)},
        {"N32Click", colour(m_right, 9)},
        {"N33Click", colour(m_right, 10)},
        {"N34Click", colour(m_right, 11)},
        {"N35Click", colour(m_right, 12)},
        HANDLER(NNButton2Click),
        // The bar's string is one line: a selection or clipboard text across lines comes in
        // without its line breaks.
        {"NNButton4Click",
         [this] {
             QLineEdit *e = edit(QStringLiteral("Edit2"));
             e->clear();
             e->setText(tools::colorStringOf(QApplication::clipboard()->text()));
         }},
        {"NNButton5Click",
         [this] {
             edit(QStringLiteral("Edit2"))->setText(tools::colorStringOf(m_left->selectedText()));
         }},
        {"NNButton8Click",
         [this] {
             edit(QStringLiteral("Edit2"))->setText(tools::colorStringOf(m_right->selectedText()));
         }},
        {"ShineSpeedButton33Click", [this] { countPane(m_left); }},
        {"ShineSpeedButton34Click", [this] { countPane(m_right); }},
        HANDLER(NNButton1Click),
        HANDLER(NNButton3Click),
        {"ShineSpeedButton14Click",
         [this] {
             if (auto *b =
                     qobject_cast<QAbstractButton *>(control(QStringLiteral("ShineSpeedButton14"))))
                 b->setText(MsgSCR1()->toggleRunning());
         }},
        {"ShineSpeedButton15Click",
         [this] {
             const tools::StripSelection s = MsgSCR1()->takeSelection(m_left->selectedText());
             m_status->setPanelText(2, s.statusText());
             if (!s.accepted)
                 m_ui.message(this, MessageKind::Warning, tools::stripTooLongMessage(),
                              MessageButtons::Ok);
         }},
        {"ShineSpeedButton16Click", [this] { MsgSCR1()->toggleWhite(m_leftPane->fontColor()); }},
        {"ShineSpeedButton17Click", [this] { MsgSCR1()->setMsg(tools::izumiShikibuPoems()); }},
        {"ShineSpeedButton3Click", [this] { loadCollection(false); }},
        {"ShineSpeedButton18Click", [this] { loadCollection(true); }},
    });
}

} // namespace shell
