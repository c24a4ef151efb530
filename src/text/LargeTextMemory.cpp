#include "text/LargeTextMemory.h"

#include <malloc.h>

namespace text {

void keepLargeBlocksInTheHeap()
{
    // 1 GiB: blocks below it come from the heap and stay there between passes.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
}

} // namespace text
