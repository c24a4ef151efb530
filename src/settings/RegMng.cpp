#include "settings/RegMng.h"

#include "settings/IniFile.h"

#include <QDir>

#include <QFile>
#include <QHash>
#include <QMap>
#include <QSet>

#include <algorithm>
#include <limits>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initSettingsQrc()
{
    Q_INIT_RESOURCE(settings);
}

namespace settings {

namespace {

const QString InvalidFileMessage = QStringLiteral("can not create Inifile object.");

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

// The line index of a key "<prefix>_d<index>", -1 for any other key. Only the plain decimal
// form counts ("prop_d07" is not line 7), as a lookup of "prop_d7" would not find it.
qsizetype dataLineIndex(QStringView key, QStringView prefix)
{
    const QString head = prefix.toString() + QStringLiteral("_d");
    if (!key.startsWith(head, Qt::CaseInsensitive))
        return -1;
    const QStringView digits = key.sliced(head.size());
    if (digits.isEmpty() || digits.size() > 9 || (digits.size() > 1 && digits[0] == u'0'))
        return -1;
    qsizetype index = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return -1;
        index = index * 10 + (c.unicode() - u'0');
    }
    return index;
}

QString countKey(const QString &prefix)
{
    return prefix + QStringLiteral("_c");
}

QString lineKey(const QString &prefix, qsizetype index)
{
    return prefix + QStringLiteral("_d") + QString::number(index);
}

TRegKind kindFromLetter(QStringView letter, bool *ok)
{
    *ok = true;
    if (letter == u"T")
        return TRegKind::Text;
    if (letter == u"I")
        return TRegKind::Integer;
    if (letter == u"B")
        return TRegKind::Boolean;
    if (letter == u"C")
        return TRegKind::Component;
    *ok = false;
    return TRegKind::Text;
}

} // namespace

// ---- Conversions ----

