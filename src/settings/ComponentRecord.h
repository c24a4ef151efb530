#pragma once
// Component records: the state of a pane, of the scroll strip or of a drop target as the
// settings file keeps it, in the shape of the toolkit's binary component stream.
//
// A record is a list of named, typed properties of one named component of one class:
//
//   record     = "TPF0" name(class) name(component) property* 00 00
//   property   = name(property) value
//   name       = length byte (1-255), then that many printable ASCII bytes
//   value      = 02 int8 | 03 int16 | 04 int32 | 13 int64      (little endian, signed)
//              | 07 name                                      (identifier: a component name)
//              | 08 (false) | 09 (true)
//              | 0B name* 00                                  (set: the names of its members)
//              | 12 uint32 n, then n UTF-16 code units        (text; every QString survives)
//              | 06 length byte, bytes  | 0C uint32 n, bytes  (text in code page 932, read only)
//              | 14 uint32 n, UTF-8 bytes                     (text, read only)
//              | 0A uint32 n, bytes                           (binary)
// The first 00 ends the property list, the second the (always empty) list of child
// components; nothing may follow. Integers are written in the smallest of the four widths.
//
// Worked example, the right-pane drop target serving RichEditNx1 and accepting drops:
//   54 50 46 30                       "TPF0"
//   08 54 44 72 6F 70 44 73 74        "TDropDst"
//   08 44 72 6F 70 44 73 74 31        "DropDst1"
//   07 43 6F 6E 74 72 6F 6C           "Control"
//   07 0B 52 69 63 68 45 64 69 74 4E 78 31   identifier "RichEditNx1"
//   0A 41 63 63 65 70 74 44 72 6F 70  "AcceptDrop"
//   09                                true
//   00 00                             end of properties, no children
//
// Versions: every value says its type and so its length, so a reader skips properties it
// does not know, and a property missing from a record keeps the component's current value.
// A later program may add properties without breaking older records or older readers.
// Every property is written, defaults included, so that what a component holds after a
// start never depends on what it held before the record was read.
//
// Decoding is all or nothing: a record that is cut short, has a wrong signature, another
// class or component name, an unknown value type, a known property of the wrong type or out
// of range, or bytes after its end, decodes to nullopt, and the caller leaves the component
// as it was.

#include "text/ColorNumber.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

namespace settings {

// ---- The stream form --------------------------------------------------------------------

struct ComponentIdent
{
    QString name;
    bool operator==(const ComponentIdent &) const = default;
};

struct ComponentSet
{
    QStringList members;
    bool operator==(const ComponentSet &) const = default;
};

using ComponentValue =
    std::variant<bool, qint64, QString, ComponentIdent, ComponentSet, QByteArray>;

struct ComponentProperty
{
    QString name;
    ComponentValue value;
};

struct ComponentStream
{
    QString className;
    QString name;
    QList<ComponentProperty> properties;

    // The last property of that name (a later one overrides an earlier one), or nullptr.
    const ComponentValue *find(QStringView propertyName) const;
};

// Names must be 1 to 255 printable ASCII characters; the writer is only given such names.
QByteArray writeComponentStream(const ComponentStream &stream);
std::optional<ComponentStream> readComponentStream(QByteArrayView bytes);

// ---- The program's components -----------------------------------------------------------

inline constexpr int ShiftJisCharset = 128;

enum FontStyleFlag : quint8 {
    FontBold = 1,
    FontItalic = 2,
    FontUnderline = 4,
    FontStrikeOut = 8,
};

// A font as plain data; the window turns it into a QFont (the size is in pixels, as the
// program's fonts are given: "ＭＳ 明朝", 18 pixels).
struct FontRecord
{
    QString name;
    int pixelSize = 18;
    text::ColorNumber color = 0;
    quint8 style = 0; // FontStyleFlag bits
    int charset = ShiftJisCharset;
    bool operator==(const FontRecord &) const = default;
};

// A pane (RichEditNx1, RichEditNx2): font, background, vertical writing, word wrap, width.
struct PaneRecord
{
    FontRecord font;
    text::ColorNumber color = 0xFFFFFF;
    bool vertical = false;
    bool wordWrap = true;
    int width = 0;
    bool operator==(const PaneRecord &) const = default;
};

// The scroll strip MsgSCR1.
struct ScrollStripRecord
{
    QString msg;
    FontRecord font;
    text::ColorNumber color = 0;
    int interval = 0;
    bool show = true;
    bool operator==(const ScrollStripRecord &) const = default;
};

// A drop target (DropDst1, DropDst2): the control it serves and whether it takes drops.
struct DropTargetRecord
{
    QString control;
    bool acceptDrop = true;
    bool operator==(const DropTargetRecord &) const = default;
};

inline constexpr char PaneClass[] = "TRichEditSx";
inline constexpr char ScrollStripClass[] = "TMsgSCR";
inline constexpr char DropTargetClass[] = "TDropDst";

// componentName is the name the component has on the window ("RichEditNx1", "MsgSCR1",
// "DropDst2"); decoding accepts only a record of that component. current supplies the
// values of properties the record does not hold.
QByteArray encodeComponent(const QString &componentName, const PaneRecord &record);
QByteArray encodeComponent(const QString &componentName, const ScrollStripRecord &record);
QByteArray encodeComponent(const QString &componentName, const DropTargetRecord &record);

std::optional<PaneRecord> decodeComponent(QByteArrayView bytes, const QString &componentName,
                                          const PaneRecord &current);
std::optional<ScrollStripRecord> decodeComponent(QByteArrayView bytes, const QString &componentName,
                                                 const ScrollStripRecord &current);
std::optional<DropTargetRecord> decodeComponent(QByteArrayView bytes, const QString &componentName,
                                                const DropTargetRecord &current);

} // namespace settings
