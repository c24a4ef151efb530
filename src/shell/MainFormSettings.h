#pragma once
// The main window as the settings store sees it: every value the load and save sequences
// read from or apply to the window, by the controls' own names.

#include "html/HtmlStyle.h"
#include "settings/RegMng.h"
#include "shell/StartupSteps.h"
#include "shell/WindowValues.h"

#include <QRect>

namespace shell {

class TMainForm1;

class MainFormSettings final : public settings::SettingsTarget, public StartupSteps
{
public:
    MainFormSettings(TMainForm1 &form, WindowValues &values) : m_form(form), m_values(values) {}

    settings::PaneRecord paneRecord(const QString &pane) const override;
    void setPaneRecord(const QString &pane, const settings::PaneRecord &record) override;
    settings::ScrollStripRecord scrollStripRecord() const override;
    void setScrollStripRecord(const settings::ScrollStripRecord &record) override;
    settings::DropTargetRecord dropTargetRecord(const QString &dropTarget) const override;
    void setDropTargetRecord(const QString &dropTarget,
                             const settings::DropTargetRecord &record) override;
    int windowLeft() const override;
    int windowTop() const override;
    int windowWidth() const override;
    int windowHeight() const override;
    void setWindowLeft(int left) override;
    void setWindowTop(int top) override;
    void setWindowWidth(int width) override;
    void setWindowHeight(int height) override;
    bool maxForm() const override;
    void setMaxForm(bool maximised) override;
    void setNx2Width(int width) override;
    int leftPaneWidth() const override;
    void setUprightLength(int length) override;
    int uprightLength() const override;
    void setPoemForm(int form) override;
    int poemForm() const override;
    void setLeftPoemForm(int form) override;
    int leftPoemForm() const override;
    bool checkBoxChecked(const QString &name) const override;
    void setCheckBoxChecked(const QString &name, bool checked) override;
    QString editText(const QString &name) const override;
    void setEditText(const QString &name, const QString &text) override;
    bool menuChecked(const QString &action) const override;
    void setMenuChecked(const QString &action, bool checked) override;
    QString styleValue(const QString &key) const override;
    void setStyleValue(const QString &key, const QString &value) override;
    bool linkOn() const override;
    void setLinkOn(bool on) override;
    QString launcherPath(int slot) const override;
    void setLauncherPath(int slot, const QString &path) override;
    int speechSpeed() const override;
    void setSpeechSpeed(int speed) override;
    int repeatCount() const override;
    void setRepeatCount(int count) override;
    text::ColorNumber selectionReadColor() const override;
    void setSelectionReadColor(text::ColorNumber color) override;
    int speechId() const override;
    void setSpeechId(int id) override;
    void setLastFile(const QString &path) override;
    QString currentFile() const override;
    void readingDone() override;
    void setHtmlFontCaption(const QString &caption) override;
    void determineChosenSpeaker() override;

    // The window's start-up steps (runStartupSteps).
    void updateLauncherHints() override;
    void applyPanesAndWindow() override;
    void setSavedPairColors(const QString &first, const QString &second) override;
    void showMouth(bool shown) override;
    void listSpeakers() override;
    int outputVolume() const override;
    void setVolumeBar(int volume, const QString &hint) override;
    void setSpeedBar(int speed, const QString &hint) override;
    void setRepeatSpinner(int count) override;
    void setClipboardReading(bool on) override;
    void registerHotKey() override;

private:
    QRect &bounds();

    TMainForm1 &m_form;
    WindowValues &m_values;
    // While the file is read, the HTML values are gathered and then given to the style
    // state at once, which runs the check boxes' reactions in their stored order.
    bool m_reading = true;
    html::HtmlStoredValues m_html;
    QRect m_bounds;
    bool m_boundsSet = false;
};

} // namespace shell
