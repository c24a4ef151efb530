// detection_figures [COUNT] [--misses]
//   Short Japanese texts made at random (kanji, kana, and both mixed with punctuation; four
//   to twelve characters), each written in code page 932, EUC-JP and UTF-8, and the share
//   of them whose encoding detection finds again. Kanji come from JIS level 1 alone (the
//   common ones) and from levels 1 and 2 alike. Prints the figures (with --misses, each
//   text missed and what it was taken for); asserts nothing.
#include "text/FileEncoding.h"

#include <QList>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>

using text::FileEncoding;

namespace {

// The kanji of JIS X 0208 rows [firstRow, lastRow], through their EUC-JP bytes.
QList<QChar> kanjiRows(int firstRow, int lastRow)
{
    QList<QChar> out;
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int cell = 1; cell <= 94; ++cell) {
            const char bytes[] = {char(0xA0 + row), char(0xA0 + cell)};
            const QString c = text::decodeText(QByteArrayView(bytes, 2), FileEncoding::EucJp);
            if (c.size() == 1 && c[0].unicode() >= 0x4E00 && c[0].unicode() <= 0x9FFF)
                out << c[0];
        }
    }
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    int count = 2000;
    bool misses = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--misses") == 0)
            misses = true;
        else
            count = std::atoi(argv[i]);
    }
    const QList<QChar> level1 = kanjiRows(16, 47);
    const QList<QChar> both = level1 + kanjiRows(48, 84);
    QList<QChar> kana;
    for (char16_t c = u'ぁ'; c <= u'ん'; ++c)
        kana << QChar(c);
    for (char16_t c = u'ァ'; c <= u'ヶ'; ++c)
        kana << QChar(c);
    const QList<QChar> marks = {u'、', u'。', u'「', u'」', u'ー'};

    std::mt19937 random(20261210);
    auto pick = [&](const QList<QChar> &from) {
        return from[std::uniform_int_distribution<qsizetype>(0, from.size() - 1)(random)];
    };
    struct Kind
    {
        const char *name;
        std::function<QChar()> next;
    };
    const Kind kinds[] = {
        {"kanji, level 1", [&] { return pick(level1); }},
        {"kanji, levels 1 and 2", [&] { return pick(both); }},
        {"kana", [&] { return pick(kana); }},
        {"mixed",
         [&] {
             const int r = std::uniform_int_distribution<int>(0, 9)(random);
             return r < 5 ? pick(level1) : r < 9 ? pick(kana) : pick(marks);
         }},
    };
    const FileEncoding encodings[] = {FileEncoding::Cp932, FileEncoding::EucJp, FileEncoding::Utf8};
    std::printf("%-24s %10s %10s %10s\n", "texts of 4-12 characters", "cp932", "euc-jp", "utf-8");
    for (const Kind &kind : kinds) {
        std::printf("%-24s", kind.name);
        for (FileEncoding enc : encodings) {
            int right = 0;
            for (int k = 0; k < count; ++k) {
                QString t;
                const int length = std::uniform_int_distribution<int>(4, 12)(random);
                for (int i = 0; i < length; ++i)
                    t += kind.next();
                const QByteArray bytes = text::encodeText(t, enc).bytes;
                const FileEncoding found = text::detectEncoding(bytes);
                right += found == enc ? 1 : 0;
                if (misses && found != enc)
                    std::fprintf(stderr, "%s as %s: %s\n", qPrintable(text::encodingKey(enc)),
                                 qPrintable(text::encodingKey(found)), qPrintable(t));
            }
            std::printf(" %9.2f%%", 100.0 * right / count);
        }
        std::printf("\n");
    }
    return 0;
}
