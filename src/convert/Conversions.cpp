#include "convert/Conversions.h"

#include "convert/ConversionTables.h"
#include "text/TextMetrics.h"

namespace convert {

ManyoganaResult convertToManyogana(ReplaceEngine &engine, TextTarget &target)
{
    engine.runTable(target, manyoganaTable());
    return ManyoganaResult{charactersWithoutBreaks(target.text())};
}

void convertKatakanaToHiragana(ReplaceEngine &engine, TextTarget &target)
{
    engine.runTable(target, katakanaToHiraganaTable());
}

void convertKatakanaToKanji(ReplaceEngine &engine, TextTarget &target)
{
    engine.runTable(target, katakanaToKanjiTable());
}

void convertHiraganaToKatakana(ReplaceEngine &engine, TextTarget &target)
{
    engine.runTable(target, hiraganaToKatakanaTable());
}

qsizetype charactersWithoutBreaks(QStringView text)
{
    return text::charCount(text::removeLineBreaks(text));
}

QString lineCountText(qsizetype lines)
{
    return QString::number(lines) + u'行';
}

QString characterCountText(qsizetype characters)
{
    return QString::number(characters) + u'字';
}

} // namespace convert
