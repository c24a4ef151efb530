// The window's documents: New, Open, Save and Save As of both panes, the last file, drops,
// reopening in another encoding, files changed by other programs, and the recovery copies
// of unsaved work.
#include "shell/RichEditSx.h"
#include "shell/UiServices.h"
#include "shell/Unit3.h"
#include "shell/Utamain.h"
#include "shell/WindowRules.h"
#include "text/DocumentFile.h"
#include "text/FileWatch.h"
#include "text/RecoveryStore.h"
#include "text/ShellLink.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QStandardPaths>

namespace shell {

namespace {

const QString DiscardQuestion = QStringLiteral("現在の内容を廃棄します。よろしいですか。");
const QString OpenFilter = QStringLiteral("Text(*.txt)|*.txt|HTML|*.HTML;*.HTM");
const QString SaveFilter = QStringLiteral("Text(*.txt)|*.txt|All(*.*)|*.*");

// Copies are written this long after the last keystroke, and at least this often while
// typing goes on.
constexpr int RecoveryIdleMs = 3000;
constexpr int RecoveryPeriodMs = 30000;

QStringList encodingNames()
{
    QStringList names;
    for (text::FileEncoding e : text::kAllEncodings)
        names << text::encodingDisplayName(e);
    return names;
}

int encodingIndex(text::FileEncoding e)
{
    int i = 0;
    for (text::FileEncoding each : text::kAllEncodings) {
        if (each == e)
            return i;
        ++i;
    }
    return 0;
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

void TMainForm1::showFileError(const QString &message)
{
    m_ui.message(this, MessageKind::Error, message, MessageButtons::Ok);
}

void TMainForm1::setPaneFontColor(TRichEditSx *pane, const QColor &color)
{
    if (color.isValid())
        pane->setFontColor(color);
}

// --- the panes' files -------------------------------------------------------------------

void TMainForm1::setUpDocuments()
{
    m_watch1 = new text::FileWatch(this);
    m_watch2 = new text::FileWatch(this);
    for (TRichEditSx *pane : {m_right, m_left}) {
        text::FileWatch *watch = watchOf(pane);
        connect(watch, &text::FileWatch::changedOnDisk, this,
                [this, pane](const QString &path) { fileChangedOnDisk(pane, path); });
        connect(watch, &text::FileWatch::removedFromDisk, this, [this](const QString &path) {
            m_status->setPanelText(
                4, QStringLiteral("%1 は削除されたか、名前が変わりました。").arg(native(path)));
        });
        connect(pane, &TRichEditSx::textChanged, this, [this, pane] { paneEdited(pane); });
    }
    m_recovery = std::make_unique<text::RecoveryStore>();
    m_recoveryIdle.setSingleShot(true);
    m_recoveryIdle.setInterval(RecoveryIdleMs);
    m_recoveryPeriod.setSingleShot(true);
    m_recoveryPeriod.setInterval(RecoveryPeriodMs);
    connect(&m_recoveryIdle, &QTimer::timeout, this, &TMainForm1::writeRecoveryCopies);
    connect(&m_recoveryPeriod, &QTimer::timeout, this, &TMainForm1::writeRecoveryCopies);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        for (TRichEditSx *pane : {m_right, m_left}) {
            if (now && pane->isAncestorOf(now) && m_formatPane != pane) {
                m_formatPane = pane;
                showFileFormat();
            }
        }
    });
    m_formatPane = m_right;
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

text::FileWatch *TMainForm1::watchOf(TRichEditSx *pane) const
{
    return pane == m_right ? m_watch1 : m_watch2;
}

QString TMainForm1::recoveryName(TRichEditSx *pane) const
{
    return pane == m_right ? QStringLiteral("right") : QStringLiteral("left");
}

QString TMainForm1::fileOf(TRichEditSx *pane) const
{
    return pane == m_right ? CurrentFile : LeftFile;
}

void TMainForm1::showFileFormat()
{
    const text::DocumentFormat &f = m_formatPane->fileFormat();
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

bool TMainForm1::loadInto(TRichEditSx *pane, const QString &path, const QColor &color,
                          std::optional<text::FileEncoding> encoding)
{
    // The file is read before the pane is touched: a file that cannot be read leaves
    // the pane's text as it was instead of an empty pane.
    text::FileError problem;
    const std::optional<QByteArray> bytes = text::readFileBytes(path, &problem);
    if (!bytes) {
        showFileError(QStringLiteral("%1 を開けません。\n%2").arg(native(path), problem.message));
        return false;
    }
    if (!encoding && text::looksBinary(*bytes)) {
        const QString question =
            QStringLiteral("%1 はテキストファイルではないようです（NUL 文字や、画像・圧縮ファイル"
                           "などの形式を含みます）。\n\n開きますか。開いても、変更せずに保存すれば"
                           "元のバイトのまま書き戻します。")
                .arg(native(path));
        if (m_ui.message(this, MessageKind::Warning, question, MessageButtons::YesNo) !=
            MessageAnswer::Yes)
            return false;
    }
    const text::LoadedDocument doc = text::decodeDocument(*bytes, encoding);
    pane->setUpdatesEnabled(false);
    setPaneFontColor(pane, color);
    pane->clear();
    pane->setText(doc.text);
    pane->setFileFormat(doc.format);
    pane->setModified(false);
    pane->setUpdatesEnabled(true);
    watchOf(pane)->watch(path);
    forgetRecoveryCopy(pane);
    m_formatPane = pane;
    showFileFormat();
    if (doc.format.mixedLineEnds)
        m_status->setPanelText(4, QStringLiteral("改行コードが混在しています。変更して保存すると "
                                                 "%1 にそろえます。")
                                      .arg(text::lineEndName(doc.format.lineEnd)));
    return true;
}

bool TMainForm1::saveFrom(TRichEditSx *pane, const QString &path,
                          std::optional<text::FileEncoding> encoding)
{
    text::DocumentFormat format = pane->fileFormat();
    if (encoding && *encoding != format.encoding) {
        format.encoding = *encoding;
        format.binary = false;
    }
    const QString plain = pane->text();
    text::EncodedDocument encoded = text::encodeDocument(plain, format);
    if (!encoded.unencodable.isEmpty() || encoded.opensAsOtherText) {
        const QString name = text::encodingDisplayName(format.encoding);
        const QString problem =
            !encoded.unencodable.isEmpty()
                ? QStringLiteral("次の文字は %1 で保存できません。\n%2")
                      .arg(name, text::describeCharacters(encoded.unencodable))
                : QStringLiteral("%1 で保存すると、開き直したときに別の文字として読まれます。")
                      .arg(name);
        const QString question =
            problem + QStringLiteral("\n\nUTF-8 で保存しますか。「いいえ」で保存を取り消します。");
        if (m_ui.message(this, MessageKind::Warning, question, MessageButtons::YesNo) !=
            MessageAnswer::Yes)
            return false;
        format.encoding = text::FileEncoding::Utf8;
        encoded = text::encodeDocument(plain, format);
    }
    text::FileWatch *watch = watchOf(pane);
    if (QFileInfo(path).absoluteFilePath() == watch->path() && watch->changedSinceAcknowledged() &&
        text::fileKind(path) != text::FileKind::Missing) {
        const QString question =
            QStringLiteral("%1 は、読み込んだ後に他のプログラムで変更されています。\n"
                           "上書きすると、その変更は失われます。上書きしますか。")
                .arg(native(path));
        if (m_ui.message(this, MessageKind::Warning, question, MessageButtons::YesNoDefaultNo) !=
            MessageAnswer::Yes)
            return false;
    }
    text::FileError problem;
    if (!text::writeFileSafely(path, encoded.bytes, &problem)) {
        showFileError(
            QStringLiteral("%1 に保存できません。\n%2").arg(native(path), problem.message));
        return false;
    }
    if (!encoded.exactLineEnds) {
        // Every line now ends the same way.
        format.mixedLineEnds = false;
        format.exactEnds.clear();
    }
    pane->setFileFormat(format);
    pane->setModified(false);
    watch->watch(path);
    forgetRecoveryCopy(pane);
    m_formatPane = pane;
    showFileFormat();
    return true;
}

void TMainForm1::fileChangedOnDisk(TRichEditSx *pane, const QString &path)
{
    if (m_askingAboutDisk)
        return;
    const QColor color = pane == m_right ? RightFontColor : LeftFontColor;
    if (!pane->isModified()) {
        // Nothing of the user's is lost: the pane shows the file as it is now.
        if (loadInto(pane, path, color))
            m_status->setPanelText(
                4, QStringLiteral("%1 が他のプログラムで変更されたため、読み直しました。")
                       .arg(native(path)));
        return;
    }
    m_askingAboutDisk = true;
    const QString question =
        QStringLiteral("%1 が他のプログラムで変更されました。\n読み直しますか。\n\n"
                       "「いいえ」を選ぶと、この画面の内容をそのまま残します"
                       "（上書き保存の前にもう一度確認します）。")
            .arg(native(path));
    const bool reload = m_ui.message(this, MessageKind::Confirmation, question,
                                     MessageButtons::YesNo) == MessageAnswer::Yes;
    m_askingAboutDisk = false;
    if (reload)
        loadInto(pane, path, color);
}

void TMainForm1::reopenWithEncoding(TRichEditSx *pane)
{
    const QString path = fileOf(pane);
    if (path.isEmpty()) {
        m_ui.message(this, MessageKind::Information,
                     QStringLiteral("開き直すファイルがありません。"), MessageButtons::Ok);
        return;
    }
    const QStringList names = encodingNames();
    const auto choice =
        m_ui.chooseItem(this, QStringLiteral("文字コードを指定して開き直す"),
                        QStringLiteral("文字コード:"), names, encodingIndex(pane->fileEncoding()));
    if (!choice || *choice < 0 || *choice >= names.size())
        return;
    if (pane->isModified() &&
        m_ui.message(this, MessageKind::Confirmation,
                     QStringLiteral("変更した内容は失われます。開き直しますか。"),
                     MessageButtons::YesNoDefaultNo) != MessageAnswer::Yes)
        return;
    loadInto(pane, path, pane == m_right ? RightFontColor : LeftFontColor,
             text::kAllEncodings[*choice]);
}

void TMainForm1::ReopenEncoding1Click()
{
    reopenWithEncoding(m_right);
}

void TMainForm1::LeftReopenEncoding1Click()
{
    reopenWithEncoding(m_left);
}

std::optional<std::pair<QString, text::FileEncoding>>
TMainForm1::askSaveName(TRichEditSx *pane, const QString &folder, const QString &fileName)
{
    const auto answer = m_ui.saveFileNameWithChoice(
        this,
        {QStringLiteral("名前を付けて保存"), SaveFilter, folder, fileName, QStringLiteral("txt")},
        QStringLiteral("文字コード:"), encodingNames(), encodingIndex(pane->fileEncoding()));
    if (!answer || answer->choice < 0 || answer->choice >= int(std::size(text::kAllEncodings)))
        return std::nullopt;
    return std::make_pair(answer->path, text::kAllEncodings[answer->choice]);
}

// --- recovery copies ----------------------------------------------------------------------

void TMainForm1::paneEdited(TRichEditSx *pane)
{
    if (!pane->isModified() || m_recoveryOff)
        return;
    (pane == m_right ? m_recoveryDue1 : m_recoveryDue2) = true;
    m_recoveryIdle.start();
    if (!m_recoveryPeriod.isActive())
        m_recoveryPeriod.start();
}

void TMainForm1::writeRecoveryCopies()
{
    m_recoveryIdle.stop();
    m_recoveryPeriod.stop();
    for (TRichEditSx *pane : {m_right, m_left}) {
        bool &due = pane == m_right ? m_recoveryDue1 : m_recoveryDue2;
        if (!due)
            continue;
        due = false;
        if (!pane->isModified())
            continue;
        text::FileError problem;
        if (!m_recovery->save(recoveryName(pane), fileOf(pane), pane->text(), pane->fileEncoding(),
                              &problem))
            m_status->setPanelText(
                4, QStringLiteral("復元用の控えを書けません: %1").arg(problem.message));
    }
}

void TMainForm1::forgetRecoveryCopy(TRichEditSx *pane)
{
    (pane == m_right ? m_recoveryDue1 : m_recoveryDue2) = false;
    m_recovery->remove(recoveryName(pane));
}

void TMainForm1::offerRecovery()
{
    for (const text::RecoveredPane &copy : m_recovery->orphans()) {
        TRichEditSx *pane = copy.pane == QLatin1String("left") ? m_left : m_right;
        const QString file =
            copy.filePath.isEmpty() ? QStringLiteral("新規（名前なし）") : native(copy.filePath);
        const QString question =
            QStringLiteral("前回、保存されないまま終了した文章があります。\n\n%1: %2\n%3 の時点の"
                           "内容です。\n\n復元しますか。「いいえ」を選ぶと、この控えは削除され"
                           "ます。")
                .arg(pane == m_right ? QStringLiteral("右ペイン") : QStringLiteral("左ペイン"),
                     file, QLocale::system().toString(copy.savedAt, QLocale::ShortFormat));
        const bool restore = m_ui.message(this, MessageKind::Confirmation, question,
                                          MessageButtons::YesNo) == MessageAnswer::Yes;
        m_recovery->discard(copy);
        if (!restore)
            continue;
        text::DocumentFormat format;
        format.encoding = copy.encoding;
        pane->clear();
        pane->setText(copy.text);
        pane->setFileFormat(format);
        pane->setModified(true);
        watchOf(pane)->watch(copy.filePath);
        if (pane == m_right) {
            CurrentFile = copy.filePath;
            showDocumentTitle(copy.filePath.isEmpty() ? QStringLiteral("新規") : copy.filePath);
        } else {
            LeftFile = copy.filePath;
            m_status->setPanelText(0, copy.filePath.isEmpty() ? QStringLiteral("NEW")
                                                              : native(copy.filePath));
        }
        // The copy offered is gone: this session keeps its own from now on.
        paneEdited(pane);
    }
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

void TMainForm1::MyTextFileOpen()
{
    if (isShortcutFileName(PendingFile))
        PendingFile = text::resolveShortcut(PendingFile).path;
    const bool atStart = OpenedAtStart;
    const QFileInfo info(PendingFile);
    if (PendingFile.isEmpty()) {
        OpenedAtStart = false;
        return;
    }
    // Any file may be opened, whatever its extension: binary ones are asked about first.
    if (const QString reason = cannotOpenReason(PendingFile); !reason.isEmpty()) {
        OpenedAtStart = false;
        showFileError(reason);
        return;
    }
    if (atStart) {
        m_splash = new TForm3(this);
        m_splash->placeOver(frameGeometry());
        m_splash->show();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    const QString previous = CurrentFile;
    // Absolute, so that the last file stored at exit opens from any working folder.
    CurrentFile = info.absoluteFilePath();
    if (!loadInto(m_right, CurrentFile, RightFontColor)) {
        CurrentFile = previous;
        if (m_splash)
            m_splash->timer().start();
        OpenedAtStart = false;
        return;
    }
    showDocumentTitle(CurrentFile);
    m_saveFolder1 = info.absolutePath();
    noteRecentFile(CurrentFile);
    m_right->setModified(false);
    if (atStart) {
        if (m_splash)
            m_splash->startTimer300();
        OpenedAtStart = false;
    }
}

void TMainForm1::openStartupArgument(const QStringList &arguments)
{
    if (arguments.isEmpty() || arguments.constFirst().isEmpty())
        return;
    PendingFile = arguments.constFirst();
    OpenedAtStart = true;
    MyTextFileOpen();
}

void TMainForm1::LastFile1Click()
{
    if (fLastfile.isEmpty() || !QFileInfo(fLastfile).isFile())
        return;
    PendingFile = fLastfile;
    MyTextFileOpen();
    OpenedAtStart = false;
}

void TMainForm1::DropDst1FileDrop(const QStringList &files)
{
    if (files.isEmpty())
        return;
    PendingFile = files.constFirst();
    MyTextFileOpen();
    OpenedAtStart = false;
}

void TMainForm1::DropDst2FileDrop(const QStringList &files)
{
    if (files.isEmpty())
        return;
    const QString dropped = files.constFirst();
    QString path = dropped;
    if (isShortcutFileName(path))
        path = text::resolveShortcut(path).path;
    if (const QString reason = cannotOpenReason(path); !reason.isEmpty()) {
        showFileError(reason);
        return;
    }
    path = QFileInfo(path).absoluteFilePath();
    if (!loadInto(m_left, path, LeftFontColor))
        return;
    LeftFile = path;
    showLeftFileName(dropped);
    m_saveFolder2 = QFileInfo(dropped).absolutePath();
}

void TMainForm1::showLeftFileName(const QString &path)
{
    const QFontMetrics fm(font());
    m_status->setPanelText(
        0, shortenPath(native(path), m_status->panel(0)->width() - 8,
                       [&fm](const QString &t) { return fm.horizontalAdvance(t); }));
}

void TMainForm1::newDocument(TRichEditSx *pane)
{
    pane->clear();
    pane->setModified(false);
    pane->setFileFormat(text::DocumentFormat());
    watchOf(pane)->watch(QString());
    forgetRecoveryCopy(pane);
    m_formatPane = pane;
    showFileFormat();
}

void TMainForm1::New1Click()
{
    if (m_ui.message(this, MessageKind::Confirmation, DiscardQuestion,
                     MessageButtons::YesNoDefaultNo, QStringLiteral("確認")) != MessageAnswer::Yes)
        return;
    newDocument(m_right);
    CurrentFile.clear();
    showDocumentTitle(QStringLiteral("新規"));
}

void TMainForm1::Open1Click()
{
    const auto name =
        m_ui.openFileName(this, {QStringLiteral("開く"), OpenFilter, dialogFolder(m_saveFolder1),
                                 QStringLiteral("*.txt"), QString()});
    if (!name)
        return;
    const QString path = QFileInfo(*name).absoluteFilePath();
    if (!loadInto(m_right, path, RightFontColor))
        return;
    CurrentFile = path;
    showDocumentTitle(path);
    m_saveFolder1 = QFileInfo(path).absolutePath();
    noteRecentFile(path);
}

void TMainForm1::Save1Click()
{
    if (CurrentFile.isEmpty()) {
        SaveAs1Click();
        return;
    }
    saveFrom(m_right, CurrentFile);
}

void TMainForm1::SaveAs1Click()
{
    const auto chosen = askSaveName(m_right, dialogFolder(m_saveFolder1), m_saveName1);
    if (!chosen)
        return;
    const QString path = QFileInfo(chosen->first).absoluteFilePath();
    m_saveName1 = QFileInfo(path).fileName();
    if (!saveFrom(m_right, path, chosen->second))
        return;
    CurrentFile = path;
    showDocumentTitle(path);
    m_saveFolder1 = QFileInfo(path).absolutePath();
    noteRecentFile(path);
}

void TMainForm1::LeftNew1Click()
{
    if (m_ui.message(this, MessageKind::Confirmation, DiscardQuestion,
                     MessageButtons::YesNoDefaultNo, QStringLiteral("確認")) != MessageAnswer::Yes)
        return;
    newDocument(m_left);
    LeftFile.clear();
    m_status->setPanelText(0, QStringLiteral("NEW"));
}

void TMainForm1::LeftOpen1Click()
{
    if (!m_left->isVisibleTo(this))
        return;
    const auto name =
        m_ui.openFileName(this, {QStringLiteral("開く"), OpenFilter, dialogFolder(m_saveFolder2),
                                 QStringLiteral("*.txt"), QString()});
    if (!name)
        return;
    const QString path = QFileInfo(*name).absoluteFilePath();
    if (!loadInto(m_left, path, LeftFontColor))
        return;
    LeftFile = path;
    showLeftFileName(path);
    m_saveFolder2 = QFileInfo(path).absolutePath();
    m_lastFolder = m_saveFolder2;
}

void TMainForm1::LeftSave1Click()
{
    if (LeftFile.isEmpty()) {
        LeftSaveAs1Click();
        return;
    }
    saveFrom(m_left, LeftFile);
}

void TMainForm1::LeftSaveAs1Click()
{
    const auto chosen = askSaveName(m_left, dialogFolder(m_saveFolder2), m_saveName2);
    if (!chosen)
        return;
    const QString path = QFileInfo(chosen->first).absoluteFilePath();
    m_saveName2 = QFileInfo(path).fileName();
    if (!saveFrom(m_left, path, chosen->second))
        return;
    LeftFile = path;
    showLeftFileName(path);
    m_saveFolder2 = QFileInfo(path).absolutePath();
    m_lastFolder = m_saveFolder2;
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
    if (m_right->isModified() &&
        m_ui.message(this, MessageKind::Confirmation, DiscardQuestion,
                     MessageButtons::YesNoDefaultNo, QStringLiteral("確認")) != MessageAnswer::Yes)
        return;
    PendingFile = path;
    OpenedAtStart = false;
    MyTextFileOpen();
}

} // namespace shell
