#pragma once
// The settings store: TRegManager holds the table of named settings (each names its INI
// section, key and default) and one TRegFiler that reads or writes one setting at a time.
//     RegManager1.filer("FSpd").readInteger()          -> 150 on a first start
//     RegManager1.filer("fspd").writeInteger(170)      // names ignore letter case
// A lookup sets the filer's current item; the next operation acts on it. Every operation
// goes to the file at once (IniFile), so nothing is cached between two of them.
//
// Errors. The store is QtCore only and shows no dialogs: a lookup of a name that is not in
// the table, and any operation while IniFileName is empty, hand their message ("['
// nosuch '] is invalid.", "can not create Inifile object.") to the error handler, which the
// main window sets to show it in an error box; the operation then does nothing (a read
// gives "", 0, false or an empty record). Without a handler the message is only kept in
// lastError(). Nothing throws. Failed writes are not errors (the settings are then simply
// not kept); write operations return false for them.
//
// The table of the program's fifty settings is data (data/settings.tsv, compiled in as
// the resource ":/settings/settings.tsv").

#include "settings/ComponentRecord.h"
#include "text/ColorNumber.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace settings {

// The window's size at first start, and the geometry that a window maximised at the last
// close gets back when restored.
constexpr int DefaultWidth = 780;
constexpr int DefaultHeight = 550;
constexpr int RestoredLeft = 16;
constexpr int RestoredTop = 16;

enum class TRegKind { Text, Integer, Boolean, Component };

struct TRegItem
{
    QString Name;
    QString Section;
    QString Ident; // a key prefix for records: "prop" gives "prop_c", "prop_d0", ...
    QString DefaultValue;
    TRegKind Kind = TRegKind::Text; // what the program stores there; the filer ignores it
    // What the value is in the window, "kind:name" (e.g. "check:CheckBox1",
    // "style:bgc", "int:speed"): loading and saving go through the SettingsTarget accessor
    // it names. Empty in tables that only read and write values.
    QString Binding;

    // A truth value's default: "1", "True" or "Yes" in any letter case.
    bool defaultIsTrue() const;
};

class TRegItems
{
public:
    TRegItems() = default;

    // The table of data/settings.tsv: columns name, section, ident, default, kind (T, I, B
    // or C) and, optionally, binding; a header row first. nullopt and a message for a
    // malformed table.
    static std::optional<TRegItems> fromTsv(const QString &tsv, QString *error = nullptr);
    // The program's fifty settings.
    static const TRegItems &programTable();

    void add(const TRegItem &item) { m_items.append(item); }
    qsizetype count() const { return m_items.size(); }
    const TRegItem &at(qsizetype i) const { return m_items.at(i); }
    // The first item of that name, ignoring letter case; -1 when none.
    qsizetype indexOf(QStringView name) const;

    QList<TRegItem>::const_iterator begin() const { return m_items.begin(); }
    QList<TRegItem>::const_iterator end() const { return m_items.end(); }

private:
    QList<TRegItem> m_items;
};

enum class TRegType { rtReg, rtIni };

class TRegManager;

class TRegFiler
{
public:
    explicit TRegFiler(TRegManager &owner) : m_owner(owner) {}

    const TRegItem *currentItem() const;

    // The value in the file, else DefaultValue.
    QString readString() const;
    bool writeString(const QString &value);
    // Decimal, or hexadecimal after "$" ("$00FF8080" is 16744576); anything else gives 0.
    int readInteger() const;
    bool writeInteger(int value); // decimal
    // The default is "1" when DefaultValue is "1", "TRUE" or "YES" in any letter case, else
    // "0"; the text read is taken as readInteger() takes it and is true when its lowest
    // eight bits are not all zero. So "1" and "257" are true, "0", "256" and "True" false.
    bool readBool() const;
    bool writeBool(bool value); // "1" or "0"
    // With an explicit section, key and default; the current item does not matter.
    QString readRaw(const QString &section, const QString &ident,
                    const QString &defaultValue) const;
    bool writeRaw(const QString &section, const QString &ident, const QString &value);
    // A hex-line record under the item's Ident (below); empty when absent.
    QByteArray readBytes() const;
    bool writeBytes(QByteArrayView bytes);

