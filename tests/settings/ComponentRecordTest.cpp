#include "settings/ComponentRecord.h"

#include "text/Cp932Codec.h"

#include "TestPrinters.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace settings;

namespace {

const QString Right = QStringLiteral("RichEditNx1");

PaneRecord samplePane()
{
    PaneRecord p;
    p.font = {QStringLiteral("ＭＳ 明朝"), 18, text::rgbColor(57, 66, 85), FontBold | FontStrikeOut,
              ShiftJisCharset};
    p.color = text::rgbColor(244, 245, 233);
    p.vertical = true;
    p.wordWrap = false;
    p.width = 129;
    return p;
}

QByteArray fromHex(const char *spaced)
{
    return QByteArray::fromHex(QByteArray(spaced).replace(' ', ""));
}

} // namespace

TEST(ComponentRecord, TheWorkedExampleIsWhatIsWritten)
{
    const QByteArray bytes =
        encodeComponent(QStringLiteral("DropDst1"), DropTargetRecord{Right, true});
    EXPECT_EQ(bytes.toHex(' ').toUpper(),
              fromHex("54 50 46 30 08 54 44 72 6F 70 44 73 74 08 44 72 6F 70 44 73 74 31"
                      " 07 43 6F 6E 74 72 6F 6C 07 0B 52 69 63 68 45 64 69 74 4E 78 31"
                      " 0A 41 63 63 65 70 74 44 72 6F 70 09 00 00")
                  .toHex(' ')
                  .toUpper());
}

TEST(ComponentRecord, EveryKindOfComponentRoundTrips)
{
    PaneRecord pane = samplePane();
    pane.font.color = 0xFF00000F; // a system colour keeps its high byte
    EXPECT_EQ(decodeComponent(encodeComponent(Right, pane), Right, PaneRecord{}), pane);

    ScrollStripRecord strip;
    // Line breaks, a character outside the BMP and a byte kept from a code page 932 file.
    strip.msg = QStringLiteral("白露も\r\n夢も") + QString::fromUcs4(U"\U00020B9F\U000F0081");
    strip.font = {QStringLiteral("ＭＳ 明朝"), 17, 0xFFFFFF, FontItalic | FontUnderline, 128};
    strip.color = 0;
    strip.interval = 30;
    strip.show = false;
    const QString scr = QStringLiteral("MsgSCR1");
    EXPECT_EQ(decodeComponent(encodeComponent(scr, strip), scr, ScrollStripRecord{}), strip);

    const DropTargetRecord drop{QStringLiteral("RichEditNx2"), false};
    const QString dst = QStringLiteral("DropDst2");
    EXPECT_EQ(decodeComponent(encodeComponent(dst, drop), dst, DropTargetRecord{}), drop);
}

TEST(ComponentRecord, BrokenRecordsDecodeToNothing)
{
    const PaneRecord current = samplePane();
    const QByteArray good = encodeComponent(Right, current);

    // Every truncation.
    for (qsizetype n = 0; n < good.size(); ++n)
        EXPECT_FALSE(decodeComponent(good.first(n), Right, current)) << "cut at " << n;

    struct Case
    {
        const char *what;
        QByteArray bytes;
    };
    QByteArray wrongType = good;
    wrongType.replace(QByteArray("\x08Vertical\x09"), QByteArray("\x08Vertical\x02\x01"));
    QByteArray tooBig = encodeComponent(Right, [] {
        PaneRecord p = samplePane();
        p.font.pixelSize = 5000;
        return p;
    }());
    QByteArray zeroSize = encodeComponent(Right, [] {
        PaneRecord p = samplePane();
        p.font.pixelSize = 0;
        return p;
    }());
    QByteArray unknownType = good;
    unknownType.replace(QByteArray("\x08Vertical\x09"), QByteArray("\x08Vertical\x05"));
    const Case cases[] = {
        {"wrong signature", QByteArray("TPF1") + good.sliced(4)},
        {"no signature", good.sliced(4)},
        {"trailing bytes", good + QByteArray(1, '\0')},
        {"a child component", good.first(good.size() - 1) + QByteArray("\x01", 1)},
        {"another class", encodeComponent(Right, ScrollStripRecord{})},
        {"another component", encodeComponent(QStringLiteral("RichEditNx2"), current)},
        {"boolean written as a number", wrongType},
        {"unknown value type", unknownType},
        {"pixel size out of range", tooBig},
        {"pixel size zero", zeroSize},
        {"empty", QByteArray()},
    };
    for (const Case &c : cases)
        EXPECT_FALSE(decodeComponent(c.bytes, Right, current)) << c.what;

    QRandomGenerator rng(99);
    for (int round = 0; round < 2000; ++round) {
        QByteArray junk(rng.bounded(0, 300), Qt::Uninitialized);
        for (char &ch : junk)
            ch = char(rng.bounded(256));
        if (round % 2)
            junk = good.first(rng.bounded(4, int(good.size()))) + junk;
        (void)readComponentStream(junk);
        EXPECT_FALSE(decodeComponent(junk, Right, current)) << round;
    }
}

TEST(ComponentRecord, UnknownPropertiesAreSkippedAndMissingOnesKeepTheCurrentValue)
{
    ComponentStream s{QString::fromLatin1(PaneClass), Right, {}};
    s.properties.append({QStringLiteral("FutureFlag"), ComponentSet{{QStringLiteral("x")}}});
    s.properties.append({QStringLiteral("FutureText"), QStringLiteral("later")});
    s.properties.append({QStringLiteral("FutureBlob"), QByteArray("\0\1", 2)});
    s.properties.append({QStringLiteral("Vertical"), false});
    s.properties.append({QStringLiteral("Font.Style"),
                         ComponentSet{{QStringLiteral("fsItalic"), QStringLiteral("fsShadow")}}});
    s.properties.append({QStringLiteral("Width"), qint64(1) << 40}); // overridden below
    s.properties.append({QStringLiteral("Width"), qint64(300)});

    const PaneRecord current = samplePane();
    const std::optional<PaneRecord> r = decodeComponent(writeComponentStream(s), Right, current);
    ASSERT_TRUE(r);
    PaneRecord expected = current;
    expected.vertical = false;
    expected.font.style = FontItalic;
    expected.width = 300;
    EXPECT_EQ(*r, expected);
}

TEST(ComponentRecord, TextWrittenByOtherEncodingsIsRead)
{
    ComponentStream s{QString::fromLatin1(ScrollStripClass), QStringLiteral("MsgSCR1"), {}};
    QByteArray bytes = writeComponentStream(s);
    // Insert Msg as a code page 932 short string (06) ahead of the end markers.
    const QByteArray sjis = text::encodeCp932(QStringLiteral("和泉式部")).bytes;
    bytes.insert(bytes.size() - 2, QByteArray("\x03Msg\x06") + char(sjis.size()) + sjis);
    const std::optional<ScrollStripRecord> r =
        decodeComponent(bytes, QStringLiteral("MsgSCR1"), ScrollStripRecord{});
    ASSERT_TRUE(r);
    EXPECT_EQ(r->msg, u"和泉式部");
}
