#include "shell/TextDlgs.h"

#include "shell/FontNames.h"
#include "text/FileEncoding.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>

namespace shell {

TTextOpenDialog::TTextOpenDialog(QWidget *parent) : QFileDialog(parent)
{
    setOption(QFileDialog::DontUseNativeDialog, true);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFile);
    m_check = new QCheckBox(QStringLiteral("Preview(&P)"), this);
    m_check->setChecked(true);
    m_box = new QPlainTextEdit(this);
    m_box->setReadOnly(true);
    m_box->setFont(programFont(QStringLiteral("Arial"), 13));
    m_box->setMaximumHeight(120);
    if (auto *grid = qobject_cast<QGridLayout *>(layout())) {
        const int row = grid->rowCount();
        grid->addWidget(m_check, row, 0, 1, grid->columnCount());
        grid->addWidget(m_box, row + 1, 0, 1, grid->columnCount());
    }
    connect(m_check, &QCheckBox::toggled, this, [this](bool on) {
        m_previewOn = on;
        if (!on)
            m_box->clear();
    });
    connect(this, &QFileDialog::currentChanged, this, &TTextOpenDialog::showPreview);
    connect(this, &QFileDialog::filterSelected, this, &TTextOpenDialog::typeChosen);
}

void TTextOpenDialog::setPreview(bool on)
{
    m_previewOn = on;
    m_check->setChecked(on);
}

QString TTextOpenDialog::previewText() const
{
    return m_box->toPlainText();
}

QString TTextOpenDialog::typeExtension(const QString &patterns)
{
    const qsizetype dot = patterns.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return {};
    qsizetype end = patterns.indexOf(QRegularExpression(QStringLiteral("[; )]")), dot);
    if (end < 0)
        end = patterns.size();
    return patterns.mid(dot, end - dot);
}

void TTextOpenDialog::showPreview(const QString &path)
{
    m_box->clear();
    if (!m_previewOn || path.contains(QLatin1Char('*')) || path.contains(QLatin1Char('?')) ||
        !QFileInfo(path).isFile())
        return;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return;
    const QByteArray head = f.read(1024);
    m_box->setPlainText(text::decodeText(head, text::detectEncoding(head)));
}

void TTextOpenDialog::typeChosen(const QString &nameFilter)
{
    // "HTML (*.HTML *.HTM)": the extension of the first pattern becomes the default.
    const qsizetype open = nameFilter.indexOf(QLatin1Char('('));
    const QString patterns = open >= 0 ? nameFilter.mid(open + 1) : nameFilter;
    const QString ext = typeExtension(patterns);
    setDefaultSuffix(ext.mid(1));
    if (auto *nameBox = findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))) {
        QString name = nameBox->text();
        if (name.isEmpty()) {
            name = QLatin1Char('*') + ext;
        } else {
            const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
            name = (dot >= 0 ? name.left(dot) : name) + ext;
        }
        nameBox->setText(name);
    }
}

} // namespace shell
