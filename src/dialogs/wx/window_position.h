// Remembering where a long-lived window was: its rectangle and maximised
// state go into "dialogs.ini" in the data folder under a name of the
// caller's choosing, and come back from there, clamped to the screen.
// Nothing is saved while the window is minimised; a window without a
// saved line keeps its place.
#pragma once

#include <string>

#include <wx/toplevel.h>

namespace pelikon {

// 1 when saved, 0 when not (see SaveWindowPlacement).
int SaveWindowPosition(const wxTopLevelWindow& window, const std::string& name);
// 1 when a saved position was applied, 0 when there was none.
int RestoreWindowPosition(wxTopLevelWindow& window, const std::string& name);

}  // namespace pelikon
