// Where columns may break: ICU's strict Japanese line breaking, with curly quotes as
// Unicode 15.1 has them.
#include "editor/VerticalBreaks.h"

#include <memory>

#include <unicode/uchar.h>
#include <unicode/unistr.h>

namespace editor {

icu::BreakIterator *japaneseLineBreaks()
{
    // Strict breaking: small kana and ー are not column starters either.
    static std::unique_ptr<icu::BreakIterator> it = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> bi(icu::BreakIterator::createLineInstance(
            icu::Locale::createFromName("ja@lb=strict"), status));
        if (U_FAILURE(status))
            bi.reset();
        return bi;
    }();
    return it.get();
}

namespace {

bool isEastAsian(char16_t c)
{
    const int width = u_getIntPropertyValue(c, UCHAR_EAST_ASIAN_WIDTH);
    return width == U_EA_FULLWIDTH || width == U_EA_WIDE || width == U_EA_HALFWIDTH;
}

} // namespace

const QString &quotesForBreaking(const QString &text, QString &copy)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        const int type = u_charType(c);
        if ((type != U_INITIAL_PUNCTUATION && type != U_FINAL_PUNCTUATION) ||
            u_getIntPropertyValue(c, UCHAR_LINE_BREAK) != U_LB_QUOTATION)
            continue;
        if (copy.isEmpty())
            copy = text;
        const bool between = i > 0 && i + 1 < n && isEastAsian(text[i - 1].unicode()) &&
                             isEastAsian(text[i + 1].unicode());
        copy[i] = !between ? u'"' : type == U_INITIAL_PUNCTUATION ? u'「' : u'」';
    }
    return copy.isEmpty() ? text : copy;
}

} // namespace editor
