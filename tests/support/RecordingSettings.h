#pragma once
// A stand-in for the main window as the settings store sees it: it holds what the window
// would hold and logs every call that changes it, in order.

#include "settings/RegMng.h"

#include <QMap>
#include <QStringList>

namespace testsupport {

class RecordingTarget : public settings::SettingsTarget
{
public:
    QStringList log;

    QMap<QString, settings::PaneRecord> panes;
    settings::ScrollStripRecord strip;
    QMap<QString, settings::DropTargetRecord> dropTargets;
    int left = 0, top = 0, width = 0, height = 0;
    bool maximised = false;
    int nx2Width = -1;
    int leftWidth = 129;
    int tcyLength = 0;
    int poemForms[2] = {0, 0};
    QMap<QString, bool> boxes;
    QMap<QString, QString> edits;
    QMap<QString, bool> menus;
    QMap<QString, QString> style;
    bool link = false;
    QString launcher[3];
    int speed = 0, repeat = 0, speaker = 0;
    text::ColorNumber selColor = 0;
    QString lastFile;
    QString current;
    int chosenSpeaker = 0;

    RecordingTarget()
    {
        // The window's own defaults before the settings are read.
        settings::PaneRecord right;
        right.font = {QStringLiteral("ＭＳ 明朝"), 18, text::rgbColor(57, 66, 85), 0, 128};
        right.color = text::rgbColor(244, 245, 233);
        right.vertical = true;
        settings::PaneRecord leftPane = right;
        leftPane.font.color = text::rgbColor(0, 0, 255);
        leftPane.color = text::rgbColor(213, 227, 221);
        leftPane.width = 129;
        panes[QStringLiteral("RichEditNx1")] = right;
        panes[QStringLiteral("RichEditNx2")] = leftPane;
        strip.msg = QStringLiteral("くらきよりくらき道にぞ入りぬべき");
        strip.font = {QStringLiteral("ＭＳ 明朝"), 17, 0xFFFFFF, 0, 128};
        dropTargets[QStringLiteral("DropDst1")] = {QStringLiteral("RichEditNx1"), true};
        dropTargets[QStringLiteral("DropDst2")] = {QStringLiteral("RichEditNx2"), true};
    }

    settings::PaneRecord paneRecord(const QString &pane) const override
    {
        return panes.value(pane);
    }
    void setPaneRecord(const QString &pane, const settings::PaneRecord &r) override
    {
        log << QStringLiteral("pane ") + pane;
        panes[pane] = r;
    }
    settings::ScrollStripRecord scrollStripRecord() const override { return strip; }
    void setScrollStripRecord(const settings::ScrollStripRecord &r) override
    {
        log << QStringLiteral("strip");
        strip = r;
    }
    settings::DropTargetRecord dropTargetRecord(const QString &d) const override
    {
        return dropTargets.value(d);
    }
    void setDropTargetRecord(const QString &d, const settings::DropTargetRecord &r) override
    {
        log << QStringLiteral("drop ") + d;
        dropTargets[d] = r;
    }
    int windowLeft() const override { return left; }
    int windowTop() const override { return top; }
    int windowWidth() const override { return width; }
    int windowHeight() const override { return height; }
    void setWindowLeft(int v) override { set(QStringLiteral("left"), left, v); }
    void setWindowTop(int v) override { set(QStringLiteral("top"), top, v); }
    void setWindowWidth(int v) override { set(QStringLiteral("width"), width, v); }
    void setWindowHeight(int v) override { set(QStringLiteral("height"), height, v); }
    bool maxForm() const override { return maximised; }
    void setMaxForm(bool v) override { set(QStringLiteral("fMaxForm"), maximised, v); }
    void setNx2Width(int v) override { set(QStringLiteral("fNx2Width"), nx2Width, v); }
    int leftPaneWidth() const override { return leftWidth; }
    void setUprightLength(int v) override { set(QStringLiteral("fTcyLength"), tcyLength, v); }
    int uprightLength() const override { return tcyLength; }
    void setPoemForm(int v) override { set(QStringLiteral("fPoemForm"), poemForms[0], v); }
    int poemForm() const override { return poemForms[0]; }
    void setLeftPoemForm(int v) override { set(QStringLiteral("fLeftPoemForm"), poemForms[1], v); }
    int leftPoemForm() const override { return poemForms[1]; }
    bool checkBoxChecked(const QString &n) const override { return boxes.value(n); }
    void setCheckBoxChecked(const QString &n, bool v) override
    {
        log << n + QStringLiteral(" ") + QString::number(v);
        boxes[n] = v;
    }
    QString editText(const QString &n) const override { return edits.value(n); }
    void setEditText(const QString &n, const QString &t) override
    {
        log << n + QStringLiteral(" ") + t;
        edits[n] = t;
    }
    bool menuChecked(const QString &a) const override { return menus.value(a); }
    void setMenuChecked(const QString &a, bool v) override
    {
        log << QStringLiteral("menu ") + a + QStringLiteral(" ") + QString::number(v);
        menus[a] = v;
    }
    QString styleValue(const QString &k) const override { return style.value(k); }
    void setStyleValue(const QString &k, const QString &v) override
    {
        log << k + QStringLiteral(" ") + v;
        style[k] = v;
    }
    bool linkOn() const override { return link; }
    void setLinkOn(bool v) override { set(QStringLiteral("FLink"), link, v); }
    QString launcherPath(int slot) const override { return launcher[slot]; }
    void setLauncherPath(int slot, const QString &p) override
    {
        log << QStringLiteral("launcher %1 ").arg(slot) + p;
        launcher[slot] = p;
    }
    int speechSpeed() const override { return speed; }
    void setSpeechSpeed(int v) override { set(QStringLiteral("FSpd"), speed, v); }
    int repeatCount() const override { return repeat; }
    void setRepeatCount(int v) override { set(QStringLiteral("fRepNum"), repeat, v); }
    text::ColorNumber selectionReadColor() const override { return selColor; }
    void setSelectionReadColor(text::ColorNumber c) override
    {
        log << QStringLiteral("fSelBgColor %1").arg(c);
        selColor = c;
    }
    int speechId() const override { return speaker; }
    void setSpeechId(int v) override { set(QStringLiteral("fSpeechID"), speaker, v); }
    void setLastFile(const QString &p) override
    {
        log << QStringLiteral("fLastfile ") + p;
        lastFile = p;
    }
    QString currentFile() const override { return current; }

    void setHtmlFontCaption(const QString &c) override { log << QStringLiteral("caption ") + c; }
    void determineChosenSpeaker() override
    {
        log << QStringLiteral("determine speaker");
        speaker = chosenSpeaker;
    }

    // The state a settings round trip must keep.
    bool sameSettingsAs(const RecordingTarget &o) const
    {
        return panes == o.panes && strip == o.strip && dropTargets == o.dropTargets &&
               left == o.left && top == o.top && width == o.width && height == o.height &&
               maximised == o.maximised && nx2Width == o.nx2Width && tcyLength == o.tcyLength &&
               poemForms[0] == o.poemForms[0] && poemForms[1] == o.poemForms[1] &&
               boxes == o.boxes && edits == o.edits && menus == o.menus && style == o.style &&
               link == o.link && launcher[1] == o.launcher[1] && launcher[2] == o.launcher[2] &&
               speed == o.speed && repeat == o.repeat && speaker == o.speaker &&
               selColor == o.selColor && lastFile == o.lastFile;
    }

protected:
    template <typename T> void set(const QString &what, T &field, T v)
    {
        log << what + QStringLiteral(" ") + QString::number(v);
        field = v;
    }
};

} // namespace testsupport
