#include "shell/Utamain.h"

#include "editor/PaneCaret.h"
#include "editor/PanePrinter.h"
#include "editor/RichEditSx.h"
#include "editor/VerticalTextView.h"
#include "reading/ReadingEngine.h"
#include "settings/IniFile.h"
#include "shell/DROPDST.h"
#include "shell/FontNames.h"
#include "shell/MainFormHandlers.h"
#include "shell/MainFormSettings.h"
#include "shell/ShellResources.h"
#include "shell/StartupSteps.h"
#include "shell/UiServices.h"
#include "shell/Unit1.h"
#include "shell/Unit3.h"
#include "shell/WindowRules.h"
#include "speech/DirectSS.h"
#include "speech/Hkhotkey.h"
#include "speech/ReadingController.h"
#include "speech/SpeakerSelection.h"
#include "speech/TypingReader.h"
#include "speech/VolumeControl.h"
#include "text/FileWatch.h"
#include "text/RecoveryStore.h"
#include "text/SafeFile.h"
#include "text/ShellLink.h"
#include "tools/ScrollStrip.h"
#include "tools/widgets/ColorMenuStyle.h"
#include "tools/widgets/MsgSCR.h"
#include "tools/widgets/StrSortGrid.h"
#include "widgets/ClockLabel.h"
#include "widgets/TabButton.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMenuBar>
#include <QPrinter>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QWindowStateChangeEvent>

namespace shell {

using editor::applyDefaultMargins;
using editor::PrintOptions;
using editor::printPane;
using editor::windowImeColors;

namespace {

Q_LOGGING_CATEGORY(lcHandlers, "kotonami.handlers")

const char *const BarNames[TMainForm1::BarCount] = {"NNBar1", "NNBar3", "NNBar4", "NNBar5",
                                                    "NNbar6"};
const char *const TabCaptions[TMainForm1::BarCount] = {"右窓", "左窓", "Color String", "HTML",
                                                       "Speech"};
const int BarHeights[TMainForm1::BarCount] = {33, 32, 32, 32, 32};

const QColor RightBackground(244, 245, 233);
const QColor LeftBackground(213, 227, 221);
const QColor RightInk(57, 66, 85);

} // namespace

// --- status bar -------------------------------------------------------------------------

StatusPanels::StatusPanels(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("StatusBar1"));
    setFixedHeight(21);
    setFont(programFont(QStringLiteral("ＭＳ Ｐ明朝"), 12));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(2);
    const int widths[] = {170, 90, 100, 120, 50, 150};
    for (int i = 0; i < 6; ++i) {
        auto *label = new QLabel(this);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setContentsMargins(3, 0, 3, 0);
        label->setTextFormat(Qt::PlainText);
        if (i != 4) {
            label->setFixedWidth(widths[i]);
            layout->addWidget(label);
        } else {
            label->setMinimumWidth(widths[i]);
            layout->addWidget(label, 1);
        }
        m_panels << label;
    }
}

QString StatusPanels::panelText(int index) const
{
    return m_panels.at(index)->text();
}

void StatusPanels::setPanelText(int index, const QString &text)
{
    m_panels.at(index)->setText(text);
}

// --- construction -----------------------------------------------------------------------

TMainForm1::TMainForm1(UiServices &ui, const QString &programPath, QWidget *parent)
    : QMainWindow(parent), m_ui(ui)
{
    const QFileInfo program(programPath);
    ProgramDir = QDir::toNativeSeparators(program.absolutePath());
    if (!ProgramDir.endsWith(QDir::separator()))
        ProgramDir += QDir::separator();
    m_settings = std::make_unique<MainFormSettings>(*this, m_values);
    buildWindow();
    registerHandlers();
    registerCommandHandlers();
    registerHtmlHandlers();
    registerToolHandlers();
    createSpeech();
    wireHtmlStyle();
    setUpDocuments();
    RegManager1.setIniFileName(settings::settingsFilePath(programPath));
    RegManager1.setErrorHandler([this](const QString &message) {
        m_ui.message(this, MessageKind::Error, message, MessageButtons::Ok);
    });
    setUpRecentFiles();
    FormCreate();
}

TMainForm1::~TMainForm1()
{
    // The reading state and the speakers use the engine and the host: they go first.
    m_reading.reset();
    m_speakers.reset();
}

