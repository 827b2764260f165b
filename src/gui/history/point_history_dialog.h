// The point history window, "Point History for Point "<id>"": the changes
// of one point of a CRD file, newest first, in the list "TransactionList"
// (Command, Description, North, East, Elev., Info, Date). With undo
// allowed, "Undo thru Selected" puts the point back as it was before the
// selected change, after the user confirms; "Close" or Escape leaves.
#pragma once

#include <string>
#include <vector>

#include <wx/window.h>

#include "coord/history/crd_history.h"

namespace pelikon {

class CrdFile;

// `entries`: the file's resolved history (ReadHistory), newest first.
// Returns 1 when the point was changed by an undo, else 0.
int ShowPointHistory(const std::string& identifier, CrdFile& file, const HistoryList& entries, wxWindow* parent,
                     bool allow_undo);

}  // namespace pelikon
