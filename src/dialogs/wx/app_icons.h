// The icon every window of the program carries, taken from the desktop
// theme.
#pragma once

#include <wx/iconbndl.h>

namespace pelikon {

wxIconBundle DialogIcons();

}  // namespace pelikon
