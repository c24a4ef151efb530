// The settings file's reader and writer on a file of any bytes.
//
// Reading never fails and agrees with itself (value() is the first matching entry of
// sectionEntries()). A write the reader accepts reads back as written and leaves every
// other entry as it was; a delete leaves no such key and the other entries alone. Values,
// keys and section names come from the input too: its first line read as code page 932,
// and as UTF-16 units (with "xx F0" the raw byte xx, so that any character reaches the
// writer) the bytes after its first NUL, or its last bytes when it has none.

#include "FuzzSupport.h"

#include "settings/IniFile.h"
#include "text/Cp932Codec.h"

#include <QList>

#include <algorithm>

using fuzz::require;
using settings::IniEntry;
using settings::IniFile;

namespace {

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool same(const QList<IniEntry> &a, const QList<IniEntry> &b)
{
    return std::equal(
        a.begin(), a.end(), b.begin(), b.end(),
        [](const IniEntry &x, const IniEntry &y) { return x.key == y.key && x.value == y.value; });
}

void checkReading(const IniFile &ini, QStringView section, QStringView key)
{
    const std::optional<QString> value = ini.value(section, key);
    const QList<IniEntry> entries = ini.sectionEntries(section);
    const auto first = std::find_if(entries.begin(), entries.end(),
                                    [&](const IniEntry &e) { return sameName(e.key, key); });
    require(value.has_value() == (first != entries.end()),
            "value() finds what sectionEntries() lists");
    if (value)
        require(*value == first->value, "value() is the first entry of that key");
    const QString fallback = QStringLiteral("\x01");
    require(ini.readString(section, key, fallback) == value.value_or(fallback),
            "readString() is value() or the default");
}

// The entries of the section with those of the key taken out.
QList<IniEntry> othersOf(const QList<IniEntry> &entries, QStringView key)
{
    QList<IniEntry> others;
    for (const IniEntry &e : entries) {
        if (!sameName(e.key, key))
            others.append(e);
    }
    return others;
}

const QString Control = QStringLiteral("Control");

void checkWrite(const QString &path, const QByteArray &original, QStringView section,
                QStringView key, QStringView value)
{
    fuzz::putFile(path, reinterpret_cast<const uint8_t *>(original.data()),
                  size_t(original.size()));
    IniFile ini(path);
    const QList<IniEntry> before = ini.sectionEntries(section);
    const QList<IniEntry> controlBefore = ini.sectionEntries(Control);
    const bool controlIsSection = sameName(section, Control);
    const bool written = ini.writeString(section, key, value);
    checkReading(ini, section, key);
    if (written) {
        require(ini.value(section, key) == value.toString(), "a written value reads back");
        require(same(othersOf(ini.sectionEntries(section), key), othersOf(before, key)),
                "a write leaves the section's other keys alone");
        if (!controlIsSection)
            require(same(ini.sectionEntries(Control), controlBefore),
                    "a write leaves other sections alone");
    }
    const std::optional<QString> kept = ini.value(section, key);
    if (ini.deleteKey(section, key)) {
        require(!ini.value(section, key), "a deleted key is gone");
        if (!controlIsSection)
            require(same(ini.sectionEntries(Control), controlBefore),
                    "a delete leaves other sections alone");
    } else {
        require(ini.value(section, key) == kept, "a failed delete changes nothing");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString path = fuzz::scratchPath("kotonami.ini");
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    fuzz::putFile(path, data, size);
    const IniFile ini(path);
    checkReading(ini, u"S", u"k");
    checkReading(ini, Control, u"k");

    qsizetype firstBreak = bytes.indexOf('\n');
    firstBreak = firstBreak < 0 ? bytes.size() : firstBreak;
    const QString firstLine = text::decodeCp932(bytes.first(std::min<qsizetype>(firstBreak, 200)));
    const qsizetype nul = bytes.indexOf('\0');
    const qsizetype tailFrom =
        nul >= 0 ? nul + 1 : bytes.size() - (std::min<qsizetype>(bytes.size(), 64) & ~1);
    const qsizetype tailEnd = std::min(bytes.size(), tailFrom + 64);
    QString tail;
    for (qsizetype i = tailFrom; i + 1 < tailEnd; i += 2) {
        const uchar low = uchar(bytes[i]);
        const uchar high = uchar(bytes[i + 1]);
        // "xx F0" is the raw byte xx, which a text opened from a file can hold.
        if (high == 0xF0) {
            const char32_t raw = text::kCp932RawByteBase + low;
            tail.append(QString::fromUcs4(&raw, 1));
        } else {
            tail.append(QChar(char16_t(low | high << 8)));
        }
    }

    checkWrite(path, bytes, u"S", u"k", firstLine);
    checkWrite(path, bytes, u"S", u"k", tail);
    checkWrite(path, bytes, u"s", u"K", QStringLiteral(" \"quoted\" "));
    checkWrite(path, bytes, u"S", tail, u"v");
    checkWrite(path, bytes, tail, u"k", u"v");
    return 0;
}
