#include "text/RecoveryStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QRandomGenerator>
#include <QSysInfo>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace text {

namespace {

constexpr char kLockSuffix[] = ".lock";
constexpr char kCopySuffix[] = ".json";

QString sessionOf(const QString &copyName)
{
    return copyName.section(QLatin1Char('.'), 0, 0);
}

const char *lineEndKey(LineEnd end)
{
    return end == LineEnd::Lf ? "lf" : end == LineEnd::Cr ? "cr" : "crlf";
}

// `text` as the inside of a JSON string: UTF-8 with the quote, the backslash and the control
// characters escaped, and a lone surrogate as U+FFFD, in one pass over the UTF-16. (A copy
// of a long text is written often; QJsonObject would copy the text twice and escape it
// character by character.)
void appendJsonStringContent(QStringView text, QByteArray &out)
{
    const qsizetype start = out.size();
    // At most three bytes for a UTF-16 unit, six for an escaped control character.
    out.resize(start + text.size() * 3 + 16);
    char *p = out.data() + start;
    const char16_t *const end = text.utf16() + text.size();
    for (const char16_t *u = text.utf16(); u < end; ++u) {
        char32_t c = *u;
        // (Kana and kanji first, the most of a Japanese text: three bytes, no surrogate.)
        if (c >= 0x800 && (c < 0xD800 || c > 0xDFFF) && c != QChar::ParagraphSeparator) {
            *p++ = char(0xE0 | (c >> 12));
            *p++ = char(0x80 | ((c >> 6) & 0x3F));
            *p++ = char(0x80 | (c & 0x3F));
            continue;
        }
        if (c >= 0x20 && c < 0x80 && c != '"' && c != '\\') {
            *p++ = char(c);
            continue;
        }
        // (A document's own line end, U+2029, is a line end.)
        if (c == QChar::ParagraphSeparator)
            c = '\n';
        if (c < 0x80) {
            // (Room for the rest at three bytes a unit, after this one's six.)
            const qsizetype at = p - out.data();
            if (const qsizetype needed = (end - u) * 3 + 8; out.size() - at < needed) {
                out.resize(at + needed + 64);
                p = out.data() + at;
            }
            *p++ = '\\';
            switch (c) {
            case '"':
            case '\\':
                *p++ = char(c);
                break;
            case '\n':
                *p++ = 'n';
                break;
            case '\r':
                *p++ = 'r';
                break;
            case '\t':
                *p++ = 't';
                break;
            default:
                p = std::copy_n("u00", 3, p);
                *p++ = "0123456789abcdef"[c >> 4];
                *p++ = "0123456789abcdef"[c & 15];
            }
            continue;
        }
        if (QChar::isHighSurrogate(c) && u + 1 < end && QChar::isLowSurrogate(u[1])) {
            c = QChar::surrogateToUcs4(char16_t(c), *++u);
            *p++ = char(0xF0 | (c >> 18));
            *p++ = char(0x80 | ((c >> 12) & 0x3F));
            *p++ = char(0x80 | ((c >> 6) & 0x3F));
            *p++ = char(0x80 | (c & 0x3F));
            continue;
        }
        if (QChar::isSurrogate(c))
            c = QChar::ReplacementCharacter;
        if (c < 0x800) {
            *p++ = char(0xC0 | (c >> 6));
        } else {
            *p++ = char(0xE0 | (c >> 12));
            *p++ = char(0x80 | ((c >> 6) & 0x3F));
        }
        *p++ = char(0x80 | (c & 0x3F));
    }
    out.truncate(p - out.data());
}

// A JSON string from just after its opening quote: its text, and whether its closing quote
// was reached (a copy cut short ends inside its text).
QString jsonString(QByteArrayView data, qsizetype from, bool *closed)
{
    QByteArray utf8;
    QString out;
    auto flush = [&] {
        out += QString::fromUtf8(utf8);
        utf8.clear();
    };
    *closed = false;
    for (qsizetype i = from; i < data.size(); ++i) {
        const char c = data[i];
        if (c == '"') {
            *closed = true;
            break;
        }
        if (c != '\\') {
            utf8 += c;
            continue;
        }
        if (++i >= data.size())
            break;
        const char e = data[i];
        if (e == 'u') {
            bool ok = false;
            const uint code = i + 4 < data.size() ? data.sliced(i + 1, 4).toUInt(&ok, 16) : 0;
            if (!ok)
                break;
            flush();
            out += QChar(char16_t(code));
            i += 4;
            continue;
        }
        const char *escapes = "\"\\/bfnrt";
        const char *to = "\"\\/\b\f\n\r\t";
        const char *at = std::strchr(escapes, e);
        if (!at || !*at)
            break;
        utf8 += to[at - escapes];
    }
    if (!*closed) {
        // A UTF-8 sequence cut off at the end is dropped, not turned into U+FFFD.
        qsizetype lead = utf8.size() - 1;
        while (lead >= 0 && utf8.size() - lead < 4 &&
               (static_cast<unsigned char>(utf8[lead]) & 0xC0) == 0x80)
            --lead;
        if (lead >= 0) {
            const auto b = static_cast<unsigned char>(utf8[lead]);
            const qsizetype length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
            if (utf8.size() - lead < length)
                utf8.truncate(lead);
        }
    }
    flush();
    return out;
}

// The fields of a copy that JSON cannot read whole: each "key":"value" found in it.
QJsonObject salvaged(QByteArrayView data)
{
    QJsonObject o;
    for (const char *key : {"pane", "file", "saved", "encoding", "lineEnd", "text"}) {
        const QByteArray marker = QByteArray("\"") + key + "\":\"";
        const qsizetype at = QByteArrayView(data).indexOf(marker);
        if (at < 0)
            continue;
        bool closed = false;
        o.insert(QLatin1String(key), jsonString(data, at + marker.size(), &closed));
    }
    return o;
}

// Whether the process of a session (its id leads the session's name) has certainly ended.
bool sessionGone(const QString &session)
{
    bool ok = false;
    const qint64 pid = session.section(QLatin1Char('-'), 0, 0).toLongLong(&ok);
    return ok && pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

} // namespace

RecoveryStore::RecoveryStore(const QString &folder)
    : m_folder(folder.isEmpty() ? defaultFolder() : folder)
{
}

RecoveryStore::~RecoveryStore() = default;

QString RecoveryStore::defaultFolder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/kotonami/recovery");
}

