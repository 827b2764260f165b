// The program's message boxes: a text and an OK button, with the
// information sign or the error sign, in one look wherever they come
// from. The plain message box is captioned "Pelikon Message".
#pragma once

#include <string>

#include <wx/window.h>

namespace pelikon {

// `text` and `caption` are shown as given. Without a parent the box
// belongs to the active window, so that it still comes up over the
// program. Modal; returns when closed.
void ShowMessageBox(wxWindow* parent, const std::string& text, const std::string& caption, bool error_icon);

// A question with OK and Cancel and the question sign; true for OK.
bool AskOkCancel(wxWindow* parent, const std::string& text, const std::string& caption);

// The plain message box: `text` under the caption "Pelikon Message".
void ShowPlainMessageBox(wxWindow* parent, const std::string& text);

}  // namespace pelikon
