#include "shell/Unit1.h"

#include "html/HtmlStyle.h"
#include "shell/DROPDST.h"
#include "shell/ShellResources.h"
#include "shell/Utamain.h"
#include "shell/WindowRules.h"
#include "text/ShellLink.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace shell {

TColorEdit::TColorEdit(QWidget *parent) : QLineEdit(parent) {}

void TColorEdit::focusInEvent(QFocusEvent *e)
{
    m_normal = palette();
    QPalette p = m_normal;
    p.setColor(QPalette::Base, m_enter);
    setPalette(p);
    QLineEdit::focusInEvent(e);
}

void TColorEdit::focusOutEvent(QFocusEvent *e)
{
    setPalette(m_normal);
    QLineEdit::focusOutEvent(e);
}

bool isLauncherProgram(const QString &path)
{
    const QString ext = fileExtension(path);
    if (ext == QLatin1String(".exe") || ext == QLatin1String(".EXE"))
        return true;
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable() &&
           ext.compare(QLatin1String(".exe"), Qt::CaseInsensitive) != 0;
}

TAboutBox::TAboutBox(TMainForm1 &form) : QDialog(&form), m_form(form)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About & 設定"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(239, 237, 228));
    setPalette(pal);
    setAutoFillBackground(true);

    auto *column = new QVBoxLayout(this);
    column->addWidget(new QLabel(programNameAndVersion(), this));
    column->addWidget(new QLabel(QStringLiteral("　ミニランチャー　ドラッグ＆ドロップ"), this));
    auto *fields = new QFormLayout;
    column->addLayout(fields);
    const html::HtmlStyle &s = m_form.htmlStyle().style();
    const std::pair<int, const char *> rows[] = {
        {1, "左　起"}, {2, "右　起"}, {3, "背景色"}, {5, "前の色"},
        {7, "線の色"}, {4, "題名色"}, {6, "後の色"}, {8, "Font"},
    };
    for (const auto &[n, caption] : rows) {
        auto *e = new TColorEdit(this);
        e->setObjectName(QStringLiteral("ColorEdit%1").arg(n));
        e->setMinimumWidth(260);
        fields->addRow(QString::fromUtf8(caption), e);
        m_edits.insert(n, e);
    }
    m_edits[1]->setReadOnly(true);
    m_edits[2]->setReadOnly(true);
    m_edits[3]->setText(s.bgc);
    m_edits[4]->setText(s.Dai);
    m_edits[5]->setText(s.mclo);
    m_edits[6]->setText(s.mclt);
    m_edits[7]->setText(s.Lcl);
    m_edits[8]->setText(s.Mfn);
    m_size = new QLabel(s.fze, this);
    m_size->setObjectName(QStringLiteral("Label15"));
    m_size->setCursor(Qt::PointingHandCursor);
    m_size->installEventFilter(this);
    fields->addRow(QStringLiteral("Font size 2/3 Click--> "), m_size);
    m_link = new QCheckBox(QStringLiteral("  LINK on/off"), this);
    m_link->setObjectName(QStringLiteral("LCheckBox1"));
    m_link->setChecked(s.FLink);
    fields->addRow(QString(), m_link);
    for (const auto &[n, caption] : {std::pair<int, const char *>{9, "Link text"}, {10, "url"}}) {
        auto *e = new TColorEdit(this);
        e->setObjectName(QStringLiteral("ColorEdit%1").arg(n));
        fields->addRow(QString::fromUtf8(caption), e);
        m_edits.insert(n, e);
    }
    m_edits[9]->setText(s.Lint);
    m_edits[9]->setToolTip(s.Lint);
    m_edits[10]->setText(s.Linu);
    m_edits[10]->setToolTip(s.Linu);
    auto link = [this] {
        m_form.htmlStyle().setLink(m_edits[9]->text(), m_edits[10]->text(), m_link->isChecked());
    };
    // The link flag, text and address change at once.
    connect(m_link, &QCheckBox::clicked, this, link);
    connect(m_edits[9], &QLineEdit::textChanged, this, [this, link](const QString &t) {
        m_edits[9]->setToolTip(t);
        link();
    });
    connect(m_edits[10], &QLineEdit::textChanged, this, [this, link](const QString &t) {
        m_edits[10]->setToolTip(t);
        link();
    });

    auto *buttons = new QHBoxLayout;
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ShineSpeedButton2"));
    ok->setToolTip(QStringLiteral("反映"));
    auto *exit = new QPushButton(QStringLiteral("Exit"), this);
    exit->setObjectName(QStringLiteral("ShineSpeedButton1"));
    exit->setToolTip(QStringLiteral("OK + Exit"));
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(exit);
    column->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &TAboutBox::ShineSpeedButton2Click);
    connect(exit, &QPushButton::clicked, this, &TAboutBox::ShineSpeedButton1Click);

    auto *drop1 = new TDropDst(this, {m_edits[1]});
    drop1->OnFileDrop = [this](const QStringList &f, const QPoint &) { DropDst1FileDrop(f); };
    auto *drop2 = new TDropDst(this, {m_edits[2]});
    drop2->OnFileDrop = [this](const QStringList &f, const QPoint &) { DropDst2FileDrop(f); };
    setFixedSize(sizeHint());
    showSlot(1);
    showSlot(2);
}

bool TAboutBox::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == m_size && e->type() == QEvent::MouseButtonPress) {
        Label15Click();
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

void TAboutBox::Label15Click()
{
    const QString size =
        m_size->text() != QLatin1String("2") ? QStringLiteral("2") : QStringLiteral("3");
    m_size->setText(size);
    m_form.htmlStyle().setFontSize(size);
}

void TAboutBox::ShineSpeedButton2Click()
{
    html::HtmlStyleState &h = m_form.htmlStyle();
    h.setColorText(html::ColorTarget::Background, m_edits[3]->text());
    h.setColorText(html::ColorTarget::Heading, m_edits[4]->text());
    h.setColorText(html::ColorTarget::FirstText, m_edits[5]->text());
    h.setColorText(html::ColorTarget::SecondText, m_edits[6]->text());
    h.setColorText(html::ColorTarget::Rule, m_edits[7]->text());
    h.setMfn(m_edits[8]->text());
    h.setLink(m_edits[9]->text(), m_edits[10]->text(), m_link->isChecked());
}

void TAboutBox::ShineSpeedButton1Click()
{
    ShineSpeedButton2Click();
    close();
}

void TAboutBox::showSlot(int slot)
{
    TColorEdit *e = m_edits[slot];
    const QFontMetrics fm(font());
    e->setText(shortenPath(m_form.launcherPath(slot), e->width() - 10,
                           [&fm](const QString &t) { return fm.horizontalAdvance(t); }));
}

void TAboutBox::fillSlot(int slot, const QStringList &files)
{
    if (files.isEmpty() || files.constFirst().isEmpty())
        return;
    QString path = files.constFirst();
    if (fileExtension(path) == QLatin1String(".lnk"))
        path = text::resolveShortcut(path).path;
    if (!isLauncherProgram(path))
        return;
    m_form.setLauncherPath(slot, path);
    showSlot(slot);
    m_form.updateLauncherHints(font());
}

} // namespace shell
