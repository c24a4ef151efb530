// The window around its panes' documents: the commands of both panes (each a call on its
// Pane), the last file, drops, the recent files, the title and the status panels that follow
// the panes, and the timing of the recovery copies of unsaved work.
#include "editor/RichEditSx.h"
#include "shell/Pane.h"
#include "shell/UiServices.h"
#include "shell/Unit3.h"
#include "shell/Utamain.h"
#include "shell/WindowRules.h"
#include "text/RecoveryStore.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QStandardPaths>

namespace shell {

namespace {

// Copies are written this long after the last keystroke, and at least this often while
// typing goes on.
constexpr int RecoveryIdleMs = 3000;
constexpr int RecoveryPeriodMs = 30000;

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

void TMainForm1::showFileError(const QString &message)
{
    m_ui.message(this, MessageKind::Error, message, MessageButtons::Ok);
}

// --- the panes' files -------------------------------------------------------------------

void TMainForm1::setUpDocuments()
{
    m_recovery = std::make_unique<text::RecoveryStore>();
    m_rightPane = new Pane(Pane::Side::Right, m_right, this, m_ui, *this, *m_recovery);
    m_leftPane = new Pane(Pane::Side::Left, m_left, this, m_ui, *this, *m_recovery);
    for (Pane *pane : {m_rightPane, m_leftPane})
        connect(pane, &Pane::edited, this, &TMainForm1::scheduleRecoveryCopies);
    m_recoveryIdle.setSingleShot(true);
    m_recoveryIdle.setInterval(RecoveryIdleMs);
    m_recoveryPeriod.setSingleShot(true);
    m_recoveryPeriod.setInterval(RecoveryPeriodMs);
    connect(&m_recoveryIdle, &QTimer::timeout, this, &TMainForm1::writeRecoveryCopies);
    connect(&m_recoveryPeriod, &QTimer::timeout, this, &TMainForm1::writeRecoveryCopies);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        for (Pane *pane : {m_rightPane, m_leftPane}) {
            if (now && pane->editor()->isAncestorOf(now) && m_formatPane != pane) {
                m_formatPane = pane;
                showFileFormat();
            }
        }
    });
    m_formatPane = m_rightPane;
    showFileFormat();

    connect(m_right, &TRichEditSx::modificationChanged, this, &QWidget::setWindowModified);
}

void TMainForm1::setUpRecentFiles()
{
    // Beside the settings file, so that each settings folder has its own list.
    m_recent = std::make_unique<text::RecentFiles>(
        QFileInfo(RegManager1.IniFileName()).absolutePath() + QStringLiteral("/recent-files"));
    m_recent->load();
    m_recentMenu = new QMenu(QStringLiteral("最近使ったファイル(&R)"), this);
    m_recentMenu->setObjectName(QStringLiteral("RecentFiles1"));
    if (QAction *last = action(QStringLiteral("LastFile1")))
        if (auto *fileMenu = qobject_cast<QMenu *>(last->parent()))
            fileMenu->insertMenu(last, m_recentMenu);
    fillRecentMenu();
}

void TMainForm1::showFileFormat()
{
    const text::DocumentFormat &f = m_formatPane->editor()->fileFormat();
    QString shown =
        text::encodingDisplayName(f.encoding) + QStringLiteral("  ") + text::lineEndName(f.lineEnd);
    QString hint = QStringLiteral("文字コードと改行コード");
    if (f.mixedLineEnds) {
        shown += QStringLiteral(" (混在)");
        hint = QStringLiteral("改行コードが混在しています。変更して保存すると %1 にそろえます。")
                   .arg(text::lineEndName(f.lineEnd));
    }
    m_status->setPanelText(5, shown);
    m_status->panel(5)->setToolTip(hint);
}

// --- what the panes tell the window -------------------------------------------------------

void TMainForm1::paneFileChanged(Pane &pane, FileEvent event)
{
    const QString file = pane.file();
    if (&pane == m_rightPane) {
        showDocumentTitle(file.isEmpty() ? QStringLiteral("新規") : file);
        if (event == FileEvent::Opened || event == FileEvent::SavedAs)
            noteRecentFile(file);
        return;
    }
    if (file.isEmpty())
        m_status->setPanelText(0, QStringLiteral("NEW"));
    else
        showLeftFileName(pane.shownName());
    if (event == FileEvent::Opened || event == FileEvent::SavedAs)
        m_lastFolder = pane.saveFolder();
}

void TMainForm1::paneFormatChanged(Pane &pane)
{
    m_formatPane = &pane;
    showFileFormat();
}

