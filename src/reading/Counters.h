#pragma once
// Numbers with what they count: 三本 さんぼん, 一人 ひとり, 二十歳 はたち, 十二月一日
// じゅうにがつついたち, 七重 ななえ. The counters and their sound changes are a table
// (data/counters.tsv); the numbers are written in digits or in kanji (二十, 三百, 二〇二六).

#include <QString>
#include <QStringView>

namespace reading {

// A digit or a kanji numeral: 0-9, ０-９, 〇 一 ... 九 十 百 千 万 億 兆.
bool isNumeral(QChar c);

// The value of a number written in digits or kanji numerals ("二十" 20, "三百六十五" 365,
// "二〇二六" 2026, "1,000" is not one: no commas); -1 when `numerals` is no number or too
// large to count.
long long numberValue(QStringView numerals);

// The length of the longest counter the table holds at `position`; 0 for none.
qsizetype counterAt(QStringView text, qsizetype position);

// Whether a counter ending in `c` counts a span of time (日, 年, 時間, 週間), after which 前
// is まえ, ago.
bool countsTime(QChar c);

// A number with its counter as it is said: (3, "本") さんぼん, (1, "日", afterMonth)
// ついたち, (20, "歳") はたち; empty when `counter` is not in the table.
QString countedReading(long long number, QStringView counter, bool afterMonth = false);

// The counter's own reading, as a dictionary gives it (本 ほん); empty when it is not in the
// table.
QString counterReading(QStringView counter);

// The counter's sound after a number said `said` whose last term is `term` (1-9, 10, 100,
// 1000, 10000), `said` ending in っ where the counter takes one: (ろく, 6, 騎) き, said ろっ;
// empty when `counter` is not in the table.
QString counterAfter(QString &said, int term, QStringView counter);

} // namespace reading
