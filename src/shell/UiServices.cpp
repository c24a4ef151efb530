#include "shell/UiServices.h"

#include "shell/TextDlgs.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QUrl>

namespace shell {

QString UiServices::captionFor(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Error:
        return QStringLiteral("エラー");
    case MessageKind::Information:
        return QStringLiteral("情報");
    case MessageKind::Confirmation:
        return QStringLiteral("確認");
    case MessageKind::Warning:
        return QStringLiteral("警告");
    }
    return {};
}

QString UiServices::qtFilter(const QString &programFilter)
{
    const QStringList parts = programFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

MessageAnswer QtUiServices::message(QWidget *parent, MessageKind kind, const QString &text,
                                    MessageButtons buttons, const QString &caption)
{
    QMessageBox::Icon icon = QMessageBox::Information;
    switch (kind) {
    case MessageKind::Error:
        icon = QMessageBox::Critical;
        break;
    case MessageKind::Information:
        icon = QMessageBox::Information;
        break;
    case MessageKind::Confirmation:
        icon = QMessageBox::Question;
        break;
    case MessageKind::Warning:
        icon = QMessageBox::Warning;
        break;
    }
    const bool yesNo = buttons != MessageButtons::Ok;
    QMessageBox box(icon, caption.isEmpty() ? captionFor(kind) : caption, text,
                    yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent);
    if (yesNo) {
        // The program's messages name these buttons 「はい」 and 「いいえ」: they read so
        // whatever the desktop's language.
        box.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
        box.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
        box.setDefaultButton(buttons == MessageButtons::YesNoDefaultNo ? QMessageBox::No
                                                                       : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    }
    const int answer = box.exec();
    if (buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

namespace {
void prepare(QFileDialog &dialog, const FileDialogRequest &r)
{
    dialog.setWindowTitle(r.caption);
    dialog.setNameFilter(QString());
    dialog.setNameFilters(UiServices::qtFilter(r.filter).split(QStringLiteral(";;")));
    dialog.setDirectory(r.folder);
    if (!r.fileName.contains(QLatin1Char('*')))
        dialog.selectFile(r.fileName);
    dialog.setDefaultSuffix(r.defaultSuffix);
}
} // namespace

std::optional<QString> QtUiServices::openFileName(QWidget *parent, const FileDialogRequest &r)
{
    TTextOpenDialog dialog(parent);
    prepare(dialog, r);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtUiServices::saveFileName(QWidget *parent, const FileDialogRequest &r)
{
    QFileDialog dialog(parent);
    prepare(dialog, r);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // An existing file is overwritten without a question, as the program always did.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<UiServices::SaveAnswer>
QtUiServices::saveFileNameWithChoice(QWidget *parent, const FileDialogRequest &r,
                                     const QString &choiceLabel, const QStringList &choices,
                                     int current)
{
    QFileDialog dialog(parent);
    prepare(dialog, r);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    // Qt's own dialog, so that a row can be added below the file type.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    auto *combo = new QComboBox(&dialog);
    combo->addItems(choices);
    combo->setCurrentIndex(current);
    if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout())) {
        const int row = grid->rowCount();
        grid->addWidget(new QLabel(choiceLabel, &dialog), row, 0);
        grid->addWidget(combo, row, 1);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return SaveAnswer{dialog.selectedFiles().constFirst(), combo->currentIndex()};
}

std::optional<int> QtUiServices::chooseItem(QWidget *parent, const QString &caption,
                                            const QString &label, const QStringList &items,
                                            int current)
{
    bool ok = false;
    const QString item = QInputDialog::getItem(parent, caption, label, items, current, false, &ok);
    if (!ok)
        return std::nullopt;
    return int(items.indexOf(item));
}

std::optional<int> QtUiServices::chooseNumber(QWidget *parent, const QString &caption,
                                              const QString &label, int value, int min, int max)
{
    bool ok = false;
    const int number = QInputDialog::getInt(parent, caption, label, value, min, max, 1, &ok);
    if (!ok)
        return std::nullopt;
    return number;
}

std::optional<QColor> QtUiServices::chooseColor(QWidget *parent, const QColor &initial)
{
    const QColor c = QColorDialog::getColor(initial, parent);
    if (!c.isValid())
        return std::nullopt;
    return c;
}

std::optional<QFont> QtUiServices::chooseFont(QWidget *parent, const QFont &initial)
{
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, initial, parent);
    if (!ok)
        return std::nullopt;
    return f;
}

bool QtUiServices::choosePrinter(QWidget *parent, QPrinter *printer)
{
    QPrintDialog dialog(printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void QtUiServices::beep()
{
    QApplication::beep();
}

bool QtUiServices::openUrl(const QString &url)
{
    return QDesktopServices::openUrl(QUrl::fromUserInput(url));
}

bool QtUiServices::startProcess(const QString &program, const QStringList &arguments,
                                const QString &workingFolder)
{
    return QProcess::startDetached(program, arguments, workingFolder);
}

} // namespace shell
