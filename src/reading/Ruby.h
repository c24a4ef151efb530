#pragma once
// Ruby in plain text, as Japanese literature files write it: "｜春日《かすが》" gives the
// run after ｜ the reading in 《》; without ｜, "春日《かすが》" gives it to the run of
// kanji just before 《. A 《 with no base before it, or with no closing 》 on its line, is
// text as it stands; so is a ｜ with no ruby after it.

#include <QList>
#include <QString>
#include <QStringView>

namespace reading {

struct RubyPiece
{
    QString text; // the base text, or plain text
    QString ruby; // the reading; empty for plain text
    bool hasRuby() const { return !ruby.isEmpty(); }
};

// The line split into plain text and based ruby, in order; joining every piece's text gives
// the line without the notation.
QList<RubyPiece> parseRuby(QStringView line);

} // namespace reading
