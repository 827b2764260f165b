// The plain message box: the text and an OK button, captioned " Message"
// (the caption's name part is left empty). Modal; returns when closed.
#pragma once

#include <string>

#include <wx/window.h>

namespace pelikon {

// `text` is shown as given. Without a parent the box belongs to the active
// window, so that it still comes up over the program.
void ShowPlainMessageBox(wxWindow* parent, const std::string& text);

}  // namespace pelikon
