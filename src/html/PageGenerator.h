#pragma once

// The page generators: a poem as a vertical page, a long text as a page of 30-line blocks,
// a poem as a table inserted into an existing page. Pure functions from lines and style
// values to page lines; the window gathers the panes' lines, shows the messages, runs the
// dialogs and times the commands.
//
// A "line" is one line of a pane without its line break. Where a command works on what the
// pane shows (hard line breaks, the long-text page), the window passes the pane's display
// rows with word wrap on.

#include "html/HtmlStyle.h"
#include "text/FileEncoding.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace html {

// Messages of the HTML commands.
inline constexpr char16_t kMsgNoConvertText[] = u"変換文字列がありません";
inline constexpr char16_t kMsgNoText[] = u"文字列がありません";
inline constexpr char16_t kMsgNoHtmlFile[] = u"HTMLファイルがありません";
inline constexpr char16_t kMsgNoInsertionPoint[] = u"挿入箇所がありません";

// Both HTML save dialogs, in the program's "Description|pattern|..." form; "拡" puts
// ".html" first. The default extension is "htm".
QString htmlSaveFilter(bool htmlFirst);
inline constexpr char16_t kHtmlDefaultExtension[] = u"htm";

struct HtmlPage
{
    QStringList lines;
    // The widths the page was made with; the window keeps them in the style values
    // (HtmlStyleState::setWidths) until the next conversion.
    QString tableWidth;
    QString ruleWidth;
};

// Where a style value goes in a page. The values come from the settings file, which may
// come from someone else, so none of them may end its place and start markup or script.
enum class HtmlPlace {
    Text,      // element text (the title): "<", ">" and "&" become references
    Attribute, // a quoted attribute value: also '"' and "'"
    Url,       // a link's address: as Attribute, and a javascript:, vbscript: or data:
               // address becomes a relative one ("./javascript:..."), which runs nothing
};

// The value written for its place. A value holding none of those characters (every
// colour, size and font name the program itself writes) comes back unchanged:
// "#fff\" onload=\"x" -> "#fff&quot; onload=&quot;x", "#fff8dc" -> "#fff8dc". The heading
// and the link text are not passed through here: users may write markup there on purpose.
QString htmlEscaped(const QString &value, HtmlPlace place);

// "<br>" and each character followed by "<br>": "あい" -> "<br>あ<br>い<br>", "" -> "<br>".
// A character is a code point (a surrogate pair is one). "<", ">" and "&" are written as
// "&lt;", "&gt;" and "&amp;" so that a poem holding them still gives a sound page.
// With `ruby`, ruby notation becomes a ruby element in a cell of vertical writing:
// "春日《かすが》" -> "<br><span style=...><ruby>春日<rt>かすが</rt></ruby></span><br>". With
// `uprightLength`,
// each tate-chū-yoko run is one cell: "12月" -> "<br><span style=...>12</span><br>月<br>".
QString columnText(QStringView line, bool ruby = false, int uprightLength = 0);

// HtmButton1Click: the poem's lines as the vertical page (one table, head and foot, every
// replacement). An empty list (an empty pane, kMsgNoConvertText) gives an empty page.
HtmlPage verticalPage(const QStringList &lines, const HtmlStyle &style);

// ShineSpeedButton35Click: the right pane's display rows as the long-text page, one table
// per 30 rows. No rows (kMsgNoConvertText) gives an empty page.
HtmlPage longTextPage(const QStringList &rows, const HtmlStyle &style);

// ShineSpeedButton38Click, the table alone: poemLines are the left pane's lines after the
// hard line breaks, so they end in the empty line those leave ("あい", "うえ", "").
HtmlPage insertionBlock(const QStringList &poemLines, const HtmlStyle &style);

// The page lines with the block put at the insertion point: before the first line that is
// "<!--insert-->" (any letter case), or with "入" (above) after the first "<!--update-->".
// Every line of the page stays, the marker included. nullopt when the page has no such
// line (kMsgNoInsertionPoint).
std::optional<QStringList> insertIntoPage(const QStringList &pageLines, const QStringList &block,
                                          bool above);

// HtmButton13Click: the text the left pane is given, its display rows each followed by a
// line break, so it ends with an empty line: {"あい", "うえ"} -> "あい\nうえ\n". No rows
// (kMsgNoText) gives an empty text.
QString hardLineBreakText(const QStringList &displayedRows);

// The file a page is saved as: every line followed by CR LF. In code page 932 a character
// the code page cannot hold is written as a character reference ("𠮟" -> "&#x20B9F;"), so
// the saved page shows it; a lone surrogate, which no page can hold, becomes "&#xFFFD;".
QByteArray pageFileBytes(const QStringList &lines, text::FileEncoding encoding);

// The replacements run over a finished page, in order: "―" -> "│"; with "記" the symbol
// images; "ー" -> "│"; with placeholders, the heading and link placeholders by the heading
// text and Lint; with "空", the blank-line marker column by the invisible asterisk. Each
// row replaces every occurrence left to right and does not scan its own output again,
// which for these rows gives the same text as replacing one occurrence at a time and
// searching again from the start (no row's search text can form across a replacement or
// a line break).
void applyPageReplacements(QStringList &lines, const HtmlStyle &style, bool placeholders);

} // namespace html
