#pragma once

// Readable failure messages for Qt strings: ASCII as is, everything else as U+XXXX or hex.

#include <QByteArray>
#include <QList>
#include <QString>

#include <iomanip>
#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"';
    for (const char32_t c : s.toUcs4()) {
        if (c >= 0x20 && c < 0x7F)
            *os << static_cast<char>(c);
        else
            *os << "<U+" << std::hex << std::uppercase << std::setw(4) << std::setfill('0')
                << static_cast<unsigned>(c) << std::dec << '>';
    }
    *os << '"';
}

inline void PrintTo(const QByteArray &bytes, std::ostream *os)
{
    *os << '[';
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        *os << (i ? " " : "") << std::hex << std::uppercase << std::setw(2) << std::setfill('0')
            << static_cast<unsigned>(static_cast<unsigned char>(bytes[i])) << std::dec;
    }
    *os << ']';
}
