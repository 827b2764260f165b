// The file conflict dialog, "File Conflict Resolution": asked when a file
// being transferred meets a file of the same name on the other side. It
// answers with one of the answer codes of platform/ui.h; staging the copy
// that a rename or a merge needs is the transfer's part, after the answer.
#pragma once

#include <string>

#include <wx/window.h>

namespace pelikon {

// Shows "File Conflict Resolution" for `target_name`; returns 6, 7, 10, 11,
// 12 or 13. On 12, `new_name` holds the accepted new name (checked: not
// empty, a bare name, same extension as the target without regard to
// case). "Overwrite All Existing" and "Skip All Existing" are offered with
// `offer_all`; "Merge Points" with `offer_merge` for a ".crd" target.
// The focus starts on "Skip File"; Enter in the name field renames. Closing
// the window without a button, or Escape, answers 7.
int RunFileConflictDialog(wxWindow* parent, const std::string& target_name, bool offer_all, bool offer_merge,
                          std::string& new_name);

}  // namespace pelikon
