#include "shell/ShellResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initShellQrc()
{
    Q_INIT_RESOURCE(shell);
}

namespace shell {

void ensureShellResources()
{
    // The library is static, so its compiled-in tables are registered on first use.
    static const bool done = (initShellQrc(), true);
    (void)done;
}

QString programName()
{
    return QStringLiteral("Kotonami");
}

QString programNameAndVersion()
{
    return programName() + u' ' + QStringLiteral(KOTONAMI_VERSION);
}

} // namespace shell