void TMainForm1::buildWindow()
{
    setObjectName(QStringLiteral("MainForm1"));
    setWindowTitle(programName() + QStringLiteral("[*]"));
    setFont(programFont(QStringLiteral("ＭＳ 明朝"), 15));
    resize(DefaultWidth, DefaultHeight);
    move(20, 20);
    setMinimumSize(MinimumWidth, MinimumHeight);

    const Dispatch dispatch = [this](const QString &handler) { run(handler); };
    m_menus = buildMenus(menuBar(), this, builtInMenus(), dispatch);
    menuBar()->setFont(QApplication::font());

    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    const QList<BarRow> rows = builtInBars();
    for (int b = 0; b < BarCount; ++b) {
        auto *bar = new ToolStrip(central);
        bar->setObjectName(QLatin1String(BarNames[b]));
        bar->setFixedHeight(BarHeights[b]);
        QList<BarRow> own;
        for (const BarRow &row : rows) {
            if (row.bar == bar->objectName())
                own << row;
        }
        m_controls.insert(buildBar(bar->content(), own, dispatch));
        m_bars[b] = bar;
        column->addWidget(bar);
    }

    m_tabBar = new QWidget(central);
    m_tabBar->setObjectName(QStringLiteral("NNBar2"));
    m_tabBar->setFixedHeight(23);
    auto *tabs = new QHBoxLayout(m_tabBar);
    tabs->setContentsMargins(2, 1, 2, 0);
    tabs->setSpacing(2);
    for (int b = 0; b < BarCount; ++b) {
        auto *tab = new widgets::TabButton(QString::fromUtf8(TabCaptions[b]), m_tabBar);
        tab->setObjectName(QStringLiteral("Tab_%1").arg(QLatin1String(BarNames[b])));
        connect(tab, &QAbstractButton::clicked, this, [this, b] { TabClick(Bar(b)); });
        tabs->addWidget(tab);
        m_tabs[b] = tab;
    }
    m_labelNx = new QLabel(m_tabBar);
    m_labelNx->setObjectName(QStringLiteral("LabelNx"));
    m_labelNx->setTextFormat(Qt::PlainText);
    tabs->addSpacing(8);
    tabs->addWidget(m_labelNx);
    tabs->addStretch(1);
    m_tabBar->installEventFilter(this);
    column->addWidget(m_tabBar);

    m_splitter = new QSplitter(Qt::Horizontal, central);
    m_splitter->setObjectName(QStringLiteral("Splitter1"));
    m_splitter->setHandleWidth(6);
    m_splitter->setChildrenCollapsible(false);
    m_left = new TRichEditSx(m_splitter);
    m_left->setObjectName(QStringLiteral("RichEditNx2"));
    m_left->setMinimumWidth(30);
    m_right = new TRichEditSx(m_splitter);
    m_right->setObjectName(QStringLiteral("RichEditNx1"));
    m_splitter->addWidget(m_left);
    m_splitter->addWidget(m_right);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    connect(m_splitter, &QSplitter::splitterMoved, this, [this] {
        if (m_left->isVisible())
            m_leftWidth = m_splitter->sizes().value(0, m_leftWidth);
    });
    column->addWidget(m_splitter, 1);

    m_status = new StatusPanels(central);
    column->addWidget(m_status);
    setCentralWidget(central);

    m_right->setContextMenu(popupMenu());
    tools::installColorMenuStyle(popupMenu());
    if (tools::TMsgSCR *strip = MsgSCR1()) {
        strip->setMsg(tools::initialStripText());
        strip->setStripFont(programFont(QStringLiteral("ＭＳ 明朝"), 17));
        strip->setFontColor(Qt::white);
        strip->setShow(true);
    }
    auto views = [](TRichEditSx *pane) {
        return QList<QWidget *>{pane->horizontalView()->viewport(),
                                pane->verticalView()->viewport()};
    };
    m_drop1 = new TDropDst(this, views(m_right));
    m_drop1->setObjectName(QStringLiteral("DropDst1"));
    m_drop1->OnFileDrop = [this](const QStringList &files, const QPoint &) {
        DropDst1FileDrop(files);
    };
    m_drop2 = new TDropDst(this, views(m_left));
    m_drop2->setObjectName(QStringLiteral("DropDst2"));
    m_drop2->OnFileDrop = [this](const QStringList &files, const QPoint &) {
        DropDst2FileDrop(files);
    };
    connect(m_right, &TRichEditSx::textChanged, this, &TMainForm1::GetColRow);
    connect(m_right, &TRichEditSx::keyReleased, this, &TMainForm1::GetColRow);
    connect(m_right, &TRichEditSx::mousePressed, this, &TMainForm1::GetColRow);
    connect(m_right, &TRichEditSx::mouseReleased, this, &TMainForm1::GetColRow);
    // (And wherever else the caret goes: assistive technology moves it and edits too.)
    connect(m_right->caret(), &editor::PaneCaret::cursorPositionChanged, this,
            &TMainForm1::GetColRow);

    if (auto *clock = ClockLabel2())
        clock->setFont(programFont(QStringLiteral("Times New Roman"), 13));
}

