// "crdtool merge": merges the points of one CRD file into another the way
// the merge points manager does, without a window.
//
//   crdtool merge SOURCE TARGET [--overwrite|--skip-conflicts|
//                 --renumber-next|--renumber-end|--renumber-at ID]
//                 [--range TEXT]
//
// Missing points are stored; conflicts in the range are decided by the
// flag (none: left undecided, so not stored). Prints one tab-separated
// line per source point in identifier order: identifier, status as found
// ("missing", "same", "conflict"), action ("store", "overwrite", "skip",
// "none") and final identifier.
#pragma once

#include "tool_usage.h"

namespace pelikon_tools {

// `argv[2]` is the first argument after "merge". Returns the exit status.
int RunMerge(const ToolUsage& usage, int argc, char** argv);

}  // namespace pelikon_tools
