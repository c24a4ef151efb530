// The shortcut reader on a file of any bytes: it names a target or nothing, and never
// fails. liblnk underneath is not instrumented, so the sanitizers watch the program's side
// of the calls (its buffers, the strings it takes back) and the library's use of the heap.

#include "FuzzSupport.h"

#include "text/ShellLink.h"

using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString path = fuzz::scratchPath("poem.lnk");
    fuzz::putFile(path, data, size);
    const text::ShortcutTarget target = text::resolveShortcut(path);
    require(!target.path.contains(QChar(0)), "a target path holds no NUL");
    require(target.path.isEmpty() || !target.path.contains(u'\\'),
            "a target path uses this system's separators");
    return 0;
}
