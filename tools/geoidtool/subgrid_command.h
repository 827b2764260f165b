// geoidtool subgrid and geoidtool resolve: the sub-grid builder and the
// model catalogue without the window, with the dialog's checks and texts.
#pragma once

#include "tool_usage.h"

namespace pelikon_tools {

// subgrid FOLDER LAT N|S LON E|W SIZE miles|km|deg NAME [--model CODE]
//         [--out-dir DIR] [--server URL]
int RunSubGrid(const ToolUsage& usage, ArgumentReader& reader);

// resolve CODE FOLDER LAT LON (decimal degrees)
int RunResolve(const ToolUsage& usage, ArgumentReader& reader);

}  // namespace pelikon_tools
