// The icon every window of the program carries: Pelikon's own, at every
// size it is drawn in (the theme's disk icon should its pictures be
// unreadable).
#pragma once

#include <wx/iconbndl.h>

namespace pelikon {

wxIconBundle DialogIcons();

}  // namespace pelikon