void TMainForm1::registerHandlers()
{
    addHandlers({
        {"Grip1Click", [this] { GripClick(RightBar); }},
        {"Grip3Click", [this] { GripClick(LeftBar); }},
        {"Grip4Click", [this] { GripClick(ColorBar); }},
        {"Grip5Click", [this] { GripClick(HtmlBar); }},
        {"Grip6Click", [this] { GripClick(SpeechBar); }},
        HANDLER(Copy1Click),
        HANDLER(Cut1Click),
        HANDLER(Paste1Click),
        HANDLER(SelectAllClick),
        HANDLER(Undo1Click),
        HANDLER(Redo1Click),
        HANDLER(VHClick),
        HANDLER(HHVClick),
        HANDLER(WordWrapClick),
        HANDLER(WordWrapHClick),
        HANDLER(Font1Click),
        HANDLER(ShineSpeedButton4Click),
        HANDLER(N7Click),
        HANDLER(ShineSpeedButton8Click),
        HANDLER(NNButton7Click),
        {"N8Click", &TMainForm1::NNButton7Click},
        HANDLER(NNButton6Click),
        {"N9Click", &TMainForm1::NNButton6Click},
        HANDLER(ShineSpeedButton2Click),
        HANDLER(ShineSpeedButton28Click),
        HANDLER(ShineSpeedButton37Click),
        HANDLER(HtmButton11Click),
        HANDLER(idou2Click),
        HANDLER(ClockLabel2Click),
        HANDLER(New1Click),
        HANDLER(Open1Click),
        HANDLER(Save1Click),
        HANDLER(SaveAs1Click),
        HANDLER(LeftNew1Click),
        HANDLER(LeftOpen1Click),
        HANDLER(LeftSave1Click),
        HANDLER(LeftSaveAs1Click),
        HANDLER(ReopenEncoding1Click),
        HANDLER(LeftReopenEncoding1Click),
        HANDLER(Exit1Click),
        HANDLER(Print1Click),
        HANDLER(ExportPdf1Click),
        HANDLER(PrintHeader1Click),
        HANDLER(RubyShow1Click),
        HANDLER(MoraShow1Click),
        HANDLER(TateChuYoko1Click),
        HANDLER(TcyLength1Click),
        HANDLER(PoemForm1Click),
        HANDLER(LeftPoemForm1Click),
        HANDLER(Burasage1Click),
        HANDLER(Furigana1Click),
        HANDLER(HistoricalRuby1Click),
        HANDLER(LastFile1Click),
        HANDLER(About1Click),
        {"ShineSpeedButton25Click", &TMainForm1::About1Click},
        HANDLER(ShineSpeedButton23Click),
        HANDLER(ShineSpeedButton24Click),
    });
}

void TMainForm1::addHandlers(std::initializer_list<HandlerRow> rows)
{
    for (const HandlerRow &row : rows) {
        const QString name = QLatin1String(row.name);
        if (m_handlers.contains(name)) {
            qCWarning(lcHandlers, "handler %s registered twice", row.name);
            continue;
        }
        if (row.member)
            m_handlers.insert(name, [this, member = row.member] { (this->*member)(); });
        else
            m_handlers.insert(name, row.call);
    }
}

