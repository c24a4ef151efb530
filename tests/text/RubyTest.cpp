#include "text/Ruby.h"

#include <gtest/gtest.h>

using namespace text;

namespace {

// The pieces as "[base|ruby]" and plain text; each piece's positions must give back the
// line: its notation, its base, its ruby.
QString joined(QStringView line, const QList<RubyPiece> &pieces)
{
    QString s;
    qsizetype at = 0;
    for (const RubyPiece &p : pieces) {
        EXPECT_EQ(p.notationStart(), at) << "pieces leave a gap or overlap";
        EXPECT_EQ(line.sliced(p.start, p.text.size()), p.text);
        if (p.hasRuby()) {
            EXPECT_EQ(line.sliced(p.start + p.text.size(), p.end - p.start - p.text.size()),
                      QString(u'《' + p.ruby + u'》'));
            s += QStringLiteral("[%1|%2]").arg(p.text, p.ruby);
        } else {
            EXPECT_EQ(p.end, p.start + p.text.size());
            s += p.text;
        }
        at = p.end;
    }
    EXPECT_EQ(at, line.size());
    return s;
}

TEST(Ruby, NotationIsParsedAndStrayMarksStayText)
{
    const struct
    {
        const char16_t *line;
        const char16_t *pieces;
    } cases[] = {
        {u"｜春日《かすが》なる", u"[春日|かすが]なる"},
        {u"天の原の春日《かすが》なる", u"天の原の[春日|かすが]なる"},
        {u"あの｜ひと《人》", u"あの[ひと|人]"},             // ruby over kana needs its ｜
        {u"かな《かな》", u"かな《かな》"},                  // no kanji before 《 and no bar
        {u"《かすが》", u"《かすが》"},                      // no base
        {u"春日《かすが", u"春日《かすが"},                  // not closed
        {u"｜春日", u"｜春日"},                              // a bar without ruby
        {u"春日《》", u"春日《》"},                          // empty ruby
        {u"｜《かすが》", u"｜《かすが》"},                  // a bar with no base after it
        {u"あ｜い｜春日《かすが》", u"あ｜い[春日|かすが]"}, // the later bar opens the base
        {u"漢字《かん《じ》》", u"漢字《かん《じ》》"},      // nested: neither is ruby
        {u"山《やま》川《かわ》", u"[山|やま][川|かわ]"},
        {u"𠮷野《よしの》", u"[𠮷野|よしの]"},
        {u"春の海《うみ》", u"春の[海|うみ]"}, // the run of kanji just before 《 only
        {u"》春《", u"》春《"},
    };
    for (const auto &c : cases) {
        const QString line = QString::fromUtf16(c.line);
        EXPECT_EQ(joined(line, parseRuby(line)), QString::fromUtf16(c.pieces)) << qPrintable(line);
    }
}

TEST(TateChuYoko, ShortRunsBetweenJapaneseStandUpright)
{
    const struct
    {
        const char16_t *line;
        int longest;
        const char16_t *upright; // the runs, each in brackets
    } cases[] = {
        {u"2026年12月8日", 2, u"[12][8]"},
        {u"2026年12月8日", 4, u"[2026][12][8]"},
        {u"第3.14章", 4, u""},           // part of a Latin number
        {u"A4判とB5判", 2, u"[A4][B5]"}, // letters and digits together
        {u"abc", 2, u""},                // too long, at both ends of the line
        {u"約 12 頁", 2, u"[12]"},       // blanks do not make it Latin
        {u"１２月", 2, u""},             // full-width digits stand upright anyway
        {u"café12", 2, u""},
    };
    for (const auto &c : cases) {
        const QString line = QString::fromUtf16(c.line);
        QString upright;
        for (const Span &s : tateChuYokoRuns(line, c.longest))
            upright += u'[' + line.sliced(s.start, s.length) + u']';
        EXPECT_EQ(upright, QString::fromUtf16(c.upright)) << qPrintable(line);
    }
}

} // namespace