    // A component record: true when one was read and decoded, and then record holds it;
    // otherwise (no record, or one that does not decode) record is left exactly as it was.
    bool readComponent(const QString &componentName, PaneRecord &record) const;
    bool readComponent(const QString &componentName, ScrollStripRecord &record) const;
    bool readComponent(const QString &componentName, DropTargetRecord &record) const;
    bool writeComponent(const QString &componentName, const PaneRecord &record);
    bool writeComponent(const QString &componentName, const ScrollStripRecord &record);
    bool writeComponent(const QString &componentName, const DropTargetRecord &record);

private:
    friend class TRegManager;
    const TRegItem *usableItem() const;
    bool usableFile() const;
    template <typename Record> bool readRecord(const QString &componentName, Record &record) const;

    TRegManager &m_owner;
    qsizetype m_current = -1;
};

class TRegManager
{
public:
    // The program's table unless another is given.
    TRegManager();
    explicit TRegManager(TRegItems items);
    TRegManager(const TRegManager &) = delete;
    TRegManager &operator=(const TRegManager &) = delete;

    QString IniFileName() const { return m_iniFileName; }
    void setIniFileName(const QString &path) { m_iniFileName = path; }
    QString RegDir() const { return m_regDir; }
    void setRegDir(const QString &dir) { m_regDir = dir; }
    const TRegItems &RegItems() const { return m_items; }
    void setRegItems(const TRegItems &items) { m_items = items; }
    // Only the INI back-end exists; rtReg is kept as a value and reads and writes the same
    // file, since there is no registry here.
    TRegType RegType() const { return m_regType; }
    void setRegType(TRegType type) { m_regType = type; }

    // The filer with its current item set to the setting of that name (ignoring letter
    // case). An unknown name reports "[' " + name + " '] is invalid." and leaves the filer
    // without an item, so its next operation does nothing.
    TRegFiler &filer(const QString &name);

    using ErrorHandler = std::function<void(const QString &message)>;
    void setErrorHandler(ErrorHandler handler) { m_onError = std::move(handler); }
    QString lastError() const { return m_lastError; }

    void reportError(const QString &message);

private:
    friend class TRegFiler;

    TRegItems m_items;
    TRegFiler m_filer{*this};
    QString m_iniFileName;
    QString m_regDir = QStringLiteral("IniFileName");
    TRegType m_regType = TRegType::rtIni;
    ErrorHandler m_onError;
    QString m_lastError;
};

// The settings store's conversion of a text to an integer: optional sign, then decimal
// digits, or "$" (or "0x") and up to eight hexadecimal digits taken as a 32-bit pattern
// ("$FFFFFFFF" is -1); blanks around it are allowed. nullopt for anything else and for
// decimal numbers outside the 32-bit range.
std::optional<int> parseRegInteger(QStringView text);

// Hex-line records. A record under the key prefix P is the key P_c with the number of
// lines and the keys P_d0 ... P_d(n-1), each with 32 bytes as 64 upper-case hexadecimal
// digits (the last line may be shorter):
//     prop_c=2
//     prop_d0=5450463008544472...   (64 digits)
//     prop_d1=0A416363657074...
// Reading turns each pair of digits into a byte, a pair that is not hexadecimal into 0 (a
// single digit left at the end of a line is a byte of its own); a missing or zero count is
// an empty record. Writing a shorter record deletes the surplus lines first, highest index
// first, then writes the count and the lines from index 0 up; an empty record also
// deletes the count.
QStringList hexRecordLines(QByteArrayView bytes);
QByteArray bytesFromHexLine(QStringView line);

// ---- Load and save sequences --------------------------------------------------------------

// What the settings are read into at start-up and taken from at shut-down: the main window.
// Names are those of the window's controls and menu items:
//   check boxes   "CheckBox1" ... "CheckBox14", "ShowCheckBox", "WordReadCheckBox",
//                 "ClipSpeechCheckBox" (setting one runs its reaction, as a click would)
//   edits         "Edit4", "Edit5"
//   menu checks   "VH", "HHV", "WordWrap", "N14" (the context menu's 折り返し), "WordWrapH",
//                 "Joyful1", "Show1", "toClipbrd", "HotKeyCheck", "alphabet", "RubyShow1",
//                 "MoraShow1", "TateChuYoko1", "Burasage1"
//   style values  "bgc", "mclo", "mclt", "Lcl", "Dai", "Mfn", "fze", "Lint", "Linu"
//   panes         "RichEditNx1", "RichEditNx2"; drop targets "DropDst1", "DropDst2"
//   launcher      slots 1 and 2 (Expas, Expas2)
class SettingsTarget
{
public:
    virtual ~SettingsTarget() = default;

