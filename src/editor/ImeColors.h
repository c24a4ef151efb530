#pragma once
// Colours of the input method's composition text. The platform reports a preedit as
// segments with formats; the program colours them by four states of its own, told apart
// by the segment's text and whether the input method highlights it as the conversion target.

#include <QColor>
#include <QStringView>
#include <array>

namespace editor {

enum class ImeState {
    Composing = 0,          // input being composed (still kana, not the target)
    TargetConverted = 1,    // the conversion target, already converted to kanji
    Converted = 2,          // a converted segment that is not the target
    TargetNotConverted = 3, // the conversion target, still kana
};

struct ImeColor
{
    QColor text;
    QColor background;
    bool underline = false;
};

using ImeColorTable = std::array<ImeColor, 4>;

// The window's colours, applied to both panes at start-up and after each vertical toggle.
ImeColorTable windowImeColors();
// The edit control's own colours, applied whenever its vertical or selection-bar option
// changes (so also after every word-wrap toggle).
ImeColorTable controlDefaultImeColors();

// "はる" highlighted is TargetNotConverted, "春" highlighted TargetConverted, "春" plain
// Converted, "はる" plain Composing.
ImeState imeStateOf(QStringView segment, bool highlighted);

} // namespace editor