void TMainForm1::wireHtmlStyle()
{
    // The check boxes show the style state; a box set by the program runs its reaction
    // through the state, which then reports every box it changed.
    connect(&m_html, &html::HtmlStyleState::boxChanged, this, [this](int box, bool checked) {
        if (auto *b =
                qobject_cast<QAbstractButton *>(control(QStringLiteral("CheckBox%1").arg(box)))) {
            const QSignalBlocker block(b);
            b->setChecked(checked);
        }
    });
    connect(&m_html, &html::HtmlStyleState::fontCaptionChanged, this, [this](const QString &c) {
        if (auto *b = qobject_cast<QAbstractButton *>(control(QStringLiteral("HtmButton8"))))
            b->setText(c);
    });
    connect(&m_html, &html::HtmlStyleState::editTextsShown, this,
            [this](const QString &heading, const QString &title) {
                edit(QStringLiteral("Edit4"))->setText(heading);
                edit(QStringLiteral("Edit5"))->setText(title);
            });
    for (int box = 1; box <= html::kBoxCount; ++box) {
        if (auto *b =
                qobject_cast<QAbstractButton *>(control(QStringLiteral("CheckBox%1").arg(box)))) {
            const QSignalBlocker block(b);
            b->setChecked(m_html.checked(box));
        }
    }
    {
        const QSignalBlocker b4(edit(QStringLiteral("Edit4")));
        const QSignalBlocker b5(edit(QStringLiteral("Edit5")));
        edit(QStringLiteral("Edit4"))->setText(m_html.style().heading);
        edit(QStringLiteral("Edit5"))->setText(m_html.style().title);
    }
}

void TMainForm1::pickHtmlColor(html::ColorTarget target)
{
    // The dialog starts on the value when it is a "#RRGGBB" colour, else on the last one.
    const auto preset = m_html.colorPreset(target);
    static QColor last = Qt::white;
    const QColor initial =
        preset ? QColor(text::redOf(*preset), text::greenOf(*preset), text::blueOf(*preset)) : last;
    const auto chosen = m_ui.chooseColor(this, initial);
    if (!chosen)
        return;
    last = *chosen;
    m_html.setPickedColor(target, text::rgbColor(chosen->red(), chosen->green(), chosen->blue()));
}

bool TMainForm1::run(const QString &handler)
{
    const auto it = m_handlers.constFind(handler);
    if (it == m_handlers.cend()) {
        // Every name a table gives is registered (the tests hold the tables against the
        // registry), so this is a misspelt or forgotten name in the program itself.
        qCWarning(lcHandlers, "no handler named %s", qUtf8Printable(handler));
        return false;
    }
    (*it)();
    return true;
}

QLineEdit *TMainForm1::edit(const QString &name) const
{
    return qobject_cast<QLineEdit *>(m_controls.value(name));
}

widgets::ClockLabel *TMainForm1::ClockLabel2() const
{
    return qobject_cast<widgets::ClockLabel *>(m_controls.value(QStringLiteral("ClockLabel2")));
}

// --- start-up, show, resize, shut-down --------------------------------------------------

void TMainForm1::FormCreate()
{
    m_right->setBackgroundColor(RightBackground);
    m_right->setPaneFont(programFont(QStringLiteral("ＭＳ 明朝"), 18));
    m_right->setFontColor(RightInk);
    m_left->setBackgroundColor(LeftBackground);
    m_left->setPaneFont(programFont(QStringLiteral("ＭＳ 明朝"), 18));
    m_left->setFontColor(Qt::blue);

    m_right->setVertical(true);
    m_left->setVertical(true);
    m_left->hide();

    // Every setting, in the store's order (which also resets the bounds of a window that
    // was maximised at the last close), then the window's start-up from them.
    settings::loadSettings(RegManager1, *m_settings);
    runStartupSteps(*m_settings, *m_settings);
    applyTypesetting();
    applyLineNotes();

    m_right->clear();
    m_left->clear();
    m_right->setModified(false);
    m_left->setModified(false);
    SetIMEcolor();
    followRightColors();
    followLeftColors();
    if (tools::TMsgSCR *strip = MsgSCR1())
        strip->setInterval(0);
    m_left->hide();

    // Design state of the bars: the right-pane, left-pane and "Speech" bars shown; the
    // tabs of the right pane, "Color String", "HTML" and "Speech" shown. Clicking the
    // right-pane tab then leaves the tabs "Color String", "HTML" and "Speech".
    m_bars[ColorBar]->hide();
    m_bars[HtmlBar]->hide();
    m_tabs[LeftBar]->hide();
    TabClick(RightBar);

    auto check = [this](const char *name, bool on) {
        if (QAction *a = action(QLatin1String(name)))
            a->setChecked(on);
    };
    check("VH", m_right->Vertical());
    check("WordWrap", m_right->WordWrap());
    check("N14", m_right->WordWrap());
    check("HHV", m_left->Vertical());
    check("WordWrapH", m_left->WordWrap());
    m_rightPane->keepEditorFontColor();
    m_leftPane->keepEditorFontColor();
    GetColRow();
}

