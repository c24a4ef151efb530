#include "reading/Ruby.h"

#include "reading/KanaRules.h"

namespace reading {

QList<RubyPiece> parseRuby(QStringView line)
{
    QList<RubyPiece> pieces;
    QString plain;
    auto flush = [&] {
        if (!plain.isEmpty())
            pieces.append({plain, QString()});
        plain.clear();
    };
    const qsizetype n = line.size();
    qsizetype bar = -1; // where a ｜ opened a base, as an index into `plain`
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = line[i];
        if (c == u'｜') {
            bar = plain.size();
            continue;
        }
        if (c == u'《') {
            const qsizetype close = line.indexOf(u'》', i + 1);
            qsizetype baseStart = bar;
            if (baseStart < 0) {
                // The run of kanji just before 《 (a surrogate pair counts as one).
                baseStart = plain.size();
                while (baseStart > 0) {
                    qsizetype k = baseStart - 1;
                    char32_t cp = plain[k].unicode();
                    if (plain[k].isLowSurrogate() && k > 0 && plain[k - 1].isHighSurrogate()) {
                        --k;
                        cp = QChar::surrogateToUcs4(plain[k], plain[k + 1]);
                    }
                    if (!isKanji(cp))
                        break;
                    baseStart = k;
                }
            }
            const QStringView ruby = close > i ? line.sliced(i + 1, close - i - 1) : QStringView();
            if (close < 0 || baseStart >= plain.size() || ruby.trimmed().isEmpty()) {
                if (bar >= 0)
                    plain.insert(bar, u'｜');
                bar = -1;
                plain.append(c);
                continue;
            }
            const QString base = plain.mid(baseStart);
            plain.truncate(baseStart);
            flush();
            pieces.append({base, ruby.toString()});
            i = close;
            bar = -1;
            continue;
        }
        plain.append(c);
    }
    if (bar >= 0)
        plain.insert(bar, u'｜');
    flush();
    return pieces;
}

} // namespace reading
