#include "text/DocumentFile.h"

#include "TestPrinters.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace text;

namespace {

// Line ends a generated file uses: one kind throughout, or any mixture.
enum class Ends { CrLf, Lf, Cr, Mixed };

QByteArray endBytes(Ends ends, QRandomGenerator &rng)
{
    switch (ends == Ends::Mixed ? Ends(rng.bounded(3)) : ends) {
    case Ends::CrLf:
        return "\r\n";
    case Ends::Lf:
        return "\n";
    default:
        return "\r";
    }
}

QString endText(Ends ends, QRandomGenerator &rng)
{
    return QString::fromLatin1(endBytes(ends, rng));
}

// Any bytes at all, except the lead bytes of code page 932's duplicate codes (NEC row 13
// and the two copies of the IBM extension), which decode to a character that encodes to
// its other code by design.
QByteArray randomBytes(QRandomGenerator &rng, Ends ends)
{
    QByteArray b;
    const int n = rng.bounded(120);
    for (int i = 0; i < n; ++i) {
        if (rng.bounded(12) == 0) {
            b += endBytes(ends, rng);
            continue;
        }
        auto c = static_cast<unsigned char>(rng.bounded(256));
        if (c == 0x87 || c == 0xED || c == 0xEE || c >= 0xFA)
            c = 'a' + c % 26;
        b += char(c);
    }
    return b;
}

// Text of kana, kanji, Latin and symbols, with the chosen line ends.
QString randomText(QRandomGenerator &rng, Ends ends, bool supplementary)
{
    static const QString pool =
        QStringLiteral("あいうえおかきくけこゃゅょっー春夏秋冬山川人心花鳥風月"
                       "アイウエオヴ、。「」！？abcXYZ019 　＃＠♪★");
    QString s;
    const int n = 1 + rng.bounded(60);
    for (int i = 0; i < n; ++i) {
        const int pick = rng.bounded(20);
        if (pick == 0)
            s += endText(ends, rng);
        else if (pick == 1 && supplementary)
            s += QStringLiteral("𠮷");
        else
            s += pool.at(rng.bounded(int(pool.size())));
    }
    return s + QStringLiteral("の");
}

QByteArray saveUnchanged(const QByteArray &bytes)
{
    const LoadedDocument doc = decodeDocument(bytes);
    const EncodedDocument out = encodeDocument(doc.text, doc.format);
    EXPECT_TRUE(out.unencodable.isEmpty());
    return out.bytes;
}

// Open and save unchanged gives the file's bytes back, whatever they are: thousands of
// generated files in every encoding, with every kind of line end.
TEST(DocumentRoundTrip, OpenAndSaveUnchangedKeepsEveryByte)
{
    QRandomGenerator rng(20261208);
    int cases = 0;
    for (Ends ends : {Ends::CrLf, Ends::Lf, Ends::Cr, Ends::Mixed}) {
        for (int i = 0; i < 500; ++i, ++cases) {
            const QByteArray cp932 = randomBytes(rng, ends);
            ASSERT_EQ(saveUnchanged(cp932), cp932) << "bytes " << cp932.toHex().constData();

            const QString text = randomText(rng, ends, true);
            const QByteArray utf8 = text.toUtf8();
            ASSERT_EQ(detectEncoding(utf8), FileEncoding::Utf8);
            ASSERT_EQ(saveUnchanged(utf8), utf8) << qPrintable(text);
            const QByteArray bom = "\xEF\xBB\xBF" + utf8;
            ASSERT_EQ(saveUnchanged(bom), bom) << qPrintable(text);

            // UTF-16 holds any code units, lone surrogates and line ends included.
            for (FileEncoding e : {FileEncoding::Utf16Le, FileEncoding::Utf16Be}) {
                QByteArray utf16 = encodeText(text, e).bytes;
                for (int k = rng.bounded(8); k > 0; --k) {
                    const auto u = char16_t(rng.bounded(0x10000));
                    const char hi = char(u >> 8), lo = char(u & 0xFF);
                    utf16.append(e == FileEncoding::Utf16Le ? lo : hi);
                    utf16.append(e == FileEncoding::Utf16Le ? hi : lo);
                }
                ASSERT_EQ(detectEncoding(utf16), e);
                ASSERT_EQ(saveUnchanged(utf16), utf16) << utf16.toHex().constData();
            }

            const QString jis = randomText(rng, ends, false);
            const EncodedText euc = encodeText(jis, FileEncoding::EucJp);
            ASSERT_TRUE(euc.ok()) << qPrintable(jis);
            ASSERT_EQ(detectEncoding(euc.bytes), FileEncoding::EucJp) << qPrintable(jis);
            ASSERT_EQ(saveUnchanged(euc.bytes), euc.bytes) << qPrintable(jis);
        }
    }
    EXPECT_EQ(cases, 2000);
}

TEST(DocumentFormat, DetectsEncodingsAndLineEnds)
{
    struct Case
    {
        const char *name;
        QByteArray bytes;
        FileEncoding encoding;
        LineEnd lineEnd;
        bool mixed;
    };
    const Case cases[] = {
        {"cp932 CR LF", "\x82\xA0\r\n\x82\xA2", FileEncoding::Cp932, LineEnd::CrLf, false},
        {"UTF-8 LF", "\xE3\x81\x82\n\xE3\x81\x84\n", FileEncoding::Utf8, LineEnd::Lf, false},
        {"CR only", "a\rb\rc", FileEncoding::Cp932, LineEnd::Cr, false},
        {"UTF-16LE", QByteArray("\xFF\xFE\x42\x30\x0D\x00\x0A\x00", 8), FileEncoding::Utf16Le,
         LineEnd::CrLf, false},
        {"UTF-16BE", QByteArray("\xFE\xFF\x30\x42\x00\x0A", 6), FileEncoding::Utf16Be, LineEnd::Lf,
         false},
        {"odd length after FF FE", "\xFF\xFE\x41", FileEncoding::Cp932, LineEnd::CrLf, false},
        {"EUC-JP", "\xA4\xA2\xA4\xA4\xBB\xB3\n", FileEncoding::EucJp, LineEnd::Lf, false},
        {"ISO-2022-JP", "\x1B$B$\"$$\x1B(B\r\n", FileEncoding::Iso2022Jp, LineEnd::CrLf, false},
        {"mixed, LF most", "a\nb\nc\r\nd", FileEncoding::Cp932, LineEnd::Lf, true},
        {"mixed tie", "a\r\nb\n", FileEncoding::Cp932, LineEnd::CrLf, true},
    };
    for (const Case &c : cases) {
        const LoadedDocument doc = decodeDocument(c.bytes);
        EXPECT_EQ(doc.format.encoding, c.encoding) << c.name;
        EXPECT_EQ(doc.format.lineEnd, c.lineEnd) << c.name;
        EXPECT_EQ(doc.format.mixedLineEnds, c.mixed) << c.name;
        EXPECT_FALSE(doc.text.contains(u'\r')) << c.name;
    }
}

TEST(DocumentFormat, AnEditedFileKeepsItsLineEndsAndMixedOnesTakeTheMajority)
{
    LoadedDocument lf = decodeDocument("one\ntwo\n");
    EXPECT_EQ(encodeDocument(lf.text + QStringLiteral("three\n"), lf.format).bytes,
              "one\ntwo\nthree\n");
    LoadedDocument mixed = decodeDocument("a\nb\nc\r\nd");
    EXPECT_EQ(encodeDocument(mixed.text, mixed.format).bytes, "a\nb\nc\r\nd");
    EXPECT_EQ(encodeDocument(mixed.text + QStringLiteral("!"), mixed.format).bytes, "a\nb\nc\nd!");
    EXPECT_EQ(encodeDocument(QStringLiteral("new\nfile"), DocumentFormat()).bytes, "new\r\nfile");
    // A stray CR pasted into the text is a line end of the file's kind.
    EXPECT_EQ(encodeDocument(QStringLiteral("x\ry"), lf.format).bytes, "x\ny");
}

TEST(DocumentFormat, BinaryFilesAreRecognisedAndKeptByteForByte)
{
    const QByteArray png("\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR\x00\x10\r\r\n", 23);
    const QByteArray nul("text\0more\r\nand\n", 15);
    for (const QByteArray &bytes : {png, nul}) {
        EXPECT_TRUE(looksBinary(bytes));
        const LoadedDocument doc = decodeDocument(bytes);
        EXPECT_TRUE(doc.format.binary);
        EXPECT_EQ(encodeDocument(doc.text, doc.format).bytes, bytes);
    }
    // UTF-8 that is valid but for a NUL stays UTF-8, and comes back byte for byte.
    const QByteArray utf8Nul("\xE6\x98\xA5\0\xE7\xA7\x8B\n", 8);
    const LoadedDocument withNul = decodeDocument(utf8Nul);
    EXPECT_EQ(withNul.format.encoding, FileEncoding::Utf8);
    EXPECT_EQ(withNul.text, QString::fromUtf8(utf8Nul));
    EXPECT_EQ(encodeDocument(withNul.text, withNul.format).bytes, utf8Nul);
    EXPECT_FALSE(looksBinary(QByteArray("\xFF\xFE\x41\x00", 4))); // UTF-16's NULs are text
    EXPECT_FALSE(looksBinary("BZh is how a line of notes may begin"));
    EXPECT_FALSE(looksBinary("\x82\xA0\x82\xA2"));
}

TEST(DocumentFormat, EncodingsThatCannotHoldACharacterSayWhich)
{
    DocumentFormat euc;
    euc.encoding = FileEncoding::EucJp;
    const EncodedDocument out = encodeDocument(QStringLiteral("春♥𠮷"), euc);
    EXPECT_EQ(out.unencodable, (QList<char32_t>{U'♥', U'𠮷'}));
    DocumentFormat utf16;
    utf16.encoding = FileEncoding::Utf16Le;
    EXPECT_TRUE(encodeDocument(QStringLiteral("♥𠮷"), utf16).unencodable.isEmpty());
    for (FileEncoding e : kAllEncodings)
        EXPECT_EQ(encodingFromKey(encodingKey(e)), e);
}

} // namespace