void TMainForm1::FormShow()
{
    m_leftWidth = leftWidthOnShow(m_values.fNx2Width, width());
    applyLeftPaneWidth();
    if (m_values.fMaxForm)
        setWindowState(windowState() | Qt::WindowMaximized);
    if (m_reading)
        m_reading->windowFirstShown();
    m_labelNx->clear();
}

void TMainForm1::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    if (!m_shownOnce) {
        m_shownOnce = true;
        FormShow();
    }
}

void TMainForm1::resizeEvent(QResizeEvent *e)
{
    QMainWindow::resizeEvent(e);
    if (!m_shownOnce)
        return;
    m_leftWidth = leftWidthOnResize(m_leftWidth, width());
    applyLeftPaneWidth();
}

void TMainForm1::setLeftPaneWidth(int width)
{
    m_leftWidth = width;
    applyLeftPaneWidth();
}

void TMainForm1::applyLeftPaneWidth()
{
    if (!m_left->isVisibleTo(this))
        return;
    const int total = m_splitter->width() - m_splitter->handleWidth();
    m_splitter->setSizes({m_leftWidth, qMax(0, total - m_leftWidth)});
}

void TMainForm1::changeEvent(QEvent *e)
{
    QMainWindow::changeEvent(e);
    if (e->type() != QEvent::WindowStateChange)
        return;
    const Qt::WindowStates old = static_cast<QWindowStateChangeEvent *>(e)->oldState();
    const Qt::WindowStates now = windowState();
    if (old.testFlag(Qt::WindowMinimized) && !now.testFlag(Qt::WindowMinimized)) {
        // Coming back from the task bar is the restore command, which always clears the
        // flag, even when the window comes back maximised.
        m_values.fMaxForm = false;
        return;
    }
    if (now.testFlag(Qt::WindowMinimized))
        return;
    if (now.testFlag(Qt::WindowMaximized) && !old.testFlag(Qt::WindowMaximized))
        m_values.fMaxForm = true;
    else if (!now.testFlag(Qt::WindowMaximized) && old.testFlag(Qt::WindowMaximized))
        m_values.fMaxForm = false;
}

bool TMainForm1::event(QEvent *e)
{
    if (e->type() == QEvent::StatusTip) {
        // Hints of every control and menu item go to status panel 4; with none, the caret
        // line's count of sounds.
        const QString tip = static_cast<QStatusTipEvent *>(e)->tip();
        m_status->setPanelText(4, tip);
        if (tip.isEmpty())
            showCaretMeter();
        return true;
    }
    return QMainWindow::event(e);
}

bool TMainForm1::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == m_tabBar && e->type() == QEvent::Resize)
        m_labelNx->setFixedWidth(qMax(0, m_tabBar->width() - 352));
    return QMainWindow::eventFilter(watched, e);
}

void TMainForm1::Exit1Click()
{
    if (m_right->isModified() || m_left->isModified()) {
        const auto answer = m_ui.message(
            this, MessageKind::Confirmation,
            QStringLiteral("ファイルが保存されていません。保存しますか。"), MessageButtons::YesNo);
        if (answer == MessageAnswer::Yes) {
            if (m_right->isModified())
                Save1Click();
            else
                LeftSave1Click();
        }
    }
    close();
}

bool TMainForm1::FormCloseQuery()
{
    if (m_right->isModified() || m_left->isModified()) {
        const auto answer = m_ui.message(this, MessageKind::Information,
                                         QStringLiteral("現在の内容を廃棄します。よろしいですか"),
                                         MessageButtons::YesNoDefaultNo);
        if (answer != MessageAnswer::Yes)
            return false;
    }
    finishRecovery();
    // No document text may reach the settings file.
    m_right->clear();
    m_left->clear();
    settings::saveSettings(RegManager1, *m_settings);
    return true;
}

