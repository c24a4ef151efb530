#pragma once
// TAboutBox: the settings dialog "About & 設定". It shows the program's name and version,
// edits the HTML style values (colours, font, size, back link) and fills the two launcher
// slots by drops of a program or a shortcut. Modeless; closing it in any way destroys it,
// so the next opening starts from the current values again.

#include <QDialog>
#include <QLineEdit>

class QCheckBox;
class QLabel;

namespace shell {

class TMainForm1;
class TDropDst;

// A one-line edit whose background takes EnterColor while it has the focus.
class TColorEdit final : public QLineEdit
{
    Q_OBJECT
public:
    explicit TColorEdit(QWidget *parent = nullptr);
    void setEnterColor(const QColor &c) { m_enter = c; }
    QColor EnterColor() const { return m_enter; }

protected:
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    QColor m_enter{231, 239, 182};
    QPalette m_normal;
};

class TAboutBox final : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(TMainForm1 &form);

    TColorEdit *colorEdit(int n) const { return m_edits.value(n); }
    QLabel *Label15() const { return m_size; }
    QCheckBox *LCheckBox1() const { return m_link; }

    void ShineSpeedButton2Click(); // OK: apply
    void ShineSpeedButton1Click(); // Exit: apply and close
    void Label15Click();
    void DropDst1FileDrop(const QStringList &files) { fillSlot(1, files); }
    void DropDst2FileDrop(const QStringList &files) { fillSlot(2, files); }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void fillSlot(int slot, const QStringList &files);
    void showSlot(int slot);

    TMainForm1 &m_form;
    QHash<int, TColorEdit *> m_edits;
    QLabel *m_size = nullptr;
    QCheckBox *m_link = nullptr;
};

// Whether a dropped file may fill a launcher slot: ".exe" or ".EXE" as on Windows, or a
// file with the execute permission, since programs here have no extension.
bool isLauncherProgram(const QString &path);

} // namespace shell
