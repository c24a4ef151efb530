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
    QList<qsizetype> &lengths =
        m_lengths[startKey(surface[0], surface.size() > 1 ? surface[1] : QChar())];
    if (!lengths.contains(surface.size())) {
        lengths.append(surface.size());
        std::sort(lengths.begin(), lengths.end(), std::greater<>());
    }
}

void Lexicon::remove(const QString &surface)
{
    // The length stays listed: a look-up at it finds nothing, which costs little.
    m_entries.remove(surface);
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
    const QList<Match> all = matchesAt(text, position);
    return all.isEmpty() ? Match() : all.constFirst();
}

QList<Lexicon::Match> Lexicon::matchesAt(QStringView text, qsizetype position) const
{
    QList<Match> found;
    if (position < 0 || position >= text.size() || m_entries.isEmpty())
        return found;
    const qsizetype left = text.size() - position;
    auto look = [&](quint32 key) {
        const auto lengths = m_lengths.constFind(key);
        if (lengths == m_lengths.cend())
            return;
        for (qsizetype len : *lengths) {
            if (len > left)
                continue;
            const auto it = m_entries.constFind(text.sliced(position, len).toString());
            if (it != m_entries.cend())
                found.append({len, *it});
        }
    };
    if (left > 1)
        look(startKey(text[position], text[position + 1]));
    look(startKey(text[position], QChar()));
    return found;
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

const Lexicon &Lexicon::oldProse()
{
    static const Lexicon lexicon = compiledIn({":/reading/old-prose-words.tsv"});
    return lexicon;
}

const Lexicon &Lexicon::names()
{
    static const Lexicon lexicon = compiledIn({":/reading/classical-names.tsv"});
    return lexicon;
}

QString Lexicon::historicalSpelling(const QString &surface, const QString &reading)
{
    static const QHash<QString, QString> spellings = [] {
        // Today's reading -> the one historical spelling the lexicons give for it; "" where
        // two words' spellings meet.
        QHash<QString, QString> out;
        for (const Lexicon *l : {&classical(), &names()}) {
            for (auto it = l->m_entries.cbegin(); it != l->m_entries.cend(); ++it) {
                const QString &spelled = it.key();
                const bool kanaOnly = std::all_of(spelled.cbegin(), spelled.cend(), [](QChar c) {
                    return (c >= u'ぁ' && c <= u'ゖ') || c == u'ー';
                });
                if (!kanaOnly || spelled == it.value())
                    continue;
                const auto known = out.constFind(it.value());
                out.insert(it.value(),
                           known == out.cend() || *known == spelled ? spelled : QString());
            }
        }
        return out;
    }();
    if (classical().readingOf(surface) != reading && names().readingOf(surface) != reading)
        return QString();
    return spellings.value(reading);
}

} // namespace reading
