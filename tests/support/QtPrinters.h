#pragma once
// Failure messages show Qt strings as the text they hold (UTF-8), not as raw objects.

#include <QColor>
#include <QString>
#include <QStringList>
#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(const QStringList &list, std::ostream *os)
{
    *os << '{';
    for (qsizetype i = 0; i < list.size(); ++i)
        *os << (i ? ", \"" : "\"") << list[i].toStdString() << '"';
    *os << '}';
}

inline void PrintTo(const QColor &c, std::ostream *os)
{
    *os << "rgb(" << c.red() << ", " << c.green() << ", " << c.blue() << ")";
}
