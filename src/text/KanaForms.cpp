#include "text/KanaForms.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>

namespace text {

namespace {

// Transliterators are costly to make and safe to share once made.
const icu::Transliterator *transliterator(const char *id)
{
    UErrorCode status = U_ZERO_ERROR;
    return icu::Transliterator::createInstance(icu::UnicodeString::fromUTF8(id), UTRANS_FORWARD,
                                               status);
}

QString transliterate(const icu::Transliterator *t, QStringView s)
{
    if (!t || s.isEmpty())
        return s.toString();
    icu::UnicodeString u(reinterpret_cast<const UChar *>(s.utf16()), int32_t(s.size()));
    t->transliterate(u);
    return QString(reinterpret_cast<const QChar *>(u.getBuffer()), u.length());
}

} // namespace

QString toFullWidth(QStringView s)
{
    static const std::unique_ptr<const icu::Transliterator> t(
        transliterator("Halfwidth-Fullwidth"));
    return transliterate(t.get(), s);
}

QString toHiragana(QStringView s)
{
    static const std::unique_ptr<const icu::Transliterator> t(transliterator("Katakana-Hiragana"));
    return transliterate(t.get(), s);
}

bool isKanaOnly(QStringView s)
{
    if (s.isEmpty())
        return false;
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        const bool kana = (u >= 0x3041 && u <= 0x309F)     // hiragana, voicing marks
                          || (u >= 0x30A0 && u <= 0x30FF)  // katakana, prolonged sound mark
                          || (u >= 0xFF66 && u <= 0xFF9F); // half-width katakana
        if (!kana)
            return false;
    }
    return true;
}

} // namespace text
