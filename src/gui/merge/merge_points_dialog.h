// The "Merge Points Manager" window: the points of an incoming CRD list
// (the source) beside those of the existing one (the target), one grid
// row per identifier, with the per-row and bulk actions, navigation
// between conflicts, the range and the statistics of a MergeSession.
// Every decision goes into the session; applying it is the caller's part.
//
// The column widths are kept in "merge_coord.xml" in the data folder and
// the window's place under the name "merge_coord".
#pragma once

#include <functional>
#include <string>

#include <wx/window.h>

#include "coord/merge/merge_session.h"

namespace pelikon {

struct MergeWindowHooks {
  std::function<void(const std::string& identifier)> show_history;  // "History": the current point's history
  std::function<void()> report;                                     // "Report"
};

// Runs "Merge Points Manager" over `session`; 1 when closed with OK (the
// caller then applies), 0 for Cancel/Escape/close box. OK with undecided
// conflicts asks first ("Confirm Exit"); "No" keeps the window open.
// Hooks left empty disable their buttons.
int RunMergePointsDialog(wxWindow* parent, MergeSession& session, const std::string& source_name,
                         const std::string& target_name, const MergeWindowHooks& hooks);

}  // namespace pelikon
