#include "tools/ToolsResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initToolsQrc()
{
    Q_INIT_RESOURCE(tools);
}

namespace tools {

void ensureToolsResources()
{
    // The library is static, so its tables are registered on first use.
    static const bool done = (initToolsQrc(), true);
    (void)done;
}

} // namespace tools
