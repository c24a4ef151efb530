#include "settings/ComponentRecord.h"

#include "text/Cp932Codec.h"

#include <QtEndian>

#include <limits>

namespace settings {

namespace {

constexpr char Signature[] = "TPF0";

enum ValueType : quint8 {
    vaNull = 0x00,
    vaInt8 = 0x02,
    vaInt16 = 0x03,
    vaInt32 = 0x04,
    vaString = 0x06,
    vaIdent = 0x07,
    vaFalse = 0x08,
    vaTrue = 0x09,
    vaBinary = 0x0A,
    vaSet = 0x0B,
    vaLString = 0x0C,
    vaWString = 0x12,
    vaInt64 = 0x13,
    vaUTF8String = 0x14,
};

bool isNameChar(char c)
{
    return c > 0x20 && c < 0x7F;
}

// ---- Writing ----

void putName(QByteArray &out, const QString &name)
{
    const QByteArray ascii = name.toLatin1();
    Q_ASSERT(!ascii.isEmpty() && ascii.size() <= 255);
    out.append(char(ascii.size()));
    out.append(ascii);
}

template <typename T> void putLittle(QByteArray &out, T v)
{
    char buf[sizeof(T)];
    qToLittleEndian(v, buf);
    out.append(buf, sizeof(T));
}

void putValue(QByteArray &out, const ComponentValue &value)
{
    if (const bool *b = std::get_if<bool>(&value)) {
        out.append(char(*b ? vaTrue : vaFalse));
    } else if (const qint64 *i = std::get_if<qint64>(&value)) {
        if (*i >= std::numeric_limits<qint8>::min() && *i <= std::numeric_limits<qint8>::max()) {
            out.append(char(vaInt8));
            out.append(char(qint8(*i)));
        } else if (*i >= std::numeric_limits<qint16>::min() &&
                   *i <= std::numeric_limits<qint16>::max()) {
            out.append(char(vaInt16));
            putLittle(out, qint16(*i));
        } else if (*i >= std::numeric_limits<qint32>::min() &&
                   *i <= std::numeric_limits<qint32>::max()) {
            out.append(char(vaInt32));
            putLittle(out, qint32(*i));
        } else {
            out.append(char(vaInt64));
            putLittle(out, *i);
        }
    } else if (const QString *s = std::get_if<QString>(&value)) {
        out.append(char(vaWString));
        putLittle(out, quint32(s->size()));
        for (QChar c : *s)
            putLittle(out, quint16(c.unicode()));
    } else if (const ComponentIdent *id = std::get_if<ComponentIdent>(&value)) {
        out.append(char(vaIdent));
        putName(out, id->name);
    } else if (const ComponentSet *set = std::get_if<ComponentSet>(&value)) {
        out.append(char(vaSet));
        for (const QString &m : set->members)
            putName(out, m);
        out.append(char(0));
    } else if (const QByteArray *bin = std::get_if<QByteArray>(&value)) {
        out.append(char(vaBinary));
        putLittle(out, quint32(bin->size()));
        out.append(*bin);
    }
}

// ---- Reading ----

class Reader
{
public:
    explicit Reader(QByteArrayView bytes) : m_bytes(bytes) {}

    bool atEnd() const { return m_pos == m_bytes.size(); }
    qsizetype left() const { return m_bytes.size() - m_pos; }

    std::optional<quint8> peek() const
    {
        if (left() < 1)
            return std::nullopt;
        return quint8(m_bytes[m_pos]);
    }

    std::optional<quint8> byte()
    {
        if (left() < 1)
            return std::nullopt;
        return quint8(m_bytes[m_pos++]);
    }

    template <typename T> std::optional<T> little()
    {
        if (left() < qsizetype(sizeof(T)))
            return std::nullopt;
        const T v = qFromLittleEndian<T>(m_bytes.data() + m_pos);
        m_pos += sizeof(T);
        return v;
    }

