#include "convert/Dates.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace convert;

TEST(KanjiDate, TensAndUnitsWithoutAWordForZero)
{
    const std::pair<QDate, const char16_t *> cases[] = {
        {QDate(2005, 3, 7), u"二千五年三月七日"},
        {QDate(2026, 12, 31), u"二千二十六年十二月三十一日"},
        {QDate(2010, 10, 10), u"二千十年十月十日"},
        {QDate(2000, 1, 20), u"二千年一月二十日"},
        {QDate(2011, 11, 30), u"二千十一年十一月三十日"},
        {QDate(2099, 9, 19), u"二千九十九年九月十九日"},
        {QDate(1999, 2, 1), u"二千九十九年二月一日"}, // the thousands are fixed
        {QDate(2100, 6, 5), u"二千年六月五日"},
    };
    for (const auto &[date, expected] : cases)
        EXPECT_EQ(kanjiDate(date), QString::fromUtf16(expected)) << date.toString().toStdString();
}

TEST(DateTexts, VerticalKanjiElseTheLocalesFormats)
{
    const QLocale ja(QLocale::Japanese, QLocale::Japan);
    const QDateTime moment(QDate(2005, 3, 7), QTime(12, 34, 56));
    EXPECT_EQ(HidukeText(moment, ja, true), QStringLiteral("二千五年三月七日"));
    EXPECT_EQ(HidukeText(moment, ja, false), QStringLiteral("2005/03/07"));
    EXPECT_EQ(diaryText(moment, ja), QStringLiteral("2005/03/07 12:34:56"));
    EXPECT_EQ(diaryText(QDateTime(QDate(2005, 3, 7), QTime(9, 5, 0)), ja),
              QStringLiteral("2005/03/07 9:05:00"));
    EXPECT_EQ(diaryText(QDateTime(QDate(2005, 3, 7), QTime(0, 0, 0, 400)), ja),
              QStringLiteral("2005/03/07"));
    EXPECT_EQ(diaryText(QDateTime(QDate(2005, 3, 7), QTime(0, 0, 1)), ja),
              QStringLiteral("2005/03/07 0:00:01"));

    // Whatever the locale, the time keeps its seconds and no time zone.
    for (const QLocale &locale : {QLocale(QLocale::English, QLocale::UnitedStates),
                                  QLocale(QLocale::German, QLocale::Germany),
                                  QLocale(QLocale::Finnish, QLocale::Finland), QLocale::c()}) {
        const QString format = longTimeFormat(locale);
        EXPECT_TRUE(format.contains(QLatin1String("ss"))) << format.toStdString();
        EXPECT_FALSE(format.contains(u't')) << format.toStdString();
        EXPECT_TRUE(diaryText(moment, locale).contains(QLatin1String("34")));
        EXPECT_TRUE(diaryText(moment, locale).contains(QLatin1String("56")))
            << diaryText(moment, locale).toStdString();
    }
}

TEST(DateTexts, BlankLineMarker)
{
    EXPECT_EQ(kuhaku1Text(), QStringLiteral("＠＃＆％！\n"));
}
