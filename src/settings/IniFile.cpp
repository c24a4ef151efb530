#include "settings/IniFile.h"

#include "text/Cp932Codec.h"
#include "text/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QUrl>

#include <vector>

namespace settings {

namespace {

enum class LineKind { Other, Section, Key };

struct Line
{
    QByteArray bytes; // without its line end
    QByteArray end;   // "\r\n", "\n", "\r" or "" for a last line without one
    LineKind kind = LineKind::Other;
    QString name;     // section name of a header, key of a key line
    QString value;    // value of a key line, quotes stripped
    int section = -1; // index of the header line a key line belongs to
};

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// Only ASCII blanks: an ideographic space (U+3000) at the start of a value is text.
QStringView trimBlanks(QStringView s)
{
    qsizetype from = 0;
    qsizetype to = s.size();
    while (from < to && isBlank(s[from]))
        ++from;
    while (to > from && isBlank(s[to - 1]))
        --to;
    return s.sliced(from, to - from);
}

bool isQuoted(QStringView s)
{
    return s.size() >= 2 && (s.front() == u'"' || s.front() == u'\'') && s.back() == s.front();
}

bool isCommentStart(QStringView trimmed)
{
    return trimmed.startsWith(u';') || trimmed.startsWith(u'#');
}

void classify(Line &line, int &currentSection, int index)
{
    // "[", "\" and "]" can be the second byte of a double-byte character ("ゾ" is 83 5D,
    // "ー" 81 5B), so the line is decoded before it is looked at. CR and LF never are.
    const QString text = text::decodeCp932(line.bytes);
    const QStringView t = trimBlanks(text);
    if (t.startsWith(u'[')) {
        const qsizetype close = t.indexOf(u']');
        if (close > 0) {
            line.kind = LineKind::Section;
            line.name = trimBlanks(t.sliced(1, close - 1)).toString();
            currentSection = index;
            return;
        }
    }
    if (t.isEmpty() || isCommentStart(t) || currentSection < 0)
        return;
    const qsizetype eq = t.indexOf(u'=');
    if (eq < 0)
        return;
    const QStringView key = trimBlanks(t.first(eq));
    if (key.isEmpty())
        return;
    QStringView value = trimBlanks(t.sliced(eq + 1));
    if (isQuoted(value))
        value = value.sliced(1, value.size() - 2);
    line.kind = LineKind::Key;
    line.name = key.toString();
    line.value = value.toString();
    line.section = currentSection;
}

std::vector<Line> parse(const QByteArray &bytes)
{
    std::vector<Line> lines;
    int currentSection = -1;
    qsizetype pos = 0;
    const qsizetype n = bytes.size();
    while (pos < n) {
        qsizetype stop = pos;
        while (stop < n && bytes[stop] != '\r' && bytes[stop] != '\n')
            ++stop;
        Line line;
        line.bytes = bytes.mid(pos, stop - pos);
        qsizetype next = stop;
        if (next < n && bytes[next] == '\r')
            ++next;
        if (next < n && bytes[next] == '\n' && (next == stop || bytes[stop] == '\r'))
            ++next;
        line.end = bytes.mid(stop, next - stop);
        classify(line, currentSection, int(lines.size()));
        lines.push_back(std::move(line));
        pos = next;
    }
    return lines;
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isSectionOf(const Line &line, QStringView section)
{
    return line.kind == LineKind::Section && sameName(line.name, section);
}

bool isKeyOf(const std::vector<Line> &lines, const Line &line, QStringView section, QStringView key)
{
    return line.kind == LineKind::Key && sameName(line.name, key) &&
           sameName(lines[size_t(line.section)].name, section);
}

struct Snapshot
{
    bool exists = false;
    bool readable = false;
    QByteArray bytes;
};

// The open batches of this thread, by path: their file's bytes as the writes left them.
struct OpenBatch
{
    Snapshot file;
    bool changed = false;
};
thread_local QHash<QString, OpenBatch> openBatches;

Snapshot readFile(const QString &path)
{
    if (const auto it = openBatches.constFind(path); it != openBatches.cend())
        return it->file;
    Snapshot s;
    s.exists = text::fileKind(path) != text::FileKind::Missing;
    if (!s.exists)
        return s;
    std::optional<QByteArray> bytes = text::readFileBytes(path);
    s.readable = bytes.has_value();
    if (bytes)
        s.bytes = std::move(*bytes);
    return s;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    if (const auto it = openBatches.find(path); it != openBatches.end()) {
        it->file.exists = it->file.readable = true;
        it->file.bytes = bytes;
        it->changed = true;
        return true;
    }
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    return text::writeFileSafely(path, bytes);
}

QByteArray join(const std::vector<Line> &lines)
{
    QByteArray out;
    for (const Line &line : lines)
        out += line.bytes + line.end;
    return out;
}

bool hasLineBreak(QStringView s)
{
    return s.contains(u'\r') || s.contains(u'\n') || s.contains(QChar(0));
}

bool validSection(QStringView s)
{
    return !s.isEmpty() && trimBlanks(s).size() == s.size() && !hasLineBreak(s) &&
           !s.contains(u']');
}

bool validKey(QStringView k)
{
    return !k.isEmpty() && trimBlanks(k).size() == k.size() && !hasLineBreak(k) &&
           !k.contains(u'=') && !k.startsWith(u'[') && !isCommentStart(k);
}

// The line's bytes, or nullopt when they would not read back as the same text: characters
// the code page cannot hold, and raw bytes kept from a file (U+F0000 + byte) that pair with
// the character after them, as 81 does with "A" into "、".
std::optional<QByteArray> encodeLine(const QString &text)
{
    text::Cp932Encoded encoded = text::encodeCp932(text);
    if (!encoded.ok() || text::decodeCp932(encoded.bytes) != text)
        return std::nullopt;
    return encoded.bytes;
}

QString storedValue(QStringView value)
{
    const bool needsQuotes =
        !value.isEmpty() && (isBlank(value.front()) || isBlank(value.back()) || isQuoted(value));
    return needsQuotes ? u'"' + value.toString() + u'"' : value.toString();
}

// The line after which a new key of the section goes: its last key, else its header.
size_t insertionPoint(const std::vector<Line> &lines, size_t header)
{
    size_t at = header;
    for (size_t i = header + 1; i < lines.size() && lines[i].kind != LineKind::Section; ++i) {
        if (lines[i].kind == LineKind::Key)
            at = i;
    }
    return at;
}

} // namespace

std::optional<QString> IniFile::value(QStringView section, QStringView key) const
{
    const Snapshot file = readFile(m_path);
    const std::vector<Line> lines = parse(file.bytes);
    for (const Line &line : lines) {
        if (isKeyOf(lines, line, section, key))
            return line.value;
    }
    return std::nullopt;
}

QString IniFile::readString(QStringView section, QStringView key, const QString &defaultValue) const
{
    return value(section, key).value_or(defaultValue);
}

QList<IniEntry> IniFile::sectionEntries(QStringView section) const
{
    const Snapshot file = readFile(m_path);
    const std::vector<Line> lines = parse(file.bytes);
    QList<IniEntry> entries;
    for (const Line &line : lines) {
        if (line.kind == LineKind::Key && sameName(lines[size_t(line.section)].name, section))
            entries.append({line.name, line.value});
    }
    return entries;
}

bool IniFile::writeString(QStringView section, QStringView key, QStringView value)
{
    if (!validSection(section) || !validKey(key) || hasLineBreak(value))
        return false;
    const Snapshot file = readFile(m_path);
    if (file.exists && !file.readable)
        return false;
    std::vector<Line> lines = parse(file.bytes);
    const QString stored = storedValue(value);

    for (Line &line : lines) {
        if (!isKeyOf(lines, line, section, key))
            continue;
        if (line.value == value)
            return true;
        // The file's own spelling of the key stays.
        const std::optional<QByteArray> bytes = encodeLine(line.name + u'=' + stored);
        if (!bytes)
            return false;
        line.bytes = *bytes;
        return writeFile(m_path, join(lines));
    }

    const std::optional<QByteArray> keyLine = encodeLine(key.toString() + u'=' + stored);
    if (!keyLine)
        return false;
    std::vector<Line> added(1);
    added.back().bytes = *keyLine;
    added.back().end = "\r\n";
    size_t at = lines.size();
    bool sectionFound = false;
    for (size_t i = 0; i < lines.size() && !sectionFound; ++i) {
        if (isSectionOf(lines[i], section)) {
            at = insertionPoint(lines, i) + 1;
            sectionFound = true;
        }
    }
    if (!sectionFound) {
        const std::optional<QByteArray> header = encodeLine(u'[' + section.toString() + u']');
        if (!header)
            return false;
        Line h;
        h.bytes = *header;
        h.end = "\r\n";
        added.insert(added.begin(), std::move(h));
    }
    // A last line without its line end gets one, so that the new line starts a line.
    if (at > 0 && lines[at - 1].end.isEmpty())
        lines[at - 1].end = "\r\n";
    lines.insert(lines.begin() + qsizetype(at), added.begin(), added.end());
    return writeFile(m_path, join(lines));
}

bool IniFile::deleteKey(QStringView section, QStringView key)
{
    const Snapshot file = readFile(m_path);
    if (!file.exists)
        return true;
    if (!file.readable)
        return false;
    std::vector<Line> lines = parse(file.bytes);
    std::vector<Line> kept;
    kept.reserve(lines.size());
    bool removed = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (isKeyOf(lines, lines[i], section, key)) {
            removed = true;
            continue;
        }
        kept.push_back(lines[i]);
    }
    if (!removed)
        return true;
    return writeFile(m_path, join(kept));
}

IniBatch::IniBatch(const QString &path) : m_path(path)
{
    openBatches.insert(m_path, OpenBatch{readFile(m_path), false});
}

IniBatch::~IniBatch()
{
    commit();
}

bool IniBatch::commit(QString *error)
{
    if (m_done)
        return true;
    m_done = true;
    const OpenBatch batch = openBatches.take(m_path);
    if (!batch.changed)
        return true;
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath())) {
        if (error)
            *error = QStringLiteral("%1 のフォルダを作れません。").arg(m_path);
        return false;
    }
    text::FileError problem;
    if (text::writeFileSafely(m_path, batch.file.bytes, &problem))
        return true;
    if (error)
        *error = problem.message;
    return false;
}

