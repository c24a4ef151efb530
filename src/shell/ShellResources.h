#pragma once

namespace shell {
// Registers the shell's compiled-in data (menus, bars, font rules); safe to call often.
void ensureShellResources();
} // namespace shell
