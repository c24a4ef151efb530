#pragma once
// Texts of tens of megabytes are converted in passes that each build a new string of the
// whole text. glibc hands every block over 32 MB straight back to the system and maps it
// afresh for the next pass, so each pass pays for new pages; keeping such blocks in the
// heap makes a 16 MB conversion cost what sixteen 1 MB ones do. Called once at start by
// the programs (and the benchmarks, which measure them).
namespace text {
void keepLargeBlocksInTheHeap();
}
