#include "reading/Counters.h"

#include "reading/KanaRules.h"

#include <QFile>
#include <QHash>
#include <QList>

static void initCountersQrc()
{
    Q_INIT_RESOURCE(reading);
}

namespace reading {

namespace {

struct Counter
{
    QString plain;         // 本 ほん
    QString geminated;     // after いっ, ろっ, はっ, じゅっ, ひゃっ: ぽん
    QString afterN;        // after さん, せん, まん, なん: ぼん
    QList<int> geminating; // the last terms said with っ before it
    struct Own
    {
        long long number = 0;
        bool whole = false;      // that number only, not any ending in it
        bool afterMonth = false; // only after a month
        QString reading;
    };
    QList<Own> own;
};

struct Table
{
    QHash<QString, Counter> counters;
    qsizetype longest = 0;
};

const Table &table()
{
    static const Table loaded = [] {
        Table t;
        initCountersQrc();
        QFile f(QStringLiteral(":/reading/counters.tsv"));
        if (!f.open(QIODevice::ReadOnly))
            return t;
        const QString text = QString::fromUtf8(f.readAll());
        for (QStringView line : QStringView(text).split(u'\n')) {
            if (line.isEmpty() || line.startsWith(u'#'))
                continue;
            const QList<QStringView> fields = line.split(u'\t');
            if (fields.size() < 4)
                continue;
            Counter c{fields[1].toString(), fields[2].toString(), fields[3].toString(), {}, {}};
            for (QStringView n : fields.value(4).split(u' ', Qt::SkipEmptyParts))
                c.geminating << n.toInt();
            for (QStringView own : fields.value(5).split(u' ', Qt::SkipEmptyParts)) {
                Counter::Own o;
                if (own.startsWith(u'@')) {
                    o.afterMonth = true;
                    own = own.sliced(1);
                }
                if (own.startsWith(u'=')) {
                    o.whole = true;
                    own = own.sliced(1);
                }
                const qsizetype colon = own.indexOf(u':');
                if (colon <= 0)
                    continue;
                o.number = own.left(colon).toLongLong();
                o.reading = own.sliced(colon + 1).toString();
                c.own << o;
            }
            t.longest = std::max(t.longest, fields[0].size());
            t.counters.insert(fields[0].toString(), c);
        }
        return t;
    }();
    return loaded;
}

int digitOf(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'０' && c <= u'９')
        return c.unicode() - u'０';
    const qsizetype k = QStringView(u"〇一二三四五六七八九").indexOf(c);
    return int(k);
}

// 十 百 千 as 10 100 1000; 万 億 兆 as the powers of ten thousand; 0 for other characters.
long long unitOf(QChar c)
{
    switch (c.unicode()) {
    case u'十':
        return 10;
    case u'百':
        return 100;
    case u'千':
        return 1000;
    case u'万':
        return 10000LL;
    case u'億':
        return 100000000LL;
    case u'兆':
        return 1000000000000LL;
    default:
        return 0;
    }
}

// The term a number ends with, which decides the counter's sound: its last digit (1-9),
// else 10, 100, 1000 or 10000 for a number ending in 十, 百, 千 or a larger unit.
int lastTerm(long long n)
{
    if (n % 10)
        return int(n % 10);
    if (n % 100)
        return 10;
    if (n % 1000)
        return 100;
    if (n % 10000)
        return 1000;
    return 10000;
}

} // namespace

bool isNumeral(QChar c)
{
    return digitOf(c) >= 0 || unitOf(c) > 0;
}

long long numberValue(QStringView s)
{
    if (s.isEmpty() || s.size() > 18)
        return -1;
    // Digits only (2026, 二〇二六): positional.
    bool positional = true;
    for (QChar c : s)
        positional = positional && digitOf(c) >= 0;
    if (positional) {
        long long v = 0;
        for (QChar c : s)
            v = v * 10 + digitOf(c);
        return v;
    }
    // Kanji numerals with units: 三百六十五, 二万五千, 千九百.
    long long total = 0;    // finished groups of 万 億 兆
    long long group = 0;    // below 万
    long long pending = -1; // a digit waiting for its unit
    long long lastBig = 0;
    for (QChar c : s) {
        if (const int d = digitOf(c); d >= 0) {
            if (pending >= 0)
                return -1; // two digits in a row among units: 二三百 is no number
            pending = d;
            continue;
        }
        const long long unit = unitOf(c);
        if (unit <= 0)
            return -1;
        if (unit < 10000) {
            group += (pending >= 0 ? pending : 1) * unit;
        } else {
            group += pending >= 0 ? pending : 0;
            if (group == 0 || (lastBig && unit >= lastBig))
                return -1;
            total += group * unit;
            group = 0;
            lastBig = unit;
        }
        pending = -1;
    }
    if (pending >= 0)
        group += pending;
    return total + group;
}

bool countsTime(QChar c)
{
    return QStringView(u"日年月時分秒週間晩").contains(c);
}

qsizetype counterAt(QStringView text, qsizetype position)
{
    const Table &t = table();
    for (qsizetype n = std::min(t.longest, text.size() - position); n > 0; --n) {
        if (t.counters.contains(text.sliced(position, n).toString()))
            return n;
    }
    return 0;
}

QString countedReading(long long number, QStringView counter, bool afterMonth)
{
    const Table &t = table();
    const auto it = t.counters.constFind(counter.toString());
    if (it == t.counters.cend() || number < 0)
        return {};
    const Counter &c = *it;
    const int term = lastTerm(number);
    for (const Counter::Own &own : c.own) {
        if (own.afterMonth && !afterMonth)
            continue;
        if (own.whole ? own.number == number : own.number == term && term < 10) {
            const long long rest = own.whole ? 0 : number - term;
            return (rest ? numberReading(QString::number(rest)) : QString()) + own.reading;
        }
    }
    QString said = numberReading(QString::number(number));
    return said + counterAfter(said, term, counter);
}

QString counterReading(QStringView counter)
{
    return table().counters.value(counter.toString()).plain;
}

QString counterAfter(QString &said, int term, QStringView counter)
{
    const Table &t = table();
    const auto it = t.counters.constFind(counter.toString());
    if (it == t.counters.cend())
        return {};
    if (it->geminating.contains(term)) {
        // いち ろく はち じゅう ひゃく lose their last sound to っ: いっ ろっ はっ じゅっ ひゃっ.
        said.back() = u'っ';
        return it->geminated;
    }
    if ((term == 3 || term >= 1000) && said.endsWith(u'ん'))
        return it->afterN;
    return it->plain;
}

} // namespace reading
