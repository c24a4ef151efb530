#pragma once

namespace tools {

// Registers the library's compiled-in tables; safe to call any number of times.
void ensureToolsResources();

} // namespace tools
