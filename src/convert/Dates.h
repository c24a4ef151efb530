#pragma once
// The texts the Edit menu inserts at the right pane's caret: Hiduke, diary, kuhaku1. Each
// is a function of the moment, the locale and the pane's writing mode, so the window only
// inserts what it gets.

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>

namespace convert {

// The date in kanji numerals: "二千" and the year's last two digits, then month and day,
// each two-digit number written as tens and units with no word for zero:
// 2005-03-07 → 二千五年三月七日, 2026-12-31 → 二千二十六年十二月三十一日,
// 2010-10-10 → 二千十年十月十日, 2000-01-20 → 二千年一月二十日.
// Years outside 2000-2099 keep the fixed "二千": 1999 is 二千九十九年.
QString kanjiDate(QDate date);

// Hiduke: the kanji date when the pane writes vertically, else the locale's short date
// (2005/03/07 in Japanese).
QString HidukeText(const QDateTime &now, const QLocale &locale, bool vertical);

// diary: the short date, a blank and the long time ("2005/03/07 12:34:56" in Japanese).
// At exactly 00:00:00 the time is left out, as the editor has always written it.
QString diaryText(const QDateTime &now, const QLocale &locale);

// The locale's time format with seconds: its short format with the seconds added after the
// minutes when it has none ("H:mm" → "H:mm:ss", "h:mm AP" → "h:mm:ss AP"). Qt's long
// format would add the time zone, which a diary line does not want.
QString longTimeFormat(const QLocale &locale);

// The blank-line marker line.
inline constexpr char16_t kBlankLineMarker[] = u"＠＃＆％！";
// kuhaku1: the marker and a line break, so that the caret lands on the next line.
QString kuhaku1Text();

} // namespace convert
