#pragma once
// TForm2, the count grid window ("count grid"): one row per recorded colouring run (row
// number, string, count, elapsed time, remark), sorted by a click on a heading, edited in
// place, opened from and saved to comma-separated files. Created by "起", destroyed when the
// user closes it and confirms.

#include "tools/StringGridModel.h"

#include <QWidget>

namespace shell {
class UiServices;
}

namespace widgets {
class ShineButton;
}

namespace tools {

struct ColoringState;
class TStrSortGrid;

class TForm2 final : public QWidget
{
    Q_OBJECT
public:
    // Sets the heading row and the row counter to 0. The window deletes itself on close;
    // hold it in a QPointer.
    TForm2(shell::UiServices &ui, ColoringState &state, QWidget *parent = nullptr);

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
    shell::UiServices &m_ui;
    ColoringState &m_state;
    StringGridModel m_model;
    TStrSortGrid *m_grid;
    QList<widgets::ShineButton *> m_buttons;
    QString m_folder;
};

} // namespace tools
