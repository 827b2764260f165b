// crdtool's history commands, on a CRD file already open:
//
//   history  one line per change of the points RANGE selects, newest
//            first: identifier, command number, command text, free text,
//            user, time (seconds since 1970), then the point before and
//            after the change as point lines (see point_lines.h), all
//            separated by tabs
//   undo     puts the points back as they were before every change made
//            at or after SINCE (seconds since 1970)
#pragma once

#include <string>
#include <string_view>

#include "coord/crd/crd_file.h"
#include "tool_usage.h"

namespace pelikon {

// The change lines of `file`'s history.
std::string HistoryLines(CrdFile& file, std::string_view range);

// SINCE as given on the command line: whole seconds since 1970.
bool ParseSince(std::string_view text, long& seconds);

// Both return the exit status.
int PrintHistory(CrdFile& file, std::string_view range);
int UndoSince(const pelikon_tools::ToolUsage& usage, CrdFile& file, long since, std::string_view range);

}  // namespace pelikon
