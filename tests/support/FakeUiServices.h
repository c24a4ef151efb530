#pragma once
// The scripted UiServices of every GUI test: it records each question the window asks and
// answers from queues the test fills; an empty queue answers "cancel" (or No), so a test
// that forgot to script an answer sees a cancelled dialog, never a hang.

#include "shell/UiServices.h"

#include <QPrinter>
#include <QQueue>

#include <functional>

namespace testsupport {

struct AskedMessage
{
    shell::MessageKind kind;
    QString text;
    shell::MessageButtons buttons;
    QString caption;
};

class FakeUiServices final : public shell::UiServices
{
public:
    QList<AskedMessage> messages;
    QQueue<shell::MessageAnswer> answers;
    QList<shell::FileDialogRequest> openRequests, saveRequests;
    QQueue<std::optional<QString>> openAnswers, saveAnswers;
    // Save dialogs with a choice answer from saveAnswers; the choice from choiceAnswers, or
    // the offered one when that queue is empty. chooseItem answers from itemAnswers.
    QList<QStringList> saveChoiceRequests;
    QQueue<int> choiceAnswers;
    QList<QStringList> itemRequests;
    QQueue<std::optional<int>> itemAnswers;
    QList<int> numberRequests; // the value each request started at
    QQueue<std::optional<int>> numberAnswers;
    QList<QColor> colorRequests;
    QQueue<std::optional<QColor>> colorAnswers;
    QList<QFont> fontRequests;
    QQueue<std::optional<QFont>> fontAnswers;
    int printRequests = 0;
    bool printAnswer = false;
    QString proposedPrintFile, printDocName; // what the last print dialog was given
    QString printToPdf;                      // when set, the chosen "printer" is this PDF file
    int beeps = 0;
    QStringList openedUrls;
    QList<QStringList> startedProcesses;
    // When set, the window speaks through the engine this makes instead of espeak-ng.
    std::function<std::unique_ptr<speech::TDirectSS>(QObject *parent)> speechEngine;

    shell::MessageAnswer message(QWidget *, shell::MessageKind kind, const QString &text,
                                 shell::MessageButtons buttons, const QString &caption) override
    {
        messages.append({kind, text, buttons, caption.isEmpty() ? captionFor(kind) : caption});
        if (buttons == shell::MessageButtons::Ok)
            return shell::MessageAnswer::Ok;
        return answers.isEmpty() ? shell::MessageAnswer::No : answers.dequeue();
    }
    std::optional<QString> openFileName(QWidget *, const shell::FileDialogRequest &r) override
    {
        openRequests.append(r);
        return openAnswers.isEmpty() ? std::nullopt : openAnswers.dequeue();
    }
    std::optional<QString> saveFileName(QWidget *, const shell::FileDialogRequest &r) override
    {
        saveRequests.append(r);
        return saveAnswers.isEmpty() ? std::nullopt : saveAnswers.dequeue();
    }
    std::optional<SaveAnswer> saveFileNameWithChoice(QWidget *parent,
                                                     const shell::FileDialogRequest &r,
                                                     const QString &, const QStringList &choices,
                                                     int current) override
    {
        saveChoiceRequests.append(choices);
        const std::optional<QString> name = saveFileName(parent, r);
        if (!name)
            return std::nullopt;
        return SaveAnswer{*name, choiceAnswers.isEmpty() ? current : choiceAnswers.dequeue()};
    }
    std::optional<int> chooseItem(QWidget *, const QString &, const QString &,
                                  const QStringList &items, int) override
    {
        itemRequests.append(items);
        return itemAnswers.isEmpty() ? std::nullopt : itemAnswers.dequeue();
    }
    std::optional<int> chooseNumber(QWidget *, const QString &, const QString &, int value, int,
                                    int) override
    {
        numberRequests.append(value);
        return numberAnswers.isEmpty() ? std::nullopt : numberAnswers.dequeue();
    }
    std::optional<QColor> chooseColor(QWidget *, const QColor &initial) override
    {
        colorRequests.append(initial);
        return colorAnswers.isEmpty() ? std::nullopt : colorAnswers.dequeue();
    }
    std::optional<QFont> chooseFont(QWidget *, const QFont &initial) override
    {
        fontRequests.append(initial);
        return fontAnswers.isEmpty() ? std::nullopt : fontAnswers.dequeue();
    }
    bool choosePrinter(QWidget *, QPrinter *printer) override
    {
        ++printRequests;
        proposedPrintFile = printer->outputFileName();
        printDocName = printer->docName();
        if (!printToPdf.isEmpty()) {
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(printToPdf);
        }
        return printAnswer;
    }
    void beep() override { ++beeps; }
    bool openUrl(const QString &url) override
    {
        openedUrls << url;
        return true;
    }
    bool startProcess(const QString &program, const QStringList &arguments,
                      const QString &) override
    {
        startedProcesses.append(QStringList{program} + arguments);
        return true;
    }
    std::unique_ptr<speech::TDirectSS> makeSpeechEngine(QObject *parent) override
    {
        return speechEngine ? speechEngine(parent) : nullptr;
    }
};

} // namespace testsupport
