#include "shell/MainFormSettings.h"

#include "editor/RichEditSx.h"
#include "shell/DROPDST.h"
#include "shell/FontNames.h"
#include "shell/Utamain.h"
#include "speech/ReadingController.h"
#include "text/ColorNumber.h"
#include "tools/widgets/MsgSCR.h"
#include "widgets/ShineButton.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

namespace shell {

namespace {

text::ColorNumber numberOf(const QColor &c)
{
    return text::rgbColor(c.red(), c.green(), c.blue());
}

QColor colorOf(text::ColorNumber n)
{
    return QColor(text::redOf(n), text::greenOf(n), text::blueOf(n));
}

settings::FontRecord fontRecordOf(const QFont &f, const QColor &color)
{
    settings::FontRecord r;
    r.name = f.family();
    r.pixelSize = f.pixelSize() > 0 ? f.pixelSize() : qRound(f.pointSizeF() * 96 / 72);
    r.color = numberOf(color);
    r.style = quint8((f.bold() ? settings::FontBold : 0) | (f.italic() ? settings::FontItalic : 0) |
                     (f.underline() ? settings::FontUnderline : 0) |
                     (f.strikeOut() ? settings::FontStrikeOut : 0));
    return r;
}

QFont fontOf(const settings::FontRecord &r)
{
    QFont f = programFont(r.name, qBound(1, r.pixelSize, 500));
    f.setBold(r.style & settings::FontBold);
    f.setItalic(r.style & settings::FontItalic);
    f.setUnderline(r.style & settings::FontUnderline);
    f.setStrikeOut(r.style & settings::FontStrikeOut);
    return f;
}

int boxNumber(const QString &name)
{
    if (!name.startsWith(QLatin1String("CheckBox")))
        return 0;
    bool ok = false;
    const int n = name.mid(8).toInt(&ok);
    return ok && n >= 1 && n <= html::kBoxCount ? n : 0;
}

} // namespace

settings::PaneRecord MainFormSettings::paneRecord(const QString &pane) const
{
    const TRichEditSx *p =
        pane == QLatin1String("RichEditNx2") ? m_form.RichEditNx2() : m_form.RichEditNx1();
    settings::PaneRecord r;
    r.font = fontRecordOf(p->paneFont(), p->fontColor());
    r.color = numberOf(p->backgroundColor());
    r.vertical = p->Vertical();
    r.wordWrap = p->WordWrap();
    r.width = p == m_form.RichEditNx2() ? m_form.leftPaneWidth() : p->width();
    return r;
}

void MainFormSettings::setPaneRecord(const QString &pane, const settings::PaneRecord &r)
{
    TRichEditSx *p =
        pane == QLatin1String("RichEditNx2") ? m_form.RichEditNx2() : m_form.RichEditNx1();
    if (!r.font.name.isEmpty())
        p->setPaneFont(fontOf(r.font));
    p->setFontColor(colorOf(r.font.color));
    p->setBackgroundColor(colorOf(r.color));
    p->setVertical(r.vertical);
    p->setWordWrap(r.wordWrap);
}

settings::ScrollStripRecord MainFormSettings::scrollStripRecord() const
{
    settings::ScrollStripRecord r;
    if (tools::TMsgSCR *strip = m_form.MsgSCR1()) {
        r.msg = strip->Msg();
        r.font = fontRecordOf(strip->Font(), strip->FontColor());
        r.color = numberOf(strip->Color());
        r.interval = strip->Interval();
        r.show = strip->Show();
    }
    return r;
}

void MainFormSettings::setScrollStripRecord(const settings::ScrollStripRecord &r)
{
    if (tools::TMsgSCR *strip = m_form.MsgSCR1()) {
        strip->setMsg(r.msg);
        if (!r.font.name.isEmpty())
            strip->setStripFont(fontOf(r.font));
        strip->setFontColor(colorOf(r.font.color));
        strip->setColor(colorOf(r.color));
        strip->setInterval(r.interval);
        strip->setShow(r.show);
    }
}

settings::DropTargetRecord MainFormSettings::dropTargetRecord(const QString &dropTarget) const
{
    settings::DropTargetRecord r = m_values.dropTargets.value(dropTarget);
    const bool second = dropTarget == QLatin1String("DropDst2");
    r.control = second ? QStringLiteral("RichEditNx2") : QStringLiteral("RichEditNx1");
    if (TDropDst *d = second ? m_form.DropDst2() : m_form.DropDst1())
        r.acceptDrop = d->AcceptDrop();
    return r;
}

void MainFormSettings::setDropTargetRecord(const QString &dropTarget,
                                           const settings::DropTargetRecord &r)
{
    m_values.dropTargets.insert(dropTarget, r);
    TDropDst *d = dropTarget == QLatin1String("DropDst2") ? m_form.DropDst2() : m_form.DropDst1();
    if (d)
        d->setAcceptDrop(r.acceptDrop);
}

int MainFormSettings::windowLeft() const
{
    return m_form.geometry().left();
}
int MainFormSettings::windowTop() const
{
    return m_form.geometry().top();
}
int MainFormSettings::windowWidth() const
{
    return m_form.geometry().width();
}
int MainFormSettings::windowHeight() const
{
    return m_form.geometry().height();
}

QRect &MainFormSettings::bounds()
{
    // The bounds read so far, starting from the window's own.
    if (!m_boundsSet)
        m_bounds = m_form.geometry();
    m_boundsSet = true;
    return m_bounds;
}

void MainFormSettings::setWindowLeft(int left)
{
    bounds().moveLeft(left);
}
void MainFormSettings::setWindowTop(int top)
{
    bounds().moveTop(top);
}
void MainFormSettings::setWindowWidth(int width)
{
    bounds().setWidth(width);
}
void MainFormSettings::setWindowHeight(int height)
{
    bounds().setHeight(height);
}

bool MainFormSettings::maxForm() const
{
    return m_values.fMaxForm;
}
void MainFormSettings::setMaxForm(bool maximised)
{
    m_values.fMaxForm = maximised;
}
void MainFormSettings::setNx2Width(int width)
{
    m_values.fNx2Width = width;
}
int MainFormSettings::leftPaneWidth() const
{
    return m_form.leftPaneWidth();
}
void MainFormSettings::setUprightLength(int length)
{
    m_values.fTcyLength = qBound(2, length, 4);
}
int MainFormSettings::uprightLength() const
{
    return m_values.fTcyLength;
}
void MainFormSettings::setPoemForm(int form)
{
    m_values.fPoemForm = qBound(0, form, 4);
}
int MainFormSettings::poemForm() const
{
    return m_values.fPoemForm;
}
void MainFormSettings::setLeftPoemForm(int form)
{
    m_values.fLeftPoemForm = qBound(0, form, 4);
}
int MainFormSettings::leftPoemForm() const
{
    return m_values.fLeftPoemForm;
}

bool MainFormSettings::checkBoxChecked(const QString &name) const
{
    if (const int box = boxNumber(name))
        return m_reading ? m_html.CheckBoxChecked[size_t(box)] : m_form.htmlStyle().checked(box);
    if (auto *b = qobject_cast<QAbstractButton *>(m_form.control(name)))
        return b->isChecked();
    return false;
}

void MainFormSettings::setCheckBoxChecked(const QString &name, bool checked)
{
    if (const int box = boxNumber(name)) {
        if (m_reading)
            m_html.CheckBoxChecked[size_t(box)] = checked;
        else
            m_form.htmlStyle().setChecked(box, checked);
        return;
    }
    if (auto *b = qobject_cast<QAbstractButton *>(m_form.control(name)))
        b->setChecked(checked);
}

QString MainFormSettings::editText(const QString &name) const
{
    if (QLineEdit *e = m_form.edit(name))
        return e->text();
    return {};
}

void MainFormSettings::setEditText(const QString &name, const QString &text)
{
    if (m_reading && name == QLatin1String("Edit4"))
        m_html.Edit4Text = text;
    else if (m_reading && name == QLatin1String("Edit5"))
        m_html.Edit5Text = text;
    if (QLineEdit *e = m_form.edit(name))
        e->setText(text); // its change handler keeps the style and the hint in step
}

bool MainFormSettings::menuChecked(const QString &action) const
{
    if (QAction *a = m_form.action(action))
        return a->isChecked();
    return false;
}

void MainFormSettings::setMenuChecked(const QString &action, bool checked)
{
    if (QAction *a = m_form.action(action))
        a->setChecked(checked);
}

QString MainFormSettings::styleValue(const QString &key) const
{
    const html::HtmlStoredValues v = m_reading ? m_html : m_form.htmlStyle().storedValues();
    const QHash<QString, QString> values{
        {QStringLiteral("bgc"), v.bgc},   {QStringLiteral("mclo"), v.mclo},
        {QStringLiteral("mclt"), v.mclt}, {QStringLiteral("Lcl"), v.Lcl},
        {QStringLiteral("Dai"), v.Dai},   {QStringLiteral("Mfn"), v.Mfn},
        {QStringLiteral("fze"), v.fze},   {QStringLiteral("Lint"), v.Lint},
        {QStringLiteral("Linu"), v.Linu}};
    return values.value(key);
}

void MainFormSettings::setStyleValue(const QString &key, const QString &value)
{
    QString *slot = nullptr;
    if (key == QLatin1String("bgc"))
        slot = &m_html.bgc;
    else if (key == QLatin1String("mclo"))
        slot = &m_html.mclo;
    else if (key == QLatin1String("mclt"))
        slot = &m_html.mclt;
    else if (key == QLatin1String("Lcl"))
        slot = &m_html.Lcl;
    else if (key == QLatin1String("Dai"))
        slot = &m_html.Dai;
    else if (key == QLatin1String("Mfn"))
        slot = &m_html.Mfn;
    else if (key == QLatin1String("fze"))
        slot = &m_html.fze;
    else if (key == QLatin1String("Lint"))
        slot = &m_html.Lint;
    else if (key == QLatin1String("Linu"))
        slot = &m_html.Linu;
    if (slot)
        *slot = value;
}

bool MainFormSettings::linkOn() const
{
    return m_reading ? m_html.FLink : m_form.htmlStyle().storedValues().FLink;
}
void MainFormSettings::setLinkOn(bool on)
{
    m_html.FLink = on;
}

QString MainFormSettings::launcherPath(int slot) const
{
    return m_values.launcherPaths.value(slot);
}
void MainFormSettings::setLauncherPath(int slot, const QString &path)
{
    m_values.launcherPaths.insert(slot, path);
}

int MainFormSettings::speechSpeed() const
{
    return m_values.FSpd;
}
void MainFormSettings::setSpeechSpeed(int speed)
{
    m_values.FSpd = speed;
}
int MainFormSettings::repeatCount() const
{
    return m_values.fRepNum;
}
void MainFormSettings::setRepeatCount(int count)
{
    m_values.fRepNum = count;
}
text::ColorNumber MainFormSettings::selectionReadColor() const
{
    return m_values.fSelBgColor;
}
void MainFormSettings::setSelectionReadColor(text::ColorNumber color)
{
    m_values.fSelBgColor = color;
}
int MainFormSettings::speechId() const
{
    return m_values.fSpeechID;
}
void MainFormSettings::setSpeechId(int id)
{
    m_values.fSpeechID = id;
}
void MainFormSettings::setLastFile(const QString &path)
{
    m_values.fLastfile = path;
}
QString MainFormSettings::currentFile() const
{
    return m_form.rightPane().file();
}

void MainFormSettings::readingDone()
{
    m_reading = false;
    m_form.htmlStyle().loadSettings(m_html);
}

void MainFormSettings::setHtmlFontCaption(const QString &caption)
{
    if (auto *b = qobject_cast<QAbstractButton *>(m_form.control(QStringLiteral("HtmButton8"))))
        b->setText(caption);
}

void MainFormSettings::updateLauncherHints()
{
    m_form.updateLauncherHints(m_form.font());
}

void MainFormSettings::applyPanesAndWindow()
{
    if (m_boundsSet)
        m_form.setGeometry(m_bounds);
}

void MainFormSettings::setSavedPairColors(const QString &, const QString &)
{
    // The style state keeps its saved pair itself (loadSettings above).
}

void MainFormSettings::showMouth(bool shown)
{
    if (QWidget *mouth = m_form.control(QStringLiteral("DirectSS1")))
        mouth->setVisible(shown);
}

void MainFormSettings::listSpeakers()
{
    m_form.startSpeech();
}

int MainFormSettings::outputVolume() const
{
    return m_form.outputVolume();
}

void MainFormSettings::setVolumeBar(int volume, const QString &hint)
{
    if (auto *s = qobject_cast<QSlider *>(m_form.control(QStringLiteral("VScrollBar")))) {
        const QSignalBlocker block(s);
        s->setValue(volume);
        s->setToolTip(hint);
        s->setStatusTip(hint);
    }
}

void MainFormSettings::setSpeedBar(int speed, const QString &hint)
{
    if (auto *s = qobject_cast<QSlider *>(m_form.control(QStringLiteral("ScrollBar1")))) {
        const QSignalBlocker block(s);
        s->setValue(speed);
        s->setToolTip(hint);
        s->setStatusTip(hint);
    }
}

void MainFormSettings::setRepeatSpinner(int count)
{
    if (auto *s = qobject_cast<QSpinBox *>(m_form.control(QStringLiteral("RepUpDown")))) {
        const QSignalBlocker block(s);
        s->setValue(count);
    }
}

void MainFormSettings::setClipboardReading(bool on)
{
    m_form.reading()->applyClipSpeechAtStart(on);
}

void MainFormSettings::registerHotKey()
{
    m_form.registerHotKey();
}

void MainFormSettings::determineChosenSpeaker()
{
    m_form.stopSpeech();
}

} // namespace shell
