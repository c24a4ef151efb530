#pragma once
// The one seam through which the window reaches everything that blocks or leaves the
// process: message boxes, the common dialogs, the beep, the browser and other programs.
// The window never calls QMessageBox or QFileDialog itself; tests install a scripted fake
// (tests/support/FakeUiServices.h) so no test ever waits on a real modal dialog.

#include "speech/DirectSS.h"
#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QObject;
class QWidget;
class QPrinter;

namespace shell {

enum class MessageKind { Error, Information, Confirmation, Warning };
// YesNo has Yes as its default button (Enter); YesNoDefaultNo is for questions whose Yes
// throws work away.
enum class MessageButtons { Ok, YesNo, YesNoDefaultNo };
enum class MessageAnswer { Ok, Yes, No };

struct FileDialogRequest
{
    QString caption;
    QString filter;   // the program's own "Description|pattern|..." form
    QString folder;   // initial folder
    QString fileName; // text of the file-name box, e.g. "*.txt"
    QString defaultSuffix;
};

class UiServices
{
public:
    virtual ~UiServices() = default;

    // The four message box kinds; the caption defaults to the kind's own
    // ("エラー", "情報", "確認", "警告") when empty.
    virtual MessageAnswer message(QWidget *parent, MessageKind kind, const QString &text,
                                  MessageButtons buttons, const QString &caption = {}) = 0;
    virtual std::optional<QString> openFileName(QWidget *parent, const FileDialogRequest &r) = 0;
    virtual std::optional<QString> saveFileName(QWidget *parent, const FileDialogRequest &r) = 0;
    // The save dialog with one more choice (by default the plain dialog, keeping the choice) below
    // the file name (the encoding to save in); `choice` is the index chosen among `choices`,
    // starting at `current`.
    struct SaveAnswer
    {
        QString path;
        int choice = 0;
    };
    virtual std::optional<SaveAnswer>
    saveFileNameWithChoice(QWidget *parent, const FileDialogRequest &r, const QString &choiceLabel,
                           const QStringList &choices, int current)
    {
        Q_UNUSED(choiceLabel);
        Q_UNUSED(choices);
        const std::optional<QString> name = saveFileName(parent, r);
        if (!name)
            return std::nullopt;
        return SaveAnswer{*name, current};
    }
    // One item picked from a list, or nullopt on cancel.
    virtual std::optional<int> chooseItem(QWidget *, const QString &, const QString &,
                                          const QStringList &, int)
    {
        return std::nullopt;
    }
    // A whole number from min to max, starting at value, or nullopt on cancel.
    virtual std::optional<int> chooseNumber(QWidget *, const QString &, const QString &, int, int,
                                            int)
    {
        return std::nullopt;
    }
    virtual std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial) = 0;
    // Name, style and size only: the program never lets the dialog pick colour or effects.
    virtual std::optional<QFont> chooseFont(QWidget *parent, const QFont &initial) = 0;
    // Runs the print dialog on the printer; true when the user confirmed.
    virtual bool choosePrinter(QWidget *parent, QPrinter *printer) = 0;
    virtual void beep() = 0;
    virtual bool openUrl(const QString &url) = 0;
    virtual bool startProcess(const QString &program, const QStringList &arguments,
                              const QString &workingFolder) = 0;
    // A speech control of the caller's own (the tests' fake); nullptr, the default, gives
    // the window espeak-ng playing to the sound output.
    virtual std::unique_ptr<speech::TDirectSS> makeSpeechEngine(QObject *) { return nullptr; }

    static QString captionFor(MessageKind kind);
    // "テキスト|*.txt;*.md|HTML|*.html;*.htm" becomes Qt's "テキスト (*.txt *.md);;HTML (*.html
    // *.htm)".
    static QString qtFilter(const QString &programFilter);
};

// The real implementation over Qt's dialogs, QDesktopServices and QProcess.
class QtUiServices final : public UiServices
{
public:
    MessageAnswer message(QWidget *parent, MessageKind kind, const QString &text,
                          MessageButtons buttons, const QString &caption = {}) override;
    std::optional<QString> openFileName(QWidget *parent, const FileDialogRequest &r) override;
    std::optional<QString> saveFileName(QWidget *parent, const FileDialogRequest &r) override;
    std::optional<SaveAnswer> saveFileNameWithChoice(QWidget *parent, const FileDialogRequest &r,
                                                     const QString &choiceLabel,
                                                     const QStringList &choices,
                                                     int current) override;
    std::optional<int> chooseItem(QWidget *parent, const QString &caption, const QString &label,
                                  const QStringList &items, int current) override;
    std::optional<int> chooseNumber(QWidget *parent, const QString &caption, const QString &label,
                                    int value, int min, int max) override;
    std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial) override;
    std::optional<QFont> chooseFont(QWidget *parent, const QFont &initial) override;
    bool choosePrinter(QWidget *parent, QPrinter *printer) override;
    void beep() override;
    bool openUrl(const QString &url) override;
    bool startProcess(const QString &program, const QStringList &arguments,
                      const QString &workingFolder) override;
};

} // namespace shell