bool RecoveryStore::begin()
{
    if (m_lock)
        return true;
    if (!QDir().mkpath(m_folder))
        return false;
    m_session = QStringLiteral("%1-%2")
                    .arg(QCoreApplication::applicationPid())
                    .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    auto lock = std::make_unique<QLockFile>(m_folder + QLatin1Char('/') + m_session +
                                            QLatin1String(kLockSuffix));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    m_lock = std::move(lock);
    return true;
}

QString RecoveryStore::copyPath(const QString &pane) const
{
    return m_folder + QLatin1Char('/') + m_session + QLatin1Char('.') + pane +
           QLatin1String(kCopySuffix);
}

bool RecoveryStore::save(const QString &pane, const QString &filePath, const QString &text,
                         const DocumentFormat &format, FileError *error)
{
    if (!begin()) {
        if (error)
            error->message = QStringLiteral("復元用のフォルダ %1 を使えません。").arg(m_folder);
        return false;
    }
    QJsonObject o;
    o.insert(QStringLiteral("pane"), pane);
    o.insert(QStringLiteral("file"), filePath);
    o.insert(QStringLiteral("saved"), QDateTime::currentDateTime().toString(Qt::ISODateWithMs));
    o.insert(QStringLiteral("encoding"), encodingKey(format.encoding));
    o.insert(QStringLiteral("lineEnd"), QLatin1String(lineEndKey(format.lineEnd)));
    // (The keys are written in order: "text" comes last, so a copy cut short still says
    // which pane and file it is, and holds the start of its text.)
    // Written a slice at a time, in bounded memory (a surrogate pair is never cut).
    const auto produce = [&](const PartSink &sink) {
        QByteArray part = QJsonDocument(o).toJson(QJsonDocument::Compact);
        part.chop(1); // its closing brace
        part += ",\"text\":\"";
        constexpr qsizetype Slice = 1 << 18;
        for (qsizetype from = 0; from < text.size();) {
            qsizetype to = std::min(text.size(), from + Slice);
            if (to < text.size() && text[to - 1].isHighSurrogate())
                --to;
            appendJsonStringContent(QStringView(text).sliced(from, to - from), part);
            if (!sink(part))
                return false;
            part.clear();
            from = to;
        }
        part += "\"}";
        return sink(part);
    };
    return writeFileSafely(copyPath(pane), produce, {}, error);
}

