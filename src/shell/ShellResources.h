#pragma once

#include <QString>

namespace shell {
// Registers the shell's compiled-in data (menus, bars, font rules); safe to call often.
void ensureShellResources();
// The program's one name, as the title shows it, and with the version the package and
// --version give ("Kotonami 0.1.0"), as the About box shows it.
QString programName();
QString programNameAndVersion();
} // namespace shell