void TMainForm1::closeEvent(QCloseEvent *e)
{
    if (m_closing || FormCloseQuery()) {
        m_closing = true;
        if (QAction *hotKey = action(QStringLiteral("HotKeyCheck")); hotKey && hotKey->isChecked())
            m_hookHotKey->RemoveHotKey(1);
        e->accept();
    } else {
        e->ignore();
    }
}

// --- tool bars --------------------------------------------------------------------------

void TMainForm1::GripClick(Bar b)
{
    m_bars[b]->hide();
    m_tabBar->show();
    m_tabs[b]->show();
    ToolbarYokoCheck();
    if (b == LeftBar && m_bars[RightBar]->isVisibleTo(this))
        TabClick(RightBar);
}

void TMainForm1::TabClick(Bar b)
{
    m_tabs[b]->hide();
    m_bars[b]->show();
    ToolbarTateCheck();
}

void TMainForm1::ToolbarTateCheck()
{
    // The bars sit in one column in their fixed order; hidden bars take no room, so the
    // visible ones stay packed from the top with the tab bar below them.
    centralWidget()->layout()->activate();
}

void TMainForm1::ToolbarYokoCheck()
{
    // The tabs sit in one row in their fixed order, packed from the left.
    m_tabBar->layout()->activate();
}

// --- editing commands -------------------------------------------------------------------

QWidget *TMainForm1::focusedEditor(bool panesOnly) const
{
    if (!QApplication::activeWindow())
        return nullptr;
    QWidget *f = QApplication::focusWidget();
    if (!f)
        return nullptr;
    for (TRichEditSx *pane : {m_right, m_left}) {
        if (pane == f || pane->isAncestorOf(f))
            return pane;
    }
    if (panesOnly)
        return nullptr;
    for (const char *name : {"Edit2", "Edit3", "Edit4", "Edit5"}) {
        if (QLineEdit *e = edit(QLatin1String(name)); e && e == f)
            return e;
    }
    return nullptr;
}

QLineEdit *TMainForm1::gridCellEditor() const
{
    // The count grid's cell editor takes the clipboard commands whatever has the focus.
    if (m_form2)
        return m_form2->StrSortGrid1()->cellEditor();
    return nullptr;
}

void TMainForm1::Copy1Click()
{
    if (QLineEdit *cell = gridCellEditor())
        cell->copy();
    QWidget *w = focusedEditor(false);
    if (auto *pane = qobject_cast<TRichEditSx *>(w))
        pane->copy();
    else if (auto *e = qobject_cast<QLineEdit *>(w))
        e->copy();
}

void TMainForm1::Cut1Click()
{
    if (QLineEdit *cell = gridCellEditor())
        cell->cut();
    QWidget *w = focusedEditor(false);
    if (auto *pane = qobject_cast<TRichEditSx *>(w))
        pane->cut();
    else if (auto *e = qobject_cast<QLineEdit *>(w))
        e->cut();
}

void TMainForm1::Paste1Click()
{
    if (QLineEdit *cell = gridCellEditor())
        cell->paste();
    QWidget *w = focusedEditor(false);
    if (auto *pane = qobject_cast<TRichEditSx *>(w))
        pane->paste();
    else if (auto *e = qobject_cast<QLineEdit *>(w))
        e->paste();
}

void TMainForm1::SelectAllClick()
{
    if (auto *pane = qobject_cast<TRichEditSx *>(focusedEditor(true)))
        pane->selectAll();
}

void TMainForm1::Undo1Click()
{
    if (QLineEdit *cell = gridCellEditor())
        cell->undo();
    QWidget *w = focusedEditor(false);
    if (auto *pane = qobject_cast<TRichEditSx *>(w))
        pane->undo();
    else if (auto *e = qobject_cast<QLineEdit *>(w))
        e->undo();
}

void TMainForm1::Redo1Click()
{
    if (auto *pane = qobject_cast<TRichEditSx *>(focusedEditor(true)))
        pane->redo();
}

void TMainForm1::VHClick()
{
    const bool vertical = !m_right->Vertical();
    m_right->setVertical(vertical);
    action(QStringLiteral("VH"))->setChecked(vertical);
    SetIMEcolor();
    m_right->setFocus();
}

