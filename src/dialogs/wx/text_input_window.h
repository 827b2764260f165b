// The ready-made form that asks for one line of text: the caller's title
// and prompt, an edit field holding `text` (selected, with the focus),
// and "OK" / "Cancel". Returns 1 with `text` replaced when the user
// accepts (OK, or Enter in the field), 0 when cancelled (Cancel, Escape
// or the close box).
#pragma once

#include <string>

#include <wx/window.h>

namespace pelikon {

int RunTextInputWindow(wxWindow* parent, const std::string& title, const std::string& prompt, std::string& text);

}  // namespace pelikon
