#pragma once
// Settings and defaults keep the font names users of the program know ("ＭＳ 明朝",
// "Times New Roman"); the screen shows them with installed fonts. The rules live in
// data/fonts.tsv: a name and the families that stand in for it.

#include <QFont>
#include <QHash>
#include <QString>
#include <QStringList>

namespace shell {

QHash<QString, QStringList> parseFontRules(const QString &tsv);
// Registers every rule with QFont::insertSubstitutions; call once after QApplication.
void installFontSubstitutions();
// A font by its Windows name and pixel size, e.g. programFont("ＭＳ 明朝", 18).
QFont programFont(const QString &family, int pixelSize);
// A pane's font as the font dialog can show it: the installed family its name stands for
// (a Windows name is only a substitute the dialog does not list) and its size in points at
// the screen's resolution, so that the dialog opens on what the pane shows.
QFont fontForDialog(const QFont &font, qreal dotsPerInch);

} // namespace shell