void TMainForm1::HHVClick()
{
    const bool vertical = !m_left->Vertical();
    m_left->setVertical(vertical);
    action(QStringLiteral("HHV"))->setChecked(vertical);
    SetIMEcolor();
    m_left->setFocus();
}

void TMainForm1::WordWrapClick()
{
    m_right->setWordWrap(!m_right->WordWrap());
    action(QStringLiteral("WordWrap"))->setChecked(m_right->WordWrap());
    action(QStringLiteral("N14"))->setChecked(m_right->WordWrap());
}

void TMainForm1::WordWrapHClick()
{
    m_left->setWordWrap(!m_left->WordWrap());
    action(QStringLiteral("WordWrapH"))->setChecked(m_left->WordWrap());
}

void TMainForm1::SetIMEcolor()
{
    m_right->setImeColors(windowImeColors());
    m_left->setImeColors(windowImeColors());
}

void TMainForm1::paneLookChanged(Pane &pane)
{
    if (&pane == m_rightPane)
        followRightColors();
    else
        followLeftColors();
    update();
}

void TMainForm1::followRightColors()
{
    if (auto *clock = ClockLabel2())
        clock->setColors(m_right->fontColor(), m_right->backgroundColor());
}

void TMainForm1::followLeftColors()
{
    // The scroll strip shows its text in the left pane's colours.
    if (tools::TMsgSCR *strip = MsgSCR1()) {
        strip->setColor(m_left->backgroundColor());
        strip->setFontColor(m_left->fontColor());
    }
}

void TMainForm1::Font1Click()
{
    m_rightPane->chooseFont();
}

void TMainForm1::ShineSpeedButton4Click()
{
    m_leftPane->chooseFont();
}

void TMainForm1::N7Click()
{
    m_rightPane->chooseBackground();
}

void TMainForm1::ShineSpeedButton8Click()
{
    m_leftPane->chooseBackground();
}

void TMainForm1::NNButton7Click()
{
    m_rightPane->chooseInk();
}

void TMainForm1::NNButton6Click()
{
    m_leftPane->chooseInk();
}

void TMainForm1::ShineSpeedButton2Click()
{
    if (m_left->isVisibleTo(this)) {
        m_left->hide();
    } else {
        m_left->show();
        applyLeftPaneWidth();
    }
}

void TMainForm1::ShineSpeedButton28Click()
{
    ScrollFontColor = m_left->fontColor();
    ScrollFontName = m_left->paneFont().family();
    m_left->setPaneFont(m_right->paneFont());
    m_left->setFontColor(m_right->fontColor());
    followLeftColors();
    update();
}

void TMainForm1::ShineSpeedButton37Click()
{
    // Before any "Font synchronize" there is nothing to go back to; taking the empty
    // remembered name would leave the pane without a font name.
    if (ScrollFontName.isEmpty())
        return;
    m_left->setFontColor(ScrollFontColor);
    QFont f = m_left->paneFont();
    f.setFamily(ScrollFontName);
    m_left->setPaneFont(f);
    followLeftColors();
}

void TMainForm1::HtmButton11Click()
{
    m_left->setUpdatesEnabled(false);
    ShineSpeedButton28Click();
    m_left->clear();
    m_left->setText(m_right->text());
    ShineSpeedButton37Click();
    m_left->setUpdatesEnabled(true);
}

void TMainForm1::idou2Click()
{
    m_left->setUpdatesEnabled(false);
    ShineSpeedButton28Click();
    m_right->clear();
    m_right->setText(m_left->text());
    ShineSpeedButton37Click();
    m_left->setUpdatesEnabled(true);
}

void TMainForm1::GetColRow()
{
    CaretLine = m_right->SelY();
    CaretColumn = m_right->selStart() - m_right->SelLineIndex();
    m_status->setPanelText(3, caretStatusText(CaretLine, CaretColumn));
    showCaretMeter();
}

void TMainForm1::ClockLabel2Click()
{
    if (auto *clock = ClockLabel2())
        clock->setInterval(clock->interval() == 0 ? 300 : 0);
}

// --- printing, about, launcher ---------------------------------------------------------

