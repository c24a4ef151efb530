#include "reading/UserDictionary.h"

#include "reading/KanaRules.h"
#include "text/SafeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QList>

namespace reading {

namespace {

// The file's bytes, or why they cannot be had. A missing file is an empty one.
bool readDictionary(const QString &path, QByteArray &bytes, QString &error)
{
    const text::FileKind kind = text::fileKind(path);
    if (kind == text::FileKind::Missing) {
        bytes.clear();
        return true;
    }
    if (kind != text::FileKind::Regular) {
        error = QStringLiteral("%1 は%2で、読みの辞書として読めません。")
                    .arg(QDir::toNativeSeparators(path), text::fileKindName(kind));
        return false;
    }
    if (QFileInfo(path).size() > UserDictionary::SizeLimit) {
        error = QStringLiteral("%1 は %2 MB を超えるため読みません。")
                    .arg(QDir::toNativeSeparators(path))
                    .arg(UserDictionary::SizeLimit / (1024 * 1024));
        return false;
    }
    text::FileError problem;
    const auto read = text::readFileBytes(path, &problem);
    if (!read) {
        error = QStringLiteral("%1 を読めません。%2")
                    .arg(QDir::toNativeSeparators(path), problem.message);
        return false;
    }
    bytes = *read;
    return true;
}

// A line as the file holds it, its end apart.
struct Line
{
    QByteArray text;
    QByteArray end; // "\n", "\r\n" or nothing for the last line
};

QList<Line> linesOf(const QByteArray &bytes)
{
    QList<Line> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype nl = bytes.indexOf('\n', start);
        if (nl < 0) {
            lines.append({bytes.mid(start), {}});
            break;
        }
        qsizetype textEnd = nl;
        if (textEnd > start && bytes[textEnd - 1] == '\r')
            --textEnd;
        lines.append({bytes.mid(start, textEnd - start), bytes.mid(textEnd, nl + 1 - textEnd)});
        start = nl + 1;
    }
    return lines;
}

// The word a line registers; empty for comments, blank lines and bytes that are not UTF-8.
QString keyOf(const QByteArray &line)
{
    if (line.startsWith('#') || !QUtf8StringView(line).isValidUtf8())
        return {};
    const qsizetype tab = line.indexOf('\t');
    return QString::fromUtf8(tab < 0 ? line : line.left(tab)).trimmed();
}

QString save(const QString &path, const QList<Line> &lines)
{
    QByteArray bytes;
    for (const Line &l : lines)
        bytes += l.text + l.end;
    QDir().mkpath(QFileInfo(path).absolutePath());
    text::FileError problem;
    if (!text::writeFileSafely(path, bytes, &problem))
        return QStringLiteral("%1 に保存できません。%2")
            .arg(QDir::toNativeSeparators(path), problem.message);
    return {};
}

} // namespace

UserDictionary::Loaded UserDictionary::load(const QString &path)
{
    Loaded loaded;
    QByteArray bytes;
    if (!readDictionary(path, bytes, loaded.error))
        return loaded;
    const QList<Line> lines = linesOf(bytes);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray &raw = lines[i].text;
        if (raw.trimmed().isEmpty() || raw.startsWith('#'))
            continue;
        auto problem = [&](const QString &why) {
            loaded.problems << QStringLiteral("%1 行目: %2").arg(i + 1).arg(why);
        };
        if (!QUtf8StringView(raw).isValidUtf8()) {
            problem(QStringLiteral("UTF-8 ではありません"));
            continue;
        }
        const QStringList fields = QString::fromUtf8(raw).split(u'\t');
        const QString word = fields[0].trimmed();
        const QString said = fields.value(1).trimmed();
        if (word.isEmpty() || said.isEmpty()) {
            problem(QStringLiteral("語とタブと読みの行ではありません"));
            continue;
        }
        bool kana = true;
        for (QChar c : said)
            kana = kana && (isKana(c.unicode()) || c == u'ー');
        if (!kana) {
            problem(QStringLiteral("読みがかなではありません"));
            continue;
        }
        loaded.words.add(word, said);
    }
    return loaded;
}

QString UserDictionary::put(const QString &path, const QString &word, const QString &reading)
{
    QByteArray bytes;
    QString error;
    if (!readDictionary(path, bytes, error))
        return error;
    QList<Line> lines = linesOf(bytes);
    bool found = false;
    for (Line &l : lines) {
        if (keyOf(l.text) != word)
            continue;
        QList<QByteArray> fields = l.text.split('\t');
        if (fields.size() < 2)
            fields.append(QByteArray());
        fields[1] = reading.toUtf8();
        l.text = fields.join('\t');
        found = true;
    }
    if (!found) {
        const QByteArray end = bytes.contains("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
        if (!lines.isEmpty() && lines.back().end.isEmpty())
            lines.back().end = end;
        lines.append({word.toUtf8() + '\t' + reading.toUtf8(), end});
    }
    return save(path, lines);
}

QString UserDictionary::remove(const QString &path, const QString &word)
{
    QByteArray bytes;
    QString error;
    if (!readDictionary(path, bytes, error))
        return error;
    QList<Line> lines = linesOf(bytes);
    lines.removeIf([&word](const Line &l) { return keyOf(l.text) == word; });
    return save(path, lines);
}

} // namespace reading