std::optional<int> parseRegInteger(QStringView text)
{
    QStringView t = text;
    while (!t.isEmpty() && (t.front() == u' ' || t.front() == u'\t'))
        t = t.sliced(1);
    while (!t.isEmpty() && (t.back() == u' ' || t.back() == u'\t'))
        t.chop(1);
    bool negative = false;
    if (!t.isEmpty() && (t.front() == u'-' || t.front() == u'+')) {
        negative = t.front() == u'-';
        t = t.sliced(1);
    }
    if (t.isEmpty())
        return std::nullopt;

    if (t.front() == u'$' || t.startsWith(u"0x", Qt::CaseInsensitive)) {
        t = t.sliced(t.front() == u'$' ? 1 : 2);
        if (t.isEmpty())
            return std::nullopt;
        quint64 value = 0;
        for (QChar c : t) {
            const int d = hexDigit(c);
            if (d < 0)
                return std::nullopt;
            value = value << 4 | quint64(d);
            if (value > std::numeric_limits<quint32>::max())
                return std::nullopt;
        }
        const quint32 bits = negative ? quint32(0u - quint32(value)) : quint32(value);
        return int(bits);
    }

    qint64 value = 0;
    for (QChar c : t) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

QStringList hexRecordLines(QByteArrayView bytes)
{
    constexpr qsizetype DigitsPerLine = 64;
    const QString hex = QString::fromLatin1(bytes.toByteArray().toHex().toUpper());
    QStringList lines;
    for (qsizetype at = 0; at < hex.size(); at += DigitsPerLine)
        lines.append(hex.mid(at, DigitsPerLine));
    return lines;
}

QByteArray bytesFromHexLine(QStringView line)
{
    QByteArray bytes;
    bytes.reserve(line.size() / 2 + 1);
    for (qsizetype at = 0; at < line.size(); at += 2) {
        const int high = hexDigit(line[at]);
        if (at + 1 == line.size()) {
            bytes.append(char(high < 0 ? 0 : high));
            break;
        }
        const int low = hexDigit(line[at + 1]);
        bytes.append(char(high < 0 || low < 0 ? 0 : high << 4 | low));
    }
    return bytes;
}

// ---- TRegItems ----

std::optional<TRegItems> TRegItems::fromTsv(const QString &tsv, QString *error)
{
    auto fail = [error](const QString &message) -> std::optional<TRegItems> {
        if (error)
            *error = message;
        return std::nullopt;
    };
    QStringList rows = tsv.split(u'\n');
    while (!rows.isEmpty() && rows.back().trimmed().isEmpty())
        rows.removeLast();
    const QString header = rows.isEmpty() ? QString() : rows.front().trimmed();
    const QString columns = QStringLiteral("name\tsection\tident\tdefault\tkind");
    if (header != columns && header != columns + QStringLiteral("\tbinding"))
        return fail(QStringLiteral("the header row is missing"));
    const qsizetype fields = header.count(u'\t') + 1;
    TRegItems items;
    for (qsizetype r = 1; r < rows.size(); ++r) {
        QString row = rows[r];
        if (row.endsWith(u'\r'))
            row.chop(1);
        const QStringList f = row.split(u'\t');
        if (f.size() != fields)
            return fail(QStringLiteral("row %1 has %2 fields").arg(r).arg(f.size()));
        bool ok = false;
        const TRegKind kind = kindFromLetter(f[4], &ok);
        if (!ok || f[0].isEmpty() || f[1].isEmpty() || f[2].isEmpty())
            return fail(QStringLiteral("row %1 is incomplete").arg(r));
        if (items.indexOf(f[0]) >= 0)
            return fail(QStringLiteral("row %1 repeats the name %2").arg(r).arg(f[0]));
        items.add({f[0], f[1], f[2], f[3], kind, fields > 5 ? f[5] : QString()});
    }
    return items;
}

const TRegItems &TRegItems::programTable()
{
    static const TRegItems table = [] {
        initSettingsQrc();
        QFile file(QStringLiteral(":/settings/settings.tsv"));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("The settings table :/settings/settings.tsv is not compiled in");
        QString error;
        std::optional<TRegItems> items =
            TRegItems::fromTsv(QString::fromUtf8(file.readAll()), &error);
        if (!items)
            qFatal("The settings table is malformed: %s", qPrintable(error));
        return *items;
    }();
    return table;
}

qsizetype TRegItems::indexOf(QStringView name) const
{
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (m_items[i].Name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

// ---- TRegManager ----

TRegManager::TRegManager() : m_items(TRegItems::programTable()) {}

TRegManager::TRegManager(TRegItems items) : m_items(std::move(items)) {}

TRegFiler &TRegManager::filer(const QString &name)
{
    m_filer.m_current = m_items.indexOf(name);
    if (m_filer.m_current < 0)
        reportError(QStringLiteral("[' ") + name + QStringLiteral(" '] is invalid."));
    return m_filer;
}

void TRegManager::reportError(const QString &message)
{
    m_lastError = message;
    if (m_onError)
        m_onError(message);
}

// ---- TRegFiler ----

const TRegItem *TRegFiler::currentItem() const
{
    return m_current >= 0 && m_current < m_owner.m_items.count() ? &m_owner.m_items.at(m_current)
                                                                 : nullptr;
}

bool TRegFiler::usableFile() const
{
    if (!m_owner.m_iniFileName.isEmpty())
        return true;
    m_owner.reportError(InvalidFileMessage);
    return false;
}

// The item of the last lookup when there is one and the file name is set. After a failed
// lookup the operation does nothing, without a second message.
const TRegItem *TRegFiler::usableItem() const
{
    const TRegItem *item = currentItem();
    return item && usableFile() ? item : nullptr;
}

QString TRegFiler::readString() const
{
    const TRegItem *item = usableItem();
    if (!item)
        return {};
    return IniFile(m_owner.m_iniFileName)
        .readString(item->Section, item->Ident, item->DefaultValue);
}

bool TRegFiler::writeString(const QString &value)
{
    const TRegItem *item = usableItem();
    return item && IniFile(m_owner.m_iniFileName).writeString(item->Section, item->Ident, value);
}

int TRegFiler::readInteger() const
{
    return parseRegInteger(readString()).value_or(0);
}

bool TRegFiler::writeInteger(int value)
{
    return writeString(QString::number(value));
}

bool TRegItem::defaultIsTrue() const
{
    const QString d = DefaultValue.toUpper();
    return d == u"1" || d == u"TRUE" || d == u"YES";
}

bool TRegFiler::readBool() const
{
    const TRegItem *item = usableItem();
    if (!item)
        return false;
    const QString text =
        IniFile(m_owner.m_iniFileName)
            .readString(item->Section, item->Ident,
                        item->defaultIsTrue() ? QStringLiteral("1") : QStringLiteral("0"));
    return (parseRegInteger(text).value_or(0) & 0xFF) != 0;
}

bool TRegFiler::writeBool(bool value)
{
    return writeString(value ? QStringLiteral("1") : QStringLiteral("0"));
}

QString TRegFiler::readRaw(const QString &section, const QString &ident,
                           const QString &defaultValue) const
{
    if (!usableFile())
        return {};
    return IniFile(m_owner.m_iniFileName).readString(section, ident, defaultValue);
}

bool TRegFiler::writeRaw(const QString &section, const QString &ident, const QString &value)
{
    return usableFile() && IniFile(m_owner.m_iniFileName).writeString(section, ident, value);
}

QByteArray TRegFiler::readBytes() const
{
    const TRegItem *item = usableItem();
    if (!item)
        return {};
    const IniFile ini(m_owner.m_iniFileName);
    const int count =
        parseRegInteger(ini.readString(item->Section, countKey(item->Ident), QStringLiteral("0")))
            .value_or(0);
    if (count <= 0)
        return {};
    // One read of the section rather than one per line: a damaged count of two billion
    // then costs no more than the keys that are really there. A missing line adds nothing.
    QMap<qsizetype, QString> lines;
    for (const IniEntry &e : ini.sectionEntries(item->Section)) {
        const qsizetype index = dataLineIndex(e.key, item->Ident);
        if (index >= 0 && index < count && !lines.contains(index))
            lines.insert(index, e.value);
    }
    QByteArray bytes;
    for (const QString &line : std::as_const(lines))
        bytes += bytesFromHexLine(line);
    return bytes;
}

bool TRegFiler::writeBytes(QByteArrayView bytes)
{
    const TRegItem *item = usableItem();
    if (!item)
        return false;
    IniFile ini(m_owner.m_iniFileName);
    const QStringList lines = hexRecordLines(bytes);
    const qsizetype newCount = lines.size();

    // The surplus lines are found from the keys themselves rather than from the old count
    // alone, so a line left outside a damaged count goes too, and a count of two billion
    // does not mean two billion deletions. They go highest index first: 40 lines shrinking
    // to 12 delete prop_d39, prop_d38, ... prop_d12.
    QList<qsizetype> surplus;
    for (const IniEntry &e : ini.sectionEntries(item->Section)) {
        const qsizetype index = dataLineIndex(e.key, item->Ident);
        if (index >= newCount && !surplus.contains(index))
            surplus.append(index);
    }
    std::sort(surplus.begin(), surplus.end(), std::greater<>());
    bool ok = true;
    for (qsizetype index : surplus)
        ok = ini.deleteKey(item->Section, lineKey(item->Ident, index)) && ok;
    if (newCount == 0)
        return ini.deleteKey(item->Section, countKey(item->Ident)) && ok;

    ok = ini.writeString(item->Section, countKey(item->Ident), QString::number(newCount)) && ok;
    for (qsizetype i = 0; i < newCount; ++i)
        ok = ini.writeString(item->Section, lineKey(item->Ident, i), lines[i]) && ok;
    return ok;
}

template <typename Record>
bool TRegFiler::readRecord(const QString &componentName, Record &record) const
{
    const QByteArray bytes = readBytes();
    if (bytes.isEmpty())
        return false;
    std::optional<Record> decoded = decodeComponent(bytes, componentName, record);
    if (!decoded)
        return false;
    record = std::move(*decoded);
    return true;
}

bool TRegFiler::readComponent(const QString &componentName, PaneRecord &record) const
{
    return readRecord(componentName, record);
}

bool TRegFiler::readComponent(const QString &componentName, ScrollStripRecord &record) const
{
    return readRecord(componentName, record);
}

bool TRegFiler::readComponent(const QString &componentName, DropTargetRecord &record) const
{
    return readRecord(componentName, record);
}

bool TRegFiler::writeComponent(const QString &componentName, const PaneRecord &record)
{
    return writeBytes(encodeComponent(componentName, record));
}

bool TRegFiler::writeComponent(const QString &componentName, const ScrollStripRecord &record)
{
    return writeBytes(encodeComponent(componentName, record));
}

bool TRegFiler::writeComponent(const QString &componentName, const DropTargetRecord &record)
{
    return writeBytes(encodeComponent(componentName, record));
}

// ---- Load and save sequences ----

namespace {

// One setting as start-up reads it and shut-down writes it. Both run the same list, so
// the two orders cannot drift apart.
struct Step
{
    QString setting;
    std::function<void(TRegFiler &, SettingsTarget &)> load;
    std::function<void(TRegFiler &, SettingsTarget &)> save;
};

Step paneStep(const QString &pane)
{
    return {
        pane + QStringLiteral("Component"),
        [pane](TRegFiler &f, SettingsTarget &t) {
            PaneRecord r = t.paneRecord(pane);
            if (f.readComponent(pane, r))
                t.setPaneRecord(pane, r);
        },
        [pane](TRegFiler &f, SettingsTarget &t) { f.writeComponent(pane, t.paneRecord(pane)); }};
}

Step dropTargetStep(const QString &dropTarget)
{
    return {dropTarget + QStringLiteral("Component"),
            [dropTarget](TRegFiler &f, SettingsTarget &t) {
                DropTargetRecord r = t.dropTargetRecord(dropTarget);
                if (f.readComponent(dropTarget, r))
                    t.setDropTargetRecord(dropTarget, r);
            },
            [dropTarget](TRegFiler &f, SettingsTarget &t) {
                f.writeComponent(dropTarget, t.dropTargetRecord(dropTarget));
            }};
}

Step stripStep(const QString &strip)
{
    return {strip + QStringLiteral("Component"),
            [strip](TRegFiler &f, SettingsTarget &t) {
                ScrollStripRecord r = t.scrollStripRecord();
                if (f.readComponent(strip, r))
                    t.setScrollStripRecord(r);
            },
            [strip](TRegFiler &f, SettingsTarget &t) {
                f.writeComponent(strip, t.scrollStripRecord());
            }};
}

Step checkBoxStep(const QString &setting, const QString &box)
{
    return {setting,
            [box](TRegFiler &f, SettingsTarget &t) { t.setCheckBoxChecked(box, f.readBool()); },
            [box](TRegFiler &f, SettingsTarget &t) { f.writeBool(t.checkBoxChecked(box)); }};
}

Step menuCheckStep(const QString &setting, const QString &action)
{
    return {setting,
            [action](TRegFiler &f, SettingsTarget &t) { t.setMenuChecked(action, f.readBool()); },
            [action](TRegFiler &f, SettingsTarget &t) { f.writeBool(t.menuChecked(action)); }};
}

Step styleStep(const QString &setting, const QString &key)
{
    return {setting,
            [key](TRegFiler &f, SettingsTarget &t) { t.setStyleValue(key, f.readString()); },
            [key](TRegFiler &f, SettingsTarget &t) { f.writeString(t.styleValue(key)); }};
}

const QString MinchoName = QStringLiteral("ＭＳ 明朝");

// The page font: a style value whose button shows 明 or ゴ.
Step fontStep(const QString &setting, const QString &key)
{
    return {setting,
            [key](TRegFiler &f, SettingsTarget &t) {
                const QString name = f.readString();
                t.setStyleValue(key, name);
                t.setHtmlFontCaption(name == MinchoName ? QStringLiteral("明")
                                                        : QStringLiteral("ゴ"));
            },
            [key](TRegFiler &f, SettingsTarget &t) { f.writeString(t.styleValue(key)); }};
}

Step editStep(const QString &setting, const QString &edit)
{
    return {setting,
            [edit](TRegFiler &f, SettingsTarget &t) { t.setEditText(edit, f.readString()); },
            [edit](TRegFiler &f, SettingsTarget &t) { f.writeString(t.editText(edit)); }};
}

Step launcherStep(const QString &setting, int slot)
{
    return {setting,
            [slot](TRegFiler &f, SettingsTarget &t) {
                t.setLauncherPath(slot, pathFromStoredValue(f.readString()));
            },
            [slot](TRegFiler &f, SettingsTarget &t) {
                f.writeString(storedPathValue(t.launcherPath(slot)));
            }};
}

Step lastFileStep(const QString &setting)
{
    // The file read at start-up is the last one; the one saved is the document's now.
    return {
        setting,
        [](TRegFiler &f, SettingsTarget &t) { t.setLastFile(pathFromStoredValue(f.readString())); },
        [](TRegFiler &f, SettingsTarget &t) { f.writeString(storedPathValue(t.currentFile())); }};
}

Step colourStep(const QString &setting)
{
    return {setting,
            [](TRegFiler &f, SettingsTarget &t) {
                t.setSelectionReadColor(text::ColorNumber(quint32(f.readInteger())));
            },
            [](TRegFiler &f, SettingsTarget &t) {
                f.writeInteger(int(quint32(t.selectionReadColor())));
            }};
}

using IntSetter = void (SettingsTarget::*)(int);
using IntGetter = int (SettingsTarget::*)() const;
using BoolSetter = void (SettingsTarget::*)(bool);
using BoolGetter = bool (SettingsTarget::*)() const;

// The integers and truth values of the window, by the names the table's bindings use.
// The left pane's width is read into fNx2Width and saved from the pane as it is.
const QHash<QString, std::pair<IntSetter, IntGetter>> &integerAccessors()
{
    static const QHash<QString, std::pair<IntSetter, IntGetter>> accessors{
        {QStringLiteral("width"), {&SettingsTarget::setWindowWidth, &SettingsTarget::windowWidth}},
        {QStringLiteral("height"),
         {&SettingsTarget::setWindowHeight, &SettingsTarget::windowHeight}},
        {QStringLiteral("top"), {&SettingsTarget::setWindowTop, &SettingsTarget::windowTop}},
        {QStringLiteral("left"), {&SettingsTarget::setWindowLeft, &SettingsTarget::windowLeft}},
        {QStringLiteral("speed"), {&SettingsTarget::setSpeechSpeed, &SettingsTarget::speechSpeed}},
        {QStringLiteral("repeat"), {&SettingsTarget::setRepeatCount, &SettingsTarget::repeatCount}},
        {QStringLiteral("speaker"), {&SettingsTarget::setSpeechId, &SettingsTarget::speechId}},
        {QStringLiteral("leftpane"),
         {&SettingsTarget::setNx2Width, &SettingsTarget::leftPaneWidth}},
        {QStringLiteral("tcylength"),
         {&SettingsTarget::setUprightLength, &SettingsTarget::uprightLength}},
        {QStringLiteral("poemform"), {&SettingsTarget::setPoemForm, &SettingsTarget::poemForm}},
        {QStringLiteral("leftpoemform"),
         {&SettingsTarget::setLeftPoemForm, &SettingsTarget::leftPoemForm}},
    };
    return accessors;
}

const QHash<QString, std::pair<BoolSetter, BoolGetter>> &truthAccessors()
{
    static const QHash<QString, std::pair<BoolSetter, BoolGetter>> accessors{
        {QStringLiteral("link"), {&SettingsTarget::setLinkOn, &SettingsTarget::linkOn}},
        {QStringLiteral("maximised"), {&SettingsTarget::setMaxForm, &SettingsTarget::maxForm}},
    };
    return accessors;
}

// The step of one row of the table, from its binding; nullopt for a binding the store
// does not know.
std::optional<Step> stepFor(const TRegItem &item)
{
    const QString kind = item.Binding.section(u':', 0, 0);
    const QString name = item.Binding.section(u':', 1);
    const QString &setting = item.Name;
    if (kind == QLatin1String("pane"))
        return paneStep(name);
    if (kind == QLatin1String("strip"))
        return stripStep(name);
    if (kind == QLatin1String("drop"))
        return dropTargetStep(name);
    if (kind == QLatin1String("check"))
        return checkBoxStep(setting, name);
    if (kind == QLatin1String("menu"))
        return menuCheckStep(setting, name);
    if (kind == QLatin1String("style"))
        return styleStep(setting, name);
    if (kind == QLatin1String("font"))
        return fontStep(setting, name);
    if (kind == QLatin1String("edit"))
        return editStep(setting, name);
    if (kind == QLatin1String("launcher") && (name == u"1" || name == u"2"))
        return launcherStep(setting, name.toInt());
    if (kind == QLatin1String("lastfile"))
        return lastFileStep(setting);
    if (kind == QLatin1String("colour"))
        return colourStep(setting);
    if (kind == QLatin1String("int") && integerAccessors().contains(name)) {
        const auto [set, get] = integerAccessors().value(name);
        return Step{setting, [set](TRegFiler &f, SettingsTarget &t) { (t.*set)(f.readInteger()); },
                    [get](TRegFiler &f, SettingsTarget &t) { f.writeInteger((t.*get)()); }};
    }
    if (kind == QLatin1String("bool") && truthAccessors().contains(name)) {
        const auto [set, get] = truthAccessors().value(name);
        return Step{setting, [set](TRegFiler &f, SettingsTarget &t) { (t.*set)(f.readBool()); },
                    [get](TRegFiler &f, SettingsTarget &t) { f.writeBool((t.*get)()); }};
    }
    return std::nullopt;
}

// Every row of the table, in its order, for loading and saving alike.
const QList<Step> &steps()
{
    static const QList<Step> list = [] {
        QList<Step> s;
        for (const TRegItem &item : TRegItems::programTable()) {
            std::optional<Step> step = stepFor(item);
            if (!step)
                qFatal("The settings table binds %s to \"%s\", which the store does not know",
                       qPrintable(item.Name), qPrintable(item.Binding));
            s << *step;
        }
        return s;
    }();
    return list;
}

// What depends on several settings, once all are read.
void settleDependentSettings(SettingsTarget &t)
{
    t.readingDone();
    if (t.maxForm()) {
        t.setWindowLeft(RestoredLeft);
        t.setWindowTop(RestoredTop);
        t.setWindowWidth(DefaultWidth);
        t.setWindowHeight(DefaultHeight);
    }
    const PaneRecord right = t.paneRecord(QStringLiteral("RichEditNx1"));
    const PaneRecord left = t.paneRecord(QStringLiteral("RichEditNx2"));
    t.setMenuChecked(QStringLiteral("VH"), right.vertical);
    t.setMenuChecked(QStringLiteral("WordWrap"), right.wordWrap);
    t.setMenuChecked(QStringLiteral("N14"), right.wordWrap);
    t.setMenuChecked(QStringLiteral("HHV"), left.vertical);
    t.setMenuChecked(QStringLiteral("WordWrapH"), left.wordWrap);

    // "黒" and "一" exclude each other; a file may hold both (each box's reaction ran as it
    // was read, so which one cleared the other depended on the order).
    if (t.checkBoxChecked(QStringLiteral("CheckBox1")) &&
        t.checkBoxChecked(QStringLiteral("CheckBox2")))
        t.setCheckBoxChecked(QStringLiteral("CheckBox1"), false);
    t.setMenuChecked(QStringLiteral("Joyful1"),
                     t.checkBoxChecked(QStringLiteral("WordReadCheckBox")));
    t.setMenuChecked(QStringLiteral("Show1"), t.checkBoxChecked(QStringLiteral("ShowCheckBox")));
}

} // namespace

void loadSettings(TRegManager &reg, SettingsTarget &target)
{
    for (const Step &step : steps())
        step.load(reg.filer(step.setting), target);
    settleDependentSettings(target);
}

void saveSettings(TRegManager &reg, SettingsTarget &target)
{
    target.determineChosenSpeaker();
    IniBatch batch(reg.IniFileName());
    for (const Step &step : steps())
        step.save(reg.filer(step.setting), target);
    QString problem;
    if (!batch.commit(&problem))
        reg.reportError(QStringLiteral("設定を %1 に保存できません。\n%2")
                            .arg(QDir::toNativeSeparators(reg.IniFileName()), problem));
}

} // namespace settings
