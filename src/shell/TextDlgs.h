#pragma once
// TTextOpenDialog: the open dialog with a preview. Below the file list a check box
// "Preview(&P)" and a read-only box in "Arial" show the first 1024 bytes of the selected
// file, decoded as the file would be opened. The default extension follows the chosen
// file type (its first pattern's extension without the dot: "txt", "HTML"); a change of
// type also gives the name in the file-name box that extension.

#include <QFileDialog>

class QCheckBox;
class QPlainTextEdit;

namespace shell {

class TTextOpenDialog final : public QFileDialog
{
    Q_OBJECT
public:
    explicit TTextOpenDialog(QWidget *parent = nullptr);

    bool Preview() const { return m_previewOn; }
    void setPreview(bool on);
    QString previewText() const;
    // The extension of a file type of the program's filter: ".txt" for "*.txt", ".HTML"
    // for "*.HTML;*.HTM".
    static QString typeExtension(const QString &patterns);

private:
    void showPreview(const QString &path);
    void typeChosen(const QString &nameFilter);

    QCheckBox *m_check = nullptr;
    QPlainTextEdit *m_box = nullptr;
    bool m_previewOn = true;
};

} // namespace shell
