#include "convert/Dates.h"

namespace convert {

namespace {

QString twoDigitWords(int value)
{
    static const char16_t *const units[] = {u"",   u"一", u"二", u"三", u"四",
                                            u"五", u"六", u"七", u"八", u"九"};
    const int t = value / 10 % 10;
    const int u = value % 10;
    QString words;
    if (t == 1)
        words += u'十';
    else if (t > 1)
        words += QString::fromUtf16(units[t]) + u'十';
    words += QString::fromUtf16(units[u]);
    return words;
}

} // namespace

QString kanjiDate(QDate date)
{
    const int year = std::abs(date.year()) % 100;
    return QStringLiteral("二千") + twoDigitWords(year) + u'年' + twoDigitWords(date.month()) +
           u'月' + twoDigitWords(date.day()) + u'日';
}

QString HidukeText(const QDateTime &now, const QLocale &locale, bool vertical)
{
    if (vertical)
        return kanjiDate(now.date());
    return locale.toString(now.date(), QLocale::ShortFormat);
}

QString longTimeFormat(const QLocale &locale)
{
    QString format = locale.timeFormat(QLocale::ShortFormat);
    if (format.contains(u's'))
        return format;
    // Find the minutes outside quoted text and repeat their separator before the seconds.
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format[i] == u'\'') {
            quoted = !quoted;
            continue;
        }
        if (quoted || format[i] != u'm')
            continue;
        qsizetype end = i;
        while (end < format.size() && format[end] == u'm')
            ++end;
        const QChar separator =
            i > 0 && format[i - 1] != u'h' && format[i - 1] != u'H' ? format[i - 1] : QChar(u':');
        format.insert(end, QString(separator) + QStringLiteral("ss"));
        return format;
    }
    return format;
}

QString diaryText(const QDateTime &now, const QLocale &locale)
{
    const QString date = locale.toString(now.date(), QLocale::ShortFormat);
    const QTime time = now.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return date;
    return date + u' ' + locale.toString(time, longTimeFormat(locale));
}

QString kuhaku1Text()
{
    return QString::fromUtf16(kBlankLineMarker) + u'\n';
}

} // namespace convert