QString TMainForm1::proposedPdfName() const
{
    // The document's own folder and name, or a new text's in the folder dialogs start in.
    const QString file = m_rightPane->file();
    const QFileInfo info(
        file.isEmpty() ? QDir(dialogFolder(QString())).filePath(QStringLiteral("新規")) : file);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".pdf"));
}

PrintOptions TMainForm1::printOptions() const
{
    PrintOptions options;
    if (QAction *header = action(QStringLiteral("PrintHeader1")); header && header->isChecked())
        options.header = QFileInfo(m_rightPane->file()).fileName();
    return options;
}

void TMainForm1::Print1Click()
{
    QPrinter printer(QPrinter::HighResolution);
    // The dialog proposes the PDF file given as the output file, in full (a path as the
    // document's name it would put after the home folder); the printer itself stays the
    // system's. The document's name is the file's, the PDF's title.
    printer.setDocName(m_rightPane->file().isEmpty() ? QStringLiteral("新規")
                                                     : QFileInfo(m_rightPane->file()).fileName());
    printer.setOutputFileName(proposedPdfName());
    printer.setOutputFormat(QPrinter::NativeFormat);
    printer.setCreator(QStringLiteral("Kotonami"));
    applyDefaultMargins(&printer);
    if (!m_ui.choosePrinter(this, &printer))
        return;
    printPane(m_right, &printer, printOptions());
}

void TMainForm1::ExportPdf1Click()
{
    const auto name = m_ui.saveFileName(
        this, {QStringLiteral("PDFに書き出す"), QStringLiteral("PDF(*.pdf)|*.pdf"),
               QFileInfo(proposedPdfName()).absolutePath(), QFileInfo(proposedPdfName()).fileName(),
               QStringLiteral("pdf")});
    if (!name)
        return;
    // Printed into a temporary file, then written in place of the old one the safe way.
    QTemporaryDir scratch;
    const QString printed = scratch.filePath(QStringLiteral("print.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printed);
    printer.setDocName(m_rightPane->file().isEmpty() ? QStringLiteral("新規")
                                                     : QFileInfo(m_rightPane->file()).fileName());
    printer.setCreator(QStringLiteral("Kotonami"));
    applyDefaultMargins(&printer);
    text::FileError problem;
    std::optional<QByteArray> bytes;
    if (scratch.isValid() && printPane(m_right, &printer, printOptions()) > 0)
        bytes = text::readFileBytes(printed, &problem);
    if (!bytes || !text::writeFileSafely(*name, *bytes, &problem)) {
        m_ui.message(this, MessageKind::Error,
                     QStringLiteral("%1 に書き出せません。\n%2")
                         .arg(QDir::toNativeSeparators(*name),
                              problem.message.isEmpty() ? QStringLiteral("印刷できませんでした。")
                                                        : problem.message),
                     MessageButtons::Ok);
        return;
    }
    m_status->setPanelText(
        4, QStringLiteral("%1 に書き出しました。").arg(QDir::toNativeSeparators(*name)));
}

void TMainForm1::PrintHeader1Click()
{
    if (QAction *header = action(QStringLiteral("PrintHeader1")))
        header->setChecked(!header->isChecked());
}

void TMainForm1::About1Click()
{
    if (!m_about)
        m_about = new TAboutBox(*this);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void TMainForm1::startLauncher(int slot)
{
    // Failures (an empty slot, a missing program) are silent; the program is not tracked.
    const QString program = m_values.launcherPaths.value(slot);
    if (!program.isEmpty())
        m_ui.startProcess(program, {}, QString());
}

void TMainForm1::setLauncherPath(int slot, const QString &path)
{
    m_values.launcherPaths.insert(slot, path);
}

void TMainForm1::updateLauncherHints(const QFont &measureIn)
{
    const QFontMetrics fm(measureIn);
    const int width = qMax(50, m_status->panel(4)->width());
    for (int slot : {1, 2}) {
        const QString path = m_values.launcherPaths.value(slot);
        QWidget *b = control(slot == 1 ? QStringLiteral("ShineSpeedButton23")
                                       : QStringLiteral("ShineSpeedButton24"));
        if (!b || path.isEmpty())
            continue;
        const QString hint =
            shortenPath(QDir::toNativeSeparators(path), width,
                        [&fm](const QString &t) { return fm.horizontalAdvance(t); });
        b->setToolTip(hint);
        b->setStatusTip(hint);
    }
}

} // namespace shell