void RecoveryStore::remove(const QString &pane)
{
    if (m_lock)
        QFile::remove(copyPath(pane));
}

void RecoveryStore::finish()
{
    if (!m_lock)
        return;
    const QDir dir(m_folder);
    for (const QString &name : dir.entryList(
             {m_session + QStringLiteral(".*") + QLatin1String(kCopySuffix)}, QDir::Files))
        QFile::remove(dir.filePath(name));
    m_lock->unlock();
    m_lock.reset();
}

QList<RecoveredPane> RecoveryStore::orphans() const
{
    QList<RecoveredPane> found;
    const QDir dir(m_folder);
    for (const QString &name :
         dir.entryList({QStringLiteral("*") + QLatin1String(kCopySuffix)}, QDir::Files)) {
        const QString session = sessionOf(name);
        if (session == m_session)
            continue;
        // A lock that can be taken belongs to a process that is gone (QLockFile knows a
        // lock of a dead process as stale); one that cannot, and that names a process of
        // this machine, is another editor's, running. A lock that cannot be read, or that
        // names another machine, hides nothing.
        QLockFile lock(dir.filePath(session + QLatin1String(kLockSuffix)));
        lock.setStaleLockTime(0);
        if (lock.tryLock(0)) {
            lock.unlock();
        } else {
            qint64 pid = 0;
            QString host, application;
            if (lock.getLockInfo(&pid, &host, &application) &&
                (host.isEmpty() || host == QSysInfo::machineHostName()))
                continue;
        }
        std::optional<QByteArray> bytes = readFileBytes(dir.filePath(name));
        QJsonParseError parsed;
        QJsonObject o = bytes ? QJsonDocument::fromJson(*bytes, &parsed).object() : QJsonObject();
        RecoveredPane copy;
        if (bytes &&
            (parsed.error != QJsonParseError::NoError || !o.contains(QStringLiteral("text")))) {
            o = salvaged(*bytes);
            copy.damaged = true;
        }
        copy.copyPath = dir.filePath(name);
        copy.pane = o.value(QStringLiteral("pane")).toString();
        copy.filePath = o.value(QStringLiteral("file")).toString();
        copy.savedAt =
            QDateTime::fromString(o.value(QStringLiteral("saved")).toString(), Qt::ISODateWithMs);
        copy.format.encoding = encodingFromKey(o.value(QStringLiteral("encoding")).toString())
                                   .value_or(FileEncoding::Cp932);
        const QString end = o.value(QStringLiteral("lineEnd")).toString();
        copy.format.lineEnd = end == u"lf"   ? LineEnd::Lf
                              : end == u"cr" ? LineEnd::Cr
                                             : LineEnd::CrLf;
        copy.text = o.value(QStringLiteral("text")).toString();
        if (copy.pane != u"right" && copy.pane != u"left")
            copy.pane = QStringLiteral("right"); // damaged where it named its pane
        found.append(copy);
    }
    std::sort(found.begin(), found.end(),
              [](const RecoveredPane &a, const RecoveredPane &b) { return a.savedAt < b.savedAt; });
    return found;
}

void RecoveryStore::discard(const RecoveredPane &copy) const
{
    QFile::remove(copy.copyPath);
    const QFileInfo info(copy.copyPath);
    const QString session = sessionOf(info.fileName());
    const QDir dir = info.dir();
    if (dir.entryList({session + QStringLiteral(".*") + QLatin1String(kCopySuffix)}, QDir::Files)
            .isEmpty()) {
        const QString lockPath = dir.filePath(session + QLatin1String(kLockSuffix));
        QLockFile lock(lockPath);
        lock.setStaleLockTime(0);
        if (lock.tryLock(0)) {
            lock.unlock(); // unlocking a lock we hold removes its file
        } else {
            // A lock that cannot be read, or another machine's: removed only when the
            // session's process is certainly gone from this machine.
            qint64 pid = 0;
            QString host, application;
            const bool readable = lock.getLockInfo(&pid, &host, &application);
            if ((!readable || host == QSysInfo::machineHostName()) && sessionGone(session))
                QFile::remove(lockPath);
        }
    }
}

} // namespace text
