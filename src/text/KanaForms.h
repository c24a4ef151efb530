#pragma once

// Kana forms made with ICU's transliterators: the full-width form of a text (half-width
// katakana and ASCII become their full-width letters) and its hiragana form (katakana become
// hiragana). Both keep characters they have no other form for.

#include <QString>
#include <QStringView>

namespace text {

QString toFullWidth(QStringView s);
QString toHiragana(QStringView s);

// True when s is not empty and holds only kana: hiragana, katakana (full- and half-width),
// the prolonged sound mark and the voicing marks.
bool isKanaOnly(QStringView s);

} // namespace text
