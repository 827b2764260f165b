// The desktop's name for a type of file ("Plain text document" for "txt"),
// from the shared MIME database. Names are remembered per extension: a
// pane of 100,000 files asks the database once per kind of file.
#pragma once

#include "app/panes/pane_texts.h"

namespace pelikon {

// A lookup for `FileTypeText`; empty text when the desktop knows no name.
FileTypeLookup DesktopFileTypeLookup();

}  // namespace pelikon
