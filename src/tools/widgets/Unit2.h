#pragma once
// TForm2, the count grid window ("count grid"): one row per recorded colouring run (row
// number, string, count, elapsed time, remark), sorted by a click on a heading, edited in
// place, opened from and saved to comma-separated files. Created by "起", destroyed when the
// user closes it and confirms.

#include "tools/StringGridModel.h"

#include <QWidget>

#include <functional>
#include <optional>

namespace widgets {
class ShineButton;
}

namespace tools {

struct ColoringState;
class TStrSortGrid;

// The questions the count grid window asks its user. Whoever opens the window answers them
// (the main window through its dialogs, a test from a script), so this library shows no
// dialog of its own and needs nothing of the window that opens it.
struct GridPrompts
{
    enum class Level { Error, Warning };
    struct FileRequest
    {
        QString filter; // "Description|pattern|..."
        QString defaultSuffix;
        QString folder; // where the dialog starts
    };
    // A message with an OK button.
    std::function<void(QWidget *parent, Level level, const QString &text)> tell;
    // A Yes/No question; true for Yes.
    std::function<bool(QWidget *parent, const QString &caption, const QString &text)> confirm;
    // The chosen file, or nullopt when the user cancels.
    std::function<std::optional<QString>(QWidget *parent, const FileRequest &r)> openFileName;
    std::function<std::optional<QString>(QWidget *parent, const FileRequest &r)> saveFileName;
};

class TForm2 final : public QWidget
{
    Q_OBJECT
public:
    // Sets the heading row and the row counter to 0. The window deletes itself on close;
    // hold it in a QPointer. Every prompt must be set.
    TForm2(GridPrompts prompts, ColoringState &state, QWidget *parent = nullptr);

    TStrSortGrid *StrSortGrid1() const { return m_grid; }
    StringGridModel &cells() { return m_model; }
    widgets::ShineButton *button(const QString &name) const;

    // "書記" with the window open: the next row, filled from these texts, scrolled into view.
    void recordRun(const QString &colorString, const QString &countText,
                   const QString &elapsedText);

    // The file commands without their dialogs; a failure shows the system's message. A file
    // with rows wider than the grid widens it and says so.
    bool openFile(const QString &path);
    bool saveFile(const QString &path);

    void ShineSpeedButton1Click(); // "開(&O)"
    void ShineSpeedButton2Click(); // "保存(&S)"
    void UndoButtonClick();
    void CutButtonClick();
    void CopyButtonClick();
    void PasteButtonClick();

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    GridPrompts m_prompts;
    ColoringState &m_state;
    StringGridModel m_model;
    TStrSortGrid *m_grid;
    QList<widgets::ShineButton *> m_buttons;
    QString m_folder;
};

} // namespace tools
