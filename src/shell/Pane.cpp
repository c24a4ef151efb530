#include "shell/Pane.h"

#include "editor/PaneTextTarget.h"
#include "editor/RichEditSx.h"
#include "search/FindReplace.h"
#include "shell/FindReplaceDialog.h"
#include "shell/FontNames.h"
#include "shell/UiServices.h"
#include "shell/WindowRules.h"
#include "text/DocumentFile.h"
#include "text/FileWatch.h"
#include "text/RecoveryStore.h"
#include "text/ShellLink.h"

#include <QDir>
#include <QFileInfo>

namespace shell {

using editor::PaneTextTarget;

namespace {

// Any text file opens; the first filter shows the usual kinds of text, the last all files.
const QString OpenFilter =
    QStringLiteral("テキスト|*.txt;*.TXT;*.text;*.md;*.csv;*.tsv;*.log|HTML|*.html;*.htm;*.HTML;"
                   "*.HTM|すべてのファイル|*");
const QString SaveFilter = QStringLiteral("Text(*.txt)|*.txt|All(*.*)|*.*");

QStringList encodingNames()
{
    QStringList names;
    for (text::FileEncoding e : text::kAllEncodings)
        names << text::encodingDisplayName(e);
    return names;
}

int encodingIndex(text::FileEncoding e)
{
    const auto *found =
        std::find(std::begin(text::kAllEncodings), std::end(text::kAllEncodings), e);
    return found == std::end(text::kAllEncodings) ? 0
                                                  : int(found - std::begin(text::kAllEncodings));
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString absolute(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

Pane::Pane(Side side, TRichEditSx *editor, QWidget *window, UiServices &ui, PaneHost &host,
           text::RecoveryStore &recovery)
    : QObject(window), m_side(side), m_editor(editor), m_window(window), m_ui(ui), m_host(host),
      m_recovery(recovery), m_watch(new text::FileWatch(this))
{
    connect(m_watch, &text::FileWatch::changedOnDisk, this, &Pane::changedOnDisk);
    connect(m_watch, &text::FileWatch::removedFromDisk, this, [this](const QString &path) {
        m_host.paneHint(
            QStringLiteral("%1 は削除されたか、名前が変わりました。").arg(native(path)));
    });
    connect(m_editor, &TRichEditSx::textChanged, this, [this] {
        if (!m_editor->isModified())
            return;
        m_recoveryDue = true;
        Q_EMIT edited();
    });
}

Pane::~Pane() = default;

void Pane::setFontColor(const QColor &color)
{
    m_editor->setFontColor(color);
    m_fontColor = color;
}

void Pane::keepEditorFontColor()
{
    m_fontColor = m_editor->fontColor();
}

void Pane::chooseFont()
{
    const auto font =
        m_ui.chooseFont(m_window, fontForDialog(m_editor->paneFont(), m_editor->logicalDpiY()));
    if (!font)
        return;
    m_editor->resetCharacterColors();
    m_editor->setPaneFont(*font);
    keepEditorFontColor();
    m_host.paneLookChanged(*this);
}

void Pane::chooseBackground()
{
    const auto color = m_ui.chooseColor(m_window, m_editor->backgroundColor());
    if (!color)
        return;
    m_editor->setBackgroundColor(*color);
    m_host.paneLookChanged(*this);
}

void Pane::chooseInk()
{
    const auto color = m_ui.chooseColor(m_window, m_editor->fontColor());
    if (!color)
        return;
    setFontColor(*color);
    m_host.paneLookChanged(*this);
}

void Pane::showError(const QString &message)
{
    m_ui.message(m_window, MessageKind::Error, message, MessageButtons::Ok);
}

void Pane::named(const QString &path, PaneHost::FileEvent event, const QString &shownName)
{
    m_file = path;
    m_shownName = shownName.isEmpty() ? path : shownName;
    if (!path.isEmpty())
        m_saveFolder = QFileInfo(path).absolutePath();
    m_host.paneFileChanged(*this, event);
}

// --- reading and writing ------------------------------------------------------------------

std::optional<QString> Pane::openablePath(const QString &path)
{
    const QString target = isShortcutFileName(path) ? text::resolveShortcut(path).path : path;
    // Any file may be opened, whatever its extension: binary ones are asked about first.
    if (const QString reason = cannotOpenReason(target); !reason.isEmpty()) {
        showError(reason);
        return std::nullopt;
    }
    return absolute(target);
}

bool Pane::load(const QString &path, std::optional<text::FileEncoding> encoding)
{
    // The file is read before the pane is touched: a file that cannot be read leaves the
    // pane's text as it was instead of an empty pane.
    text::FileError problem;
    const std::optional<QByteArray> bytes = text::readFileBytes(path, &problem);
    if (!bytes) {
        showError(QStringLiteral("%1 を開けません。\n%2").arg(native(path), problem.message));
        return false;
    }
    if (!encoding && text::looksBinary(*bytes)) {
        const QString question =
            QStringLiteral("%1 はテキストファイルではないようです（NUL 文字や、画像・圧縮ファイル"
                           "などの形式を含みます）。\n\n開きますか。開いても、変更せずに保存すれば"
                           "元のバイトのまま書き戻します。")
                .arg(native(path));
        if (m_ui.message(m_window, MessageKind::Warning, question, MessageButtons::YesNo) !=
            MessageAnswer::Yes)
            return false;
    }
    const text::LoadedDocument doc = text::decodeDocument(*bytes, encoding);
    m_editor->setUpdatesEnabled(false);
    if (m_fontColor.isValid())
        m_editor->setFontColor(m_fontColor);
    m_editor->clear();
    m_editor->setText(doc.text);
    m_editor->setFileFormat(doc.format);
    m_editor->setModified(false);
    m_editor->setUpdatesEnabled(true);
    m_watch->watch(path);
    forgetRecoveryCopy();
    m_host.paneFormatChanged(*this);
    if (doc.format.mixedLineEnds)
        m_host.paneHint(QStringLiteral("改行コードが混在しています。変更して保存すると "
                                       "%1 にそろえます。")
                            .arg(text::lineEndName(doc.format.lineEnd)));
    return true;
}

bool Pane::openFile(const QString &path)
{
    const std::optional<QString> target = openablePath(path);
    if (!target || !mayReplaceText() || !load(*target))
        return false;
    named(*target, PaneHost::FileEvent::Opened, absolute(path));
    return true;
}

bool Pane::saveTo(const QString &path, std::optional<text::FileEncoding> encoding)
{
    text::DocumentFormat format = m_editor->fileFormat();
    if (encoding && *encoding != format.encoding) {
        format.encoding = *encoding;
        format.binary = false;
    }
    const QString plain = m_editor->text();
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
        if (m_ui.message(m_window, MessageKind::Warning, question, MessageButtons::YesNo) !=
            MessageAnswer::Yes)
            return false;
        format.encoding = text::FileEncoding::Utf8;
        encoded = text::encodeDocument(plain, format);
    }
    if (absolute(path) == m_watch->path() && m_watch->changedSinceAcknowledged() &&
        text::fileKind(path) != text::FileKind::Missing) {
        const QString question =
            QStringLiteral("%1 は、読み込んだ後に他のプログラムで変更されています。\n"
                           "上書きすると、その変更は失われます。上書きしますか。")
                .arg(native(path));
        if (m_ui.message(m_window, MessageKind::Warning, question,
                         MessageButtons::YesNoDefaultNo) != MessageAnswer::Yes)
            return false;
    }
    text::FileError problem;
    if (!text::writeFileSafely(path, encoded.bytes, &problem)) {
        showError(QStringLiteral("%1 に保存できません。\n%2").arg(native(path), problem.message));
        return false;
    }
    if (!encoded.exactLineEnds) {
        // Every line now ends the same way.
        format.mixedLineEnds = false;
        format.exactEnds.clear();
    }
    m_editor->setFileFormat(format);
    m_editor->setModified(false);
    m_watch->watch(path);
    forgetRecoveryCopy();
    m_host.paneFormatChanged(*this);
    return true;
}

void Pane::changedOnDisk(const QString &path)
{
    if (m_askingAboutDisk)
        return;
    if (!m_editor->isModified()) {
        // Nothing of the user's is lost: the pane shows the file as it is now.
        if (load(path))
            m_host.paneHint(QStringLiteral("%1 が他のプログラムで変更されたため、読み直しました。")
                                .arg(native(path)));
        return;
    }
    m_askingAboutDisk = true;
    const QString question =
        QStringLiteral("%1 が他のプログラムで変更されました。\n読み直しますか。\n\n"
                       "「いいえ」を選ぶと、この画面の内容をそのまま残します"
                       "（上書き保存の前にもう一度確認します）。")
            .arg(native(path));
    const bool reload = m_ui.message(m_window, MessageKind::Confirmation, question,
                                     MessageButtons::YesNo) == MessageAnswer::Yes;
    m_askingAboutDisk = false;
    if (reload)
        load(path);
}

// --- the commands -------------------------------------------------------------------------

bool Pane::confirmDiscard()
{
    return m_ui.message(m_window, MessageKind::Confirmation,
                        QStringLiteral("現在の内容を廃棄します。よろしいですか。"),
                        MessageButtons::YesNoDefaultNo,
                        QStringLiteral("確認")) == MessageAnswer::Yes;
}

bool Pane::mayReplaceText()
{
    return !m_editor->isModified() || confirmDiscard();
}

void Pane::newFile()
{
    if (!confirmDiscard())
        return;
    m_editor->clear();
    m_editor->setModified(false);
    m_editor->setFileFormat(text::DocumentFormat());
    m_watch->watch(QString());
    forgetRecoveryCopy();
    m_host.paneFormatChanged(*this);
    named(QString(), PaneHost::FileEvent::Emptied);
}

void Pane::open()
{
    // A hidden pane takes no file.
    if (!m_editor->isVisibleTo(m_window))
        return;
    const auto name =
        m_ui.openFileName(m_window, {QStringLiteral("開く"), OpenFilter,
                                     m_host.dialogFolder(m_saveFolder), QString(), QString()});
    if (name)
        openFile(*name);
}

void Pane::save()
{
    if (m_file.isEmpty())
        saveAs();
    else
        saveTo(m_file);
}

void Pane::saveAs()
{
    const auto answer = m_ui.saveFileNameWithChoice(
        m_window,
        {QStringLiteral("名前を付けて保存"), SaveFilter, m_host.dialogFolder(m_saveFolder),
         m_saveName, QStringLiteral("txt")},
        QStringLiteral("文字コード:"), encodingNames(), encodingIndex(m_editor->fileEncoding()));
    if (!answer || answer->choice < 0 || answer->choice >= int(std::size(text::kAllEncodings)))
        return;
    const QString path = absolute(answer->path);
    m_saveName = QFileInfo(path).fileName();
    if (saveTo(path, text::kAllEncodings[answer->choice]))
        named(path, PaneHost::FileEvent::SavedAs);
}

void Pane::reopenWithEncoding()
{
    if (m_file.isEmpty()) {
        m_ui.message(m_window, MessageKind::Information,
                     QStringLiteral("開き直すファイルがありません。"), MessageButtons::Ok);
        return;
    }
    const QStringList names = encodingNames();
    const auto choice = m_ui.chooseItem(m_window, QStringLiteral("文字コードを指定して開き直す"),
                                        QStringLiteral("文字コード:"), names,
                                        encodingIndex(m_editor->fileEncoding()));
    if (!choice || *choice < 0 || *choice >= names.size())
        return;
    if (!mayReplaceText())
        return;
    load(m_file, text::kAllEncodings[*choice]);
}

// --- find and replace ---------------------------------------------------------------------

FindReplaceDialog *Pane::findDialog(bool replace)
{
    QPointer<FindReplaceDialog> &slot = replace ? m_replaceDialog : m_findDialog;
    if (slot)
        return slot;
    const bool right = m_side == Side::Right;
    slot = new FindReplaceDialog(
        replace ? FindReplaceDialog::Kind::Replace : FindReplaceDialog::Kind::Find, m_window);
    slot->setObjectName(QStringLiteral("%1Dialog%2")
                            .arg(replace ? QStringLiteral("Replace") : QStringLiteral("Find"))
                            .arg(right ? 1 : 2));
    slot->setMatchCaseVisible(false);
    slot->setSearchDown(true);
    if (replace) {
        slot->setDirectionVisible(false);
        slot->setDirectionEnabled(right);
        connect(slot, &FindReplaceDialog::replaceRequested, this, &Pane::replace);
        connect(slot, &FindReplaceDialog::replaceAllRequested, this, &Pane::replaceAll);
    } else {
        connect(slot, &FindReplaceDialog::findNextRequested, this,
                [this] { findNext(m_findDialog->searchDown()); });
    }
    return slot;
}

void Pane::openFindDialog(bool replace)
{
    FindReplaceDialog *d = findDialog(replace);
    if (m_editor->selLength() > 0)
        d->setFindText(m_editor->selectedText());
    d->showModeless();
}

void Pane::findNext(bool down)
{
    find(findDialog(false)->findText(), down);
}

void Pane::find(const QString &findText, bool down)
{
    const QString text = m_editor->text();
    const auto found =
        down ? search::findForward(text, findText, m_editor->selStart(), m_editor->selLength())
             : search::findBackward(text, findText, m_editor->selStart());
    if (!found) {
        m_ui.beep();
        return;
    }
    m_editor->activeView()->setFocus();
    m_editor->setSelection(int(found->start), int(found->length));
    m_host.paneCaretMoved(*this);
}

void Pane::replace()
{
    FindReplaceDialog *d = findDialog(true);
    const auto found = search::findForReplace(m_editor->text(), d->findText());
    if (!found) {
        m_ui.message(d, MessageKind::Error, search::notFoundMessage(d->findText()),
                     MessageButtons::Ok);
        return;
    }
    m_editor->setSelection(int(found->start), int(found->length));
    QTextCursor c = m_editor->textCursor();
    m_editor->replaceSelection(c, d->replaceText());
    m_editor->setTextCursor(c);
    m_host.paneCaretMoved(*this);
}

void Pane::replaceAll()
{
    FindReplaceDialog *d = findDialog(true);
    search::ReplaceAllResult result;
    {
        PaneTextTarget target(m_editor);
        result = search::replaceAll(target, d->findText(), d->replaceText());
    }
    if (!result.complete)
        m_ui.message(d, MessageKind::Warning, search::stoppedEarlyMessage(result.replacements),
                     MessageButtons::Ok);
}

// --- the recovery copy --------------------------------------------------------------------

QString Pane::recoveryName() const
{
    return m_side == Side::Right ? QStringLiteral("right") : QStringLiteral("left");
}

void Pane::writeRecoveryCopy()
{
    if (!m_recoveryDue)
        return;
    m_recoveryDue = false;
    if (!m_editor->isModified())
        return;
    text::FileError problem;
    if (!m_recovery.save(recoveryName(), m_file, m_editor->rawText(), m_editor->fileFormat(),
                         &problem))
        m_host.paneHint(QStringLiteral("復元用の控えを書けません: %1").arg(problem.message));
}

void Pane::forgetRecoveryCopy()
{
    m_recoveryDue = false;
    m_recovery.remove(recoveryName());
}

void Pane::restore(const text::RecoveredPane &copy)
{
    text::DocumentFormat format;
    format.encoding = copy.format.encoding;
    format.lineEnd = copy.format.lineEnd;
    m_editor->clear();
    m_editor->setText(copy.text);
    m_editor->setFileFormat(format);
    m_editor->setModified(true);
    m_watch->watch(copy.filePath);
    m_host.paneFormatChanged(*this);
    named(copy.filePath, PaneHost::FileEvent::Restored);
    // The copy offered is gone: this session keeps its own from now on.
    m_recoveryDue = true;
    Q_EMIT edited();
}

} // namespace shell
