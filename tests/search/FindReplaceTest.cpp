#include "search/FindReplace.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace search;

namespace {
const QString kText = QStringLiteral("はるのののはな"); // の at 2, 3, 4
}

TEST(FindForward, StartsAtTheSelectionEndOrAtTheTop)
{
    struct Case
    {
        qsizetype selStart, selLength;
        std::optional<FoundRange> expected;
    };
    const Case cases[] = {
        {5, 0, FoundRange{2, 1}}, // caret in the middle, no selection: from the top
        {7, 0, FoundRange{2, 1}}, // caret at the end: still from the top
        {2, 1, FoundRange{3, 1}}, // after a match: the next one
        {3, 1, FoundRange{4, 1}},
        {4, 1, std::nullopt}, // at the last one: nothing, the caller beeps
        {0, 7, std::nullopt}, // everything selected
        {6, 5, std::nullopt}, // a selection past the end is clamped
    };
    for (const Case &c : cases)
        EXPECT_EQ(findForward(kText, u"の", c.selStart, c.selLength), c.expected)
            << c.selStart << "+" << c.selLength;
    EXPECT_EQ(findForward(kText, u"のの", 2, 1), (FoundRange{3, 2}));
    EXPECT_EQ(findInDirection(kText, u"の", 2, 1, Direction::Down), (FoundRange{3, 1}));
}

TEST(FindBackward, LastOccurrenceEndingBeforeTheSelectionStart)
{
    EXPECT_EQ(findBackward(kText, u"の", 5), (FoundRange{4, 1})); // caret right after it
    EXPECT_EQ(findBackward(kText, u"の", 4), (FoundRange{3, 1}));
    EXPECT_EQ(findBackward(kText, u"の", 2), std::nullopt);       // none before
    EXPECT_EQ(findBackward(u"春の春", u"春の", 1), std::nullopt); // caret inside the first
    EXPECT_EQ(findBackward(u"春の春", u"春の", 2), (FoundRange{0, 2}));
    // Chained from the top without overlaps: "aa" in "aaa" is taken at 0, then nothing
    // is left from 2 on, so the one at 1 is never the answer.
    EXPECT_EQ(findBackward(u"aaa", u"aa", 3), (FoundRange{0, 2}));
    EXPECT_EQ(findBackward(u"aaaa", u"aa", 4), (FoundRange{2, 2}));
    EXPECT_EQ(findInDirection(kText, u"の", 4, 1, Direction::Up), (FoundRange{3, 1}));
}

TEST(Find, ExactCharactersOnly)
{
    EXPECT_EQ(findForward(u"ア", u"ｱ", 0, 0), std::nullopt);  // no width folding
    EXPECT_EQ(findForward(u"あ", u"ア", 0, 0), std::nullopt); // no kana folding
    EXPECT_EQ(findForward(u"a", u"Ａ", 0, 0), std::nullopt);
    EXPECT_EQ(findForward(u"xA", u"a", 0, 0), std::nullopt);
    EXPECT_EQ(findForward(u"xA", u"a", 0, 0, Qt::CaseInsensitive), (FoundRange{1, 1}));
    const QString pair = QStringLiteral("𠮷");
    EXPECT_EQ(findForward(pair, pair.right(1), 0, 0), std::nullopt);
    EXPECT_EQ(findBackward(pair + pair, pair.left(1), 4), std::nullopt);
    EXPECT_EQ(findBackward(pair + pair, pair, 4), (FoundRange{2, 2}));
    // An empty find text finds nothing: the find commands beep.
    EXPECT_EQ(findForward(kText, u"", 0, 0), std::nullopt);
    EXPECT_EQ(findBackward(kText, u"", 7), std::nullopt);
}

TEST(Replace, FirstOccurrenceFromTheTopAndTheMessage)
{
    EXPECT_EQ(findForReplace(kText, u"の"), (FoundRange{2, 1}));
    EXPECT_EQ(findForReplace(kText, u"春"), std::nullopt);
    EXPECT_EQ(findForReplace(kText, u""), std::nullopt);
    EXPECT_EQ(notFoundMessage(QStringLiteral("春")),
              QStringLiteral("Could not find \"春\" in Kotonami."));
    EXPECT_EQ(notFoundMessage(QString()), QStringLiteral("Could not find \"\" in Kotonami."));
    EXPECT_EQ(notFoundMessage(QStringLiteral("%1")),
              QStringLiteral("Could not find \"%1\" in Kotonami."));
}

TEST(ReplaceAll, OneBatchWithTheClassicResult)
{
    struct Case
    {
        const char16_t *text, *find, *replacement, *expected;
        qsizetype count;
    };
    const Case cases[] = {
        {u"はるのののはな", u"の", u"ノ", u"はるノノノはな", 3},
        {u"はる", u"の", u"ノ", u"はる", 0},
        {u"のの", u"の", u"のの", u"のののの", 2}, // ends although the replacement holds の
        {u"abbb", u"ab", u"a", u"a", 3},           // as replacing from the top again and again
        {u"はる", u"", u"x", u"はる", 0},          // an empty find text does nothing
        {u"ｱアｱ", u"ｱ", u"-", u"-ア-", 2},
    };
    for (const Case &c : cases) {
        convert::StringTarget target(QString::fromUtf16(c.text));
        const ReplaceAllResult r =
            replaceAll(target, QString::fromUtf16(c.find), QString::fromUtf16(c.replacement));
        EXPECT_EQ(target.text(), QString::fromUtf16(c.expected));
        EXPECT_EQ(r.replacements, c.count) << QString::fromUtf16(c.text).toStdString();
        EXPECT_TRUE(r.complete);
        EXPECT_LE(target.batchCount(), 1);
    }
}

TEST(ReplaceAll, ARunawayChainStopsAndSaysHowManyItReplaced)
{
    // Each replacement of "ab" makes a new one: the classic scheme would never end.
    const QString text = QString(1000, u'a') + u'b';
    convert::StringTarget target(text);
    const ReplaceAllResult r = replaceAll(target, QStringLiteral("ab"), QStringLiteral("bba"));
    EXPECT_FALSE(r.complete);
    EXPECT_GT(r.replacements, 0);
    EXPECT_LE(target.text().size(), 3 * text.size() + 4096);
    EXPECT_EQ(target.batchCount(), 1) << "what was replaced stays replaced";
    EXPECT_EQ(stoppedEarlyMessage(70000),
              QStringLiteral("70000件置換しました。置換するたびに新しい一致ができるため、途中で止"
                             "めました。"));
}