QString storedPathValue(const QString &path)
{
    if (path.isEmpty() || (encodeLine(path) && !path.startsWith(QLatin1String("file:"))))
        return path;
    return QString::fromLatin1(QUrl::fromLocalFile(path).toEncoded());
}

QString pathFromStoredValue(const QString &value)
{
    if (!value.startsWith(QLatin1String("file:")))
        return value;
    const QUrl url = QUrl::fromEncoded(value.toLatin1(), QUrl::StrictMode);
    return url.isValid() && url.isLocalFile() ? url.toLocalFile() : value;
}

QString settingsFilePath(const QString &programPath)
{
    return settingsFilePath(programPath, qEnvironmentVariable("XDG_CONFIG_HOME"));
}

QString settingsFilePath(const QString &programPath, const QString &xdgConfigHome)
{
    const QFileInfo program(programPath);
    QString name = program.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > 0)
        name.truncate(dot);
    name += QStringLiteral(".ini");

    const QString folder = program.absolutePath();
    const QString beside = QDir(folder).filePath(name);
    // A file beside the program that this user may not write (an installed copy that
    // root once ran) would hold everyone's settings and lose every change: such a file
    // counts as absent.
    // An installed program (under /usr or /opt) keeps its settings in the user's folder
    // even when run as root: a file written there would belong to no package.
    const QFileInfo file(beside);
    QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty())
        canonical = QDir::cleanPath(folder);
    const auto under = [&canonical](const char *prefix) {
        const QString p = QString::fromLatin1(prefix);
        return canonical == p || canonical.startsWith(p + QLatin1Char('/'));
    };
    const bool systemPrefix = under("/usr") || under("/opt");
    if (!systemPrefix && (QFileInfo(folder).isWritable() || (file.exists() && file.isWritable())))
        return beside;

    const QString configHome = QDir::isAbsolutePath(xdgConfigHome)
                                   ? xdgConfigHome
                                   : QDir::homePath() + QStringLiteral("/.config");
    return QDir(configHome).filePath(QStringLiteral("kotonami/") + name);
}

} // namespace settings