    std::optional<QByteArrayView> take(qsizetype n)
    {
        if (n < 0 || left() < n)
            return std::nullopt;
        const QByteArrayView v = m_bytes.sliced(m_pos, n);
        m_pos += n;
        return v;
    }

    // A name of one or more printable ASCII characters; a zero length byte is not a name.
    std::optional<QString> name()
    {
        const std::optional<quint8> n = byte();
        if (!n || *n == 0)
            return std::nullopt;
        const std::optional<QByteArrayView> chars = take(*n);
        if (!chars)
            return std::nullopt;
        for (char c : *chars) {
            if (!isNameChar(c))
                return std::nullopt;
        }
        return QString::fromLatin1(*chars);
    }

    std::optional<QByteArrayView> counted32()
    {
        const std::optional<quint32> n = little<quint32>();
        if (!n || *n > quint64(left()))
            return std::nullopt;
        return take(qsizetype(*n));
    }

    std::optional<ComponentValue> value()
    {
        const std::optional<quint8> type = byte();
        if (!type)
            return std::nullopt;
        switch (*type) {
        case vaFalse:
            return ComponentValue(false);
        case vaTrue:
            return ComponentValue(true);
        case vaInt8:
            if (auto v = little<qint8>())
                return ComponentValue(qint64(*v));
            return std::nullopt;
        case vaInt16:
            if (auto v = little<qint16>())
                return ComponentValue(qint64(*v));
            return std::nullopt;
        case vaInt32:
            if (auto v = little<qint32>())
                return ComponentValue(qint64(*v));
            return std::nullopt;
        case vaInt64:
            if (auto v = little<qint64>())
                return ComponentValue(*v);
            return std::nullopt;
        case vaIdent:
            if (auto n = name())
                return ComponentValue(ComponentIdent{*n});
            return std::nullopt;
        case vaSet: {
            ComponentSet set;
            for (;;) {
                const std::optional<quint8> n = peek();
                if (!n)
                    return std::nullopt;
                if (*n == 0) {
                    ++m_pos;
                    return ComponentValue(set);
                }
                const std::optional<QString> member = name();
                if (!member)
                    return std::nullopt;
                set.members.append(*member);
            }
        }
        case vaWString: {
            const std::optional<quint32> n = little<quint32>();
            if (!n || *n > quint64(left()) / 2)
                return std::nullopt;
            QString s(qsizetype(*n), Qt::Uninitialized);
            for (QChar &c : s)
                c = QChar(*little<quint16>());
            return ComponentValue(s);
        }
        case vaString: {
            const std::optional<quint8> n = byte();
            if (!n)
                return std::nullopt;
            if (auto chars = take(*n))
                return ComponentValue(text::decodeCp932(*chars));
            return std::nullopt;
        }
        case vaLString:
            if (auto chars = counted32())
                return ComponentValue(text::decodeCp932(*chars));
            return std::nullopt;
        case vaUTF8String:
            if (auto chars = counted32())
                return ComponentValue(QString::fromUtf8(*chars));
            return std::nullopt;
        case vaBinary:
            if (auto bin = counted32())
                return ComponentValue(bin->toByteArray());
            return std::nullopt;
        default:
            return std::nullopt;
        }
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

// ---- Mapping records to properties ----

struct FontStyleName
{
    quint8 flag;
    const char *name;
};

constexpr FontStyleName FontStyleNames[] = {
    {FontBold, "fsBold"},
    {FontItalic, "fsItalic"},
    {FontUnderline, "fsUnderline"},
    {FontStrikeOut, "fsStrikeOut"},
};

// Font sizes and widths far outside anything a screen shows are taken for damage.
constexpr qint64 MaxPixelSize = 2000;
constexpr qint64 MaxWidth = 100000;
constexpr qint64 MaxInterval = 3600000;

void addFont(ComponentStream &s, const FontRecord &f)
{
    s.properties.append({QStringLiteral("Font.Charset"), qint64(f.charset)});
    s.properties.append({QStringLiteral("Font.Color"), qint64(qint32(f.color))});
    s.properties.append({QStringLiteral("Font.PixelSize"), qint64(f.pixelSize)});
    s.properties.append({QStringLiteral("Font.Name"), f.name});
    ComponentSet style;
    for (const FontStyleName &n : FontStyleNames) {
        if (f.style & n.flag)
            style.members.append(QString::fromLatin1(n.name));
    }
    s.properties.append({QStringLiteral("Font.Style"), style});
}

// Each take*() leaves the value alone when the property is absent and fails when it is
// present with another type or out of range.
class Taker
{
public:
    explicit Taker(const ComponentStream &s) : m_stream(s) {}
    bool ok() const { return m_ok; }

    void integer(const char *name, qint64 min, qint64 max, int &out)
    {
        if (const qint64 *v = get<qint64>(name)) {
            if (*v < min || *v > max)
                m_ok = false;
            else
                out = int(*v);
        }
    }

    // A colour is a 32-bit number; records hold it signed, as the toolkit does.
    void color(const char *name, text::ColorNumber &out)
    {
        if (const qint64 *v = get<qint64>(name)) {
            if (*v < std::numeric_limits<qint32>::min() ||
                *v > qint64(std::numeric_limits<quint32>::max()))
                m_ok = false;
            else
                out = text::ColorNumber(quint32(*v));
        }
    }

    void boolean(const char *name, bool &out)
    {
        if (const bool *v = get<bool>(name))
            out = *v;
    }

    void string(const char *name, QString &out)
    {
        if (const QString *v = get<QString>(name))
            out = *v;
    }

    void ident(const char *name, QString &out)
    {
        if (const ComponentIdent *v = get<ComponentIdent>(name))
            out = v->name;
    }

    // Members this program does not know are skipped, as unknown properties are.
    void fontStyle(const char *name, quint8 &out)
    {
        if (const ComponentSet *v = get<ComponentSet>(name)) {
            quint8 style = 0;
            for (const FontStyleName &n : FontStyleNames) {
                if (v->members.contains(QString::fromLatin1(n.name)))
                    style |= n.flag;
            }
            out = style;
        }
    }

    void font(FontRecord &f)
    {
        integer("Font.Charset", 0, 255, f.charset);
        color("Font.Color", f.color);
        integer("Font.PixelSize", 1, MaxPixelSize, f.pixelSize);
        string("Font.Name", f.name);
        fontStyle("Font.Style", f.style);
    }

private:
    template <typename T> const T *get(const char *name)
    {
        const ComponentValue *v = m_stream.find(QString::fromLatin1(name));
        if (!v)
            return nullptr;
        const T *typed = std::get_if<T>(v);
        if (!typed)
            m_ok = false;
        return typed;
    }

    const ComponentStream &m_stream;
    bool m_ok = true;
};

std::optional<ComponentStream> readOwn(QByteArrayView bytes, const char *className,
                                       const QString &componentName)
{
    std::optional<ComponentStream> s = readComponentStream(bytes);
    if (!s || s->className != QLatin1StringView(className) || s->name != componentName)
        return std::nullopt;
    return s;
}

} // namespace

const ComponentValue *ComponentStream::find(QStringView propertyName) const
{
    for (qsizetype i = properties.size() - 1; i >= 0; --i) {
        if (properties[i].name == propertyName)
            return &properties[i].value;
    }
    return nullptr;
}

QByteArray writeComponentStream(const ComponentStream &stream)
{
    QByteArray out(Signature);
    putName(out, stream.className);
    putName(out, stream.name);
    for (const ComponentProperty &p : stream.properties) {
        putName(out, p.name);
        putValue(out, p.value);
    }
    out.append(char(vaNull));
    out.append(char(vaNull));
    return out;
}

std::optional<ComponentStream> readComponentStream(QByteArrayView bytes)
{
    if (!bytes.startsWith(QByteArrayView(Signature)))
        return std::nullopt;
    Reader r(bytes.sliced(4));
    ComponentStream s;
    std::optional<QString> className = r.name();
    std::optional<QString> name = className ? r.name() : std::nullopt;
    if (!name)
        return std::nullopt;
    s.className = *className;
    s.name = *name;
    for (;;) {
        const std::optional<quint8> next = r.peek();
        if (!next)
            return std::nullopt;
        if (*next == vaNull) {
            r.byte();
            break;
        }
        std::optional<QString> propertyName = r.name();
        if (!propertyName)
            return std::nullopt;
        std::optional<ComponentValue> value = r.value();
        if (!value)
            return std::nullopt;
        s.properties.append({*propertyName, std::move(*value)});
    }
    const std::optional<quint8> children = r.byte();
    if (!children || *children != vaNull || !r.atEnd())
        return std::nullopt;
    return s;
}

QByteArray encodeComponent(const QString &componentName, const PaneRecord &record)
{
    ComponentStream s{QString::fromLatin1(PaneClass), componentName, {}};
    s.properties.append({QStringLiteral("Width"), qint64(record.width)});
    s.properties.append({QStringLiteral("Color"), qint64(qint32(record.color))});
    addFont(s, record.font);
    s.properties.append({QStringLiteral("Vertical"), record.vertical});
    s.properties.append({QStringLiteral("WordWrap"), record.wordWrap});
    return writeComponentStream(s);
}

QByteArray encodeComponent(const QString &componentName, const ScrollStripRecord &record)
{
    ComponentStream s{QString::fromLatin1(ScrollStripClass), componentName, {}};
    s.properties.append({QStringLiteral("Msg"), record.msg});
    s.properties.append({QStringLiteral("Interval"), qint64(record.interval)});
    s.properties.append({QStringLiteral("Show"), record.show});
    s.properties.append({QStringLiteral("Color"), qint64(qint32(record.color))});
    addFont(s, record.font);
    return writeComponentStream(s);
}

QByteArray encodeComponent(const QString &componentName, const DropTargetRecord &record)
{
    ComponentStream s{QString::fromLatin1(DropTargetClass), componentName, {}};
    s.properties.append({QStringLiteral("Control"), ComponentIdent{record.control}});
    s.properties.append({QStringLiteral("AcceptDrop"), record.acceptDrop});
    return writeComponentStream(s);
}

std::optional<PaneRecord> decodeComponent(QByteArrayView bytes, const QString &componentName,
                                          const PaneRecord &current)
{
    const std::optional<ComponentStream> s = readOwn(bytes, PaneClass, componentName);
    if (!s)
        return std::nullopt;
    PaneRecord r = current;
    Taker take(*s);
    take.integer("Width", 0, MaxWidth, r.width);
    take.color("Color", r.color);
    take.font(r.font);
    take.boolean("Vertical", r.vertical);
    take.boolean("WordWrap", r.wordWrap);
    return take.ok() ? std::optional(r) : std::nullopt;
}

std::optional<ScrollStripRecord> decodeComponent(QByteArrayView bytes, const QString &componentName,
                                                 const ScrollStripRecord &current)
{
    const std::optional<ComponentStream> s = readOwn(bytes, ScrollStripClass, componentName);
    if (!s)
        return std::nullopt;
    ScrollStripRecord r = current;
    Taker take(*s);
    take.string("Msg", r.msg);
    take.integer("Interval", 0, MaxInterval, r.interval);
    take.boolean("Show", r.show);
    take.color("Color", r.color);
    take.font(r.font);
    return take.ok() ? std::optional(r) : std::nullopt;
}

std::optional<DropTargetRecord> decodeComponent(QByteArrayView bytes, const QString &componentName,
                                                const DropTargetRecord &current)
{
    const std::optional<ComponentStream> s = readOwn(bytes, DropTargetClass, componentName);
    if (!s)
        return std::nullopt;
    DropTargetRecord r = current;
    Taker take(*s);
    take.ident("Control", r.control);
    take.boolean("AcceptDrop", r.acceptDrop);
    return take.ok() ? std::optional(r) : std::nullopt;
}

} // namespace settings