    virtual PaneRecord paneRecord(const QString &pane) const = 0;
    virtual void setPaneRecord(const QString &pane, const PaneRecord &record) = 0;
    virtual ScrollStripRecord scrollStripRecord() const = 0;
    virtual void setScrollStripRecord(const ScrollStripRecord &record) = 0;
    virtual DropTargetRecord dropTargetRecord(const QString &dropTarget) const = 0;
    virtual void setDropTargetRecord(const QString &dropTarget, const DropTargetRecord &record) = 0;

    // The window's bounds (the maximised ones while maximised) and fMaxForm.
    virtual int windowLeft() const = 0;
    virtual int windowTop() const = 0;
    virtual int windowWidth() const = 0;
    virtual int windowHeight() const = 0;
    virtual void setWindowLeft(int left) = 0;
    virtual void setWindowTop(int top) = 0;
    virtual void setWindowWidth(int width) = 0;
    virtual void setWindowHeight(int height) = 0;
    virtual bool maxForm() const = 0;
    virtual void setMaxForm(bool maximised) = 0;
    // fNx2Width is read into the window; the left pane's current width is what is saved.
    virtual void setNx2Width(int width) = 0;
    virtual int leftPaneWidth() const = 0;
    // The longest run of half-width digits or letters that vertical writing sets upright.
    virtual void setUprightLength(int length) = 0;
    virtual int uprightLength() const = 0;
    // The poem form each pane counts sounds against (0 自動, 1 俳句, 2 短歌, 3 旋頭歌, 4 自由律).
    virtual void setPoemForm(int form) = 0;
    virtual int poemForm() const = 0;
    virtual void setLeftPoemForm(int form) = 0;
    virtual int leftPoemForm() const = 0;

    virtual bool checkBoxChecked(const QString &name) const = 0;
    virtual void setCheckBoxChecked(const QString &name, bool checked) = 0;
    virtual QString editText(const QString &name) const = 0;
    virtual void setEditText(const QString &name, const QString &text) = 0;
    virtual bool menuChecked(const QString &action) const = 0;
    virtual void setMenuChecked(const QString &action, bool checked) = 0;
    virtual QString styleValue(const QString &key) const = 0;
    virtual void setStyleValue(const QString &key, const QString &value) = 0;
    virtual bool linkOn() const = 0; // FLink
    virtual void setLinkOn(bool on) = 0;
    virtual QString launcherPath(int slot) const = 0;
    virtual void setLauncherPath(int slot, const QString &path) = 0;

    virtual int speechSpeed() const = 0; // FSpd
    virtual void setSpeechSpeed(int speed) = 0;
    virtual int repeatCount() const = 0; // fRepNum
    virtual void setRepeatCount(int count) = 0;
    virtual text::ColorNumber selectionReadColor() const = 0; // fSelBgColor
    virtual void setSelectionReadColor(text::ColorNumber color) = 0;
    virtual int speechId() const = 0; // fSpeechID
    virtual void setSpeechId(int id) = 0;
    // fLastfile is read into the window; CurrentFile is what is saved ("" when untitled).
    virtual void setLastFile(const QString &path) = 0;
    virtual QString currentFile() const = 0;

    // Every setting has been read; what follows settles those that depend on several.
    virtual void readingDone() {}
    // The page font's button follows the "Mfn" setting: HtmButton8, "明" or "ゴ".
    virtual void setHtmlFontCaption(const QString &caption) = 0;

    // The first step of the shut-down: fSpeechID from the chosen speaker.
    virtual void determineChosenSpeaker() = 0;
};

// Reads every setting into the target in the order of the table's use at start-up, then
// settles what depends on several of them (the bounds of a window closed maximised, the
// menu marks that follow the panes and check boxes, boxes that exclude each other).
// IniFileName must be set before. The window's own start-up follows (shell/StartupSteps.h).
void loadSettings(TRegManager &reg, SettingsTarget &target);
// Determines the chosen speaker, then writes every setting. The panes are expected to be
// empty already, so that no document text reaches the file.
void saveSettings(TRegManager &reg, SettingsTarget &target);

} // namespace settings