void TMainForm1::paneHint(const QString &text)
{
    m_status->setPanelText(4, text);
}

void TMainForm1::paneCaretMoved(Pane &pane)
{
    if (&pane == m_rightPane)
        GetColRow();
}

// --- recovery copies ----------------------------------------------------------------------

void TMainForm1::scheduleRecoveryCopies()
{
    if (m_recoveryOff)
        return;
    m_recoveryIdle.start();
    if (!m_recoveryPeriod.isActive())
        m_recoveryPeriod.start();
}

void TMainForm1::writeRecoveryCopies()
{
    m_recoveryIdle.stop();
    m_recoveryPeriod.stop();
    for (Pane *pane : {m_rightPane, m_leftPane})
        pane->writeRecoveryCopy();
}

void TMainForm1::offerRecovery()
{
    // Every copy is offered in turn, and removed only once its text is safe: in its pane,
    // or, when the pane already holds a copy restored before (two editors killed on the
    // same file), written beside its file as NAME.recovered.txt; never over unsaved text.
    for (const text::RecoveredPane &copy : m_recovery->orphans()) {
        Pane *pane = copy.pane == m_leftPane->recoveryName() ? m_leftPane : m_rightPane;
        const QString file =
            copy.filePath.isEmpty() ? QStringLiteral("新規（名前なし）") : native(copy.filePath);
        QString question =
            QStringLiteral("前回、保存されないまま終了した文章があります。\n\n%1: %2\n%3 の時点の"
                           "内容です。\n\n復元しますか。「いいえ」を選ぶと、この控えは削除され"
                           "ます。")
                .arg(pane == m_rightPane ? QStringLiteral("右ペイン") : QStringLiteral("左ペイン"),
                     file, QLocale::system().toString(copy.savedAt, QLocale::ShortFormat));
        if (copy.damaged)
            question +=
                QStringLiteral("\n\nこの控えは途中で切れています。読めた部分だけを復元します。");
        if (m_ui.message(this, MessageKind::Confirmation, question, MessageButtons::YesNo) !=
            MessageAnswer::Yes) {
            m_recovery->discard(copy);
            continue;
        }
        if (!pane->editor()->isModified()) {
            pane->restore(copy);
            m_recovery->discard(copy);
            continue;
        }
        const QString beside = recoveredFileName(copy.filePath);
        const text::EncodedDocument encoded = text::encodeDocument(copy.text, copy.format);
        text::FileError problem;
        const bool whole = encoded.unencodable.isEmpty();
        const QByteArray bytes =
            whole ? encoded.bytes : text::encodeDocument(copy.text, text::FileEncoding::Utf8).bytes;
        if (!text::writeFileSafely(beside, bytes, &problem)) {
            m_ui.message(this, MessageKind::Error,
                         QStringLiteral("復元した文章を %1 に書けません。\n%2\n控えは %3 に"
                                        "残してあります。")
                             .arg(native(beside), problem.message, native(copy.copyPath)),
                         MessageButtons::Ok);
            continue;
        }
        m_recovery->discard(copy);
        m_ui.message(this, MessageKind::Information,
                     QStringLiteral("ペインにはすでに復元した文章があるため、この控えは %1 に"
                                    "保存しました。")
                         .arg(native(beside)),
                     MessageButtons::Ok);
    }
}

QString TMainForm1::recoveredFileName(const QString &filePath) const
{
    // Beside the file (or in the home folder for a new text), never over another file.
    const QFileInfo info(filePath.isEmpty() ? QDir::home().filePath(QStringLiteral("新規"))
                                            : filePath);
    const QString stem =
        info.dir().filePath(info.completeBaseName() + QStringLiteral(".recovered"));
    QString name = stem + QStringLiteral(".txt");
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = stem + QStringLiteral("-%1.txt").arg(n);
    return name;
}

void TMainForm1::setRecoveryDelays(int afterLastChangeMs, int atLeastEveryMs)
{
    m_recoveryIdle.setInterval(afterLastChangeMs);
    m_recoveryPeriod.setInterval(atLeastEveryMs);
}

void TMainForm1::finishRecovery()
{
    m_recoveryOff = true;
    m_recoveryIdle.stop();
    m_recoveryPeriod.stop();
    m_recovery->finish();
}

// --- the commands -------------------------------------------------------------------------

