// The descriptions of the command numbers a history transaction carries:
// which operation of the office software, or of this program, changed a
// point. The texts are untranslated catalogue keys.
#pragma once

#include <string>

namespace pelikon {

// The numbers this program writes.
inline constexpr int kHistoryCommandMerge = 1;  // "Copy/Merge CRD File"
inline constexpr int kHistoryCommandUndo = 85;  // "History Undo"

// The translated description of `number`: empty for 0, and
// "<Error: missing command description #N>" for a number without an entry.
std::string CommandDescription(int number);

}  // namespace pelikon
