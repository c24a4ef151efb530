#pragma once
// The panes' find and replace dialogs: modeless, they only collect the find text, the
// replacement, the options and the button pressed, and say so by signals; the window does
// the searching (search/FindReplace.h). Each pane has one of each kind, which keep their
// texts between uses.

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace shell {

class FindReplaceDialog final : public QDialog
{
    Q_OBJECT
public:
    enum class Kind { Find, Replace };

    explicit FindReplaceDialog(Kind kind, QWidget *parent = nullptr);

    Kind kind() const { return m_kind; }
    QString findText() const;
    void setFindText(const QString &text);
    QString replaceText() const; // empty for a find dialog
    void setReplaceText(const QString &text);
    bool matchCase() const;
    void setMatchCase(bool on);
    bool searchDown() const;
    void setSearchDown(bool down);

    // What the dialog offers; the window hides what a pane's dialog does not show.
    void setMatchCaseVisible(bool visible);
    void setDirectionVisible(bool visible);
    void setDirectionEnabled(bool enabled);

    // Shows the dialog without blocking the window, or brings it forward when it is open,
    // with the find text selected for typing over.
    void showModeless();

Q_SIGNALS:
    void findNextRequested();
    void replaceRequested();
    void replaceAllRequested();
    void cancelled();

private:
    Kind m_kind;
    QLineEdit *m_find = nullptr;
    QLineEdit *m_replace = nullptr;
    QCheckBox *m_matchCase = nullptr;
    QGroupBox *m_direction = nullptr;
    QRadioButton *m_up = nullptr;
    QRadioButton *m_down = nullptr;
    QPushButton *m_findNext = nullptr;
    QPushButton *m_replaceOne = nullptr;
    QPushButton *m_replaceAll = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace shell
