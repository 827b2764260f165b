// The remark lines after a grid file's values. Files stitched together
// from several sources often repeat whole blocks of remarks; those repeats
// are dropped, keeping the first occurrence of every block.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace pelikon {

// Removes every run of `block` lines that repeats (without regard to the
// case of a to z) a run already kept before it; true when any was removed.
bool DropRepeatedRuns(std::vector<std::string>& lines, size_t block);

// The passes a grid reader makes: runs of 1,000 lines, then of 100, and,
// only when the second pass removed something, of 10.
void DropRepeatedRemarkBlocks(std::vector<std::string>& lines);

}  // namespace pelikon
