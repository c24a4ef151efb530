#include "shell/DocumentFile.h"

#include "text/TextMetrics.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace shell {

std::optional<LoadedDocument> readDocument(const QString &path, FileProblem *problem)
{
    QFile f(path);
    if (QFileInfo(path).isDir()) {
        if (problem)
            problem->message = QStringLiteral("%1 はフォルダです。").arg(path);
        return std::nullopt;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        if (problem)
            problem->message = f.errorString();
        return std::nullopt;
    }
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        if (problem)
            problem->message = f.errorString();
        return std::nullopt;
    }
    LoadedDocument doc;
    doc.encoding = text::detectEncoding(bytes);
    const QString decoded = text::decodeText(bytes, doc.encoding);
    doc.text = text::splitLines(decoded).join(QLatin1Char('\n'));
    return doc;
}

EncodedDocument encodeDocument(const QString &plain, text::FileEncoding encoding)
{
    const QString crlf = text::joinLinesCrLf(text::splitLines(plain));
    text::EncodedText encoded = text::encodeText(crlf, encoding);
    EncodedDocument doc{encoded.bytes, encoded.unencodable};
    if (doc.unencodable.isEmpty())
        doc.opensAsOtherText = text::decodeText(doc.bytes, text::detectEncoding(doc.bytes)) != crlf;
    return doc;
}

bool writeBytes(const QString &path, const QByteArray &bytes, FileProblem *problem)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        if (problem)
            problem->message = f.errorString();
        return false;
    }
    return true;
}

QString describeCharacters(const QList<char32_t> &chars, int maxShown)
{
    QString out;
    int shown = 0;
    for (char32_t c : chars) {
        if (shown == maxShown) {
            out += QStringLiteral(" …");
            break;
        }
        out += QStringLiteral("「") + QString::fromUcs4(&c, 1) +
               QStringLiteral("」(U+%1)").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
        ++shown;
    }
    return out;
}

} // namespace shell