void TMainForm1::openInRightPane(const QString &path, bool atStart)
{
    if (path.isEmpty() || !m_rightPane->openablePath(path))
        return;
    if (atStart) {
        m_splash = new TForm3(this);
        m_splash->placeOver(frameGeometry());
        m_splash->show();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    const bool opened = m_rightPane->openFile(path);
    if (m_splash && atStart)
        opened ? m_splash->startTimer300() : m_splash->timer().start();
}

void TMainForm1::openStartupArgument(const QStringList &arguments)
{
    if (!arguments.isEmpty())
        openInRightPane(arguments.constFirst(), true);
}

void TMainForm1::LastFile1Click()
{
    if (!m_values.fLastfile.isEmpty() && QFileInfo(m_values.fLastfile).isFile())
        openInRightPane(m_values.fLastfile);
}

void TMainForm1::DropDst1FileDrop(const QStringList &files)
{
    if (!files.isEmpty())
        openInRightPane(files.constFirst());
}

void TMainForm1::DropDst2FileDrop(const QStringList &files)
{
    if (!files.isEmpty())
        m_leftPane->openFile(files.constFirst());
}

void TMainForm1::showLeftFileName(const QString &path)
{
    const QFontMetrics fm(font());
    m_status->setPanelText(
        0, shortenPath(native(path), m_status->panel(0)->width() - 8,
                       [&fm](const QString &t) { return fm.horizontalAdvance(t); }));
}

void TMainForm1::New1Click()
{
    m_rightPane->newFile();
}

void TMainForm1::Open1Click()
{
    m_rightPane->open();
}

void TMainForm1::Save1Click()
{
    m_rightPane->save();
}

void TMainForm1::SaveAs1Click()
{
    m_rightPane->saveAs();
}

void TMainForm1::ReopenEncoding1Click()
{
    m_rightPane->reopenWithEncoding();
}

void TMainForm1::LeftNew1Click()
{
    m_leftPane->newFile();
}

void TMainForm1::LeftOpen1Click()
{
    m_leftPane->open();
}

void TMainForm1::LeftSave1Click()
{
    m_leftPane->save();
}

void TMainForm1::LeftSaveAs1Click()
{
    m_leftPane->saveAs();
}

void TMainForm1::LeftReopenEncoding1Click()
{
    m_leftPane->reopenWithEncoding();
}

// --- recent files, dialog folders, the title ----------------------------------------------

void TMainForm1::showDocumentTitle(const QString &title)
{
    // "[*]" is where the window shows its unsaved mark; a literal one is written twice.
    QString escaped = title;
    escaped.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(escaped + QStringLiteral("[*]"));
    setWindowModified(m_right->isModified());
}

QString TMainForm1::dialogFolder(const QString &paneFolder) const
{
    for (const QString &folder : {paneFolder, m_lastFolder,
                                  m_recent && !m_recent->entries().isEmpty()
                                      ? QFileInfo(m_recent->entries().constFirst()).absolutePath()
                                      : QString()}) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return folder;
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void TMainForm1::noteRecentFile(const QString &path)
{
    m_lastFolder = QFileInfo(path).absolutePath();
    if (m_recent->add(path))
        fillRecentMenu();
}

void TMainForm1::fillRecentMenu()
{
    m_recentMenu->clear();
    const QStringList &files = m_recent->entries();
    for (int i = 0; i < files.size(); ++i) {
        QString shown = native(files[i]);
        shown.replace(u'&', QStringLiteral("&&"));
        QAction *item = m_recentMenu->addAction(
            (i < 9 ? QStringLiteral("&%1 ").arg(i + 1) : QStringLiteral("1&0 ")) + shown);
        item->setStatusTip(native(files[i]));
        const QString path = files[i];
        connect(item, &QAction::triggered, this, [this, path] { openRecentFile(path); });
    }
    if (files.isEmpty())
        m_recentMenu->addAction(QStringLiteral("（なし）"))->setEnabled(false);
    m_recentMenu->addSeparator();
    QAction *clear = m_recentMenu->addAction(QStringLiteral("履歴を消去(&C)"));
    clear->setEnabled(!files.isEmpty());
    connect(clear, &QAction::triggered, this, [this] {
        if (m_recent->clear())
            fillRecentMenu();
    });
}

void TMainForm1::openRecentFile(const QString &path)
{
    if (!QFileInfo(path).isFile()) {
        m_recent->remove(path);
        fillRecentMenu();
        m_ui.message(
            this, MessageKind::Information,
            QStringLiteral("%1 が見つかりません。\n最近使ったファイルの一覧から外しました。")
                .arg(native(path)),
            MessageButtons::Ok);
        return;
    }
    openInRightPane(path);
}

} // namespace shell
