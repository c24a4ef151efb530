#include "editor/ImeColors.h"

namespace editor {

ImeColorTable windowImeColors()
{
    return {{
        {QColor(0, 0, 255), QColor(243, 244, 254), false},
        {QColor(255, 255, 255), QColor(128, 128, 255), false},
        {QColor(0, 0, 255), QColor(240, 243, 220), true},
        {QColor(0, 0, 0), QColor(221, 242, 226), true},
    }};
}

ImeColorTable controlDefaultImeColors()
{
    return {{
        {QColor(0, 0, 255), QColor(255, 255, 255), false},
        {QColor(255, 255, 255), QColor(0, 0, 128), false},
        {QColor(192, 192, 192), QColor(255, 255, 255), true},
        {QColor(0, 0, 0), QColor(0, 255, 255), true},
    }};
}

namespace {
// Kana, the prolonged sound mark, and the half-width forms an input method shows before
// conversion; anything else in a preedit means the segment was converted.
bool isUnconvertedChar(char16_t c)
{
    return (c >= 0x3040 && c <= 0x30FF) || (c >= 0xFF61 && c <= 0xFF9F) || c < 0x80 ||
           (c >= 0xFF01 && c <= 0xFF5E);
}
} // namespace

ImeState imeStateOf(QStringView segment, bool highlighted)
{
    bool converted = false;
    for (QChar c : segment) {
        if (!isUnconvertedChar(c.unicode())) {
            converted = true;
            break;
        }
    }
    if (highlighted)
        return converted ? ImeState::TargetConverted : ImeState::TargetNotConverted;
    return converted ? ImeState::Converted : ImeState::Composing;
}

} // namespace editor
