#include "reading/Lexicon.h"

#include "reading/KanaRules.h"

#include <QFile>

#include <algorithm>

static void initReadingQrc()
{
    Q_INIT_RESOURCE(reading);
}

namespace reading {

void Lexicon::addTsv(QStringView tsv)
{
    for (QStringView line : tsv.split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QList<QStringView> fields = line.split(u'\t');
        if (fields.size() < 2)
            continue;
        add(fields[0].trimmed().toString(), fields[1].trimmed().toString());
    }
}

void Lexicon::add(const QString &surface, const QString &reading)
{
    if (surface.isEmpty() || reading.isEmpty())
        return;
    m_entries.insert(surface, toHiragana(reading));
    m_longest = std::max(m_longest, surface.size());
}

QList<std::pair<QString, QString>> Lexicon::entries() const
{
    QList<std::pair<QString, QString>> list;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it)
        list.append({it.key(), it.value()});
    std::sort(list.begin(), list.end());
    return list;
}

QString Lexicon::toTsv() const
{
    QString tsv = QStringLiteral("# word\treading\n");
    for (const auto &[surface, reading] : entries())
        tsv += surface + u'\t' + reading + u'\n';
    return tsv;
}

Lexicon::Match Lexicon::longestAt(QStringView text, qsizetype position) const
{
    const qsizetype most = std::min(m_longest, text.size() - position);
    for (qsizetype len = most; len > 0; --len) {
        const auto it = m_entries.constFind(text.sliced(position, len).toString());
        if (it != m_entries.cend())
            return {len, *it};
    }
    return {};
}

namespace {

Lexicon compiledIn(std::initializer_list<const char *> names)
{
    initReadingQrc();
    Lexicon l;
    for (const char *name : names) {
        QFile f(QString::fromLatin1(name));
        if (f.open(QIODevice::ReadOnly))
            l.addTsv(QString::fromUtf8(f.readAll()));
    }
    return l;
}

} // namespace

const Lexicon &Lexicon::classical()
{
    static const Lexicon lexicon =
        compiledIn({":/reading/classical-words.tsv", ":/reading/haiku-words.tsv"});
    return lexicon;
}

const Lexicon &Lexicon::names()
{
    static const Lexicon lexicon = compiledIn({":/reading/classical-names.tsv"});
    return lexicon;
}

const Lexicon &Lexicon::kanji()
{
    static const Lexicon lexicon = compiledIn({":/reading/kanji-readings.tsv"});
    return lexicon;
}

} // namespace reading
