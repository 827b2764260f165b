// The main window's pictures: the button bitmaps and the pane images (the
// application icon, shared with every dialog, is `DialogIcons`). Taken from the desktop theme through wxArtProvider, so
// they match the user's other programs.
#pragma once

#include <wx/bitmap.h>
#include <wx/imaglist.h>

namespace pelikon {

enum class ButtonArt {
  kConnect,
  kTransfer,
  kSetPath,
  kMakeDir,
  kDelete,
  kRename,
  kOptions,
  kGeoid,
  kFieldToFinish,
  kSendPoints,
  kExit
};

wxBitmap ButtonBitmap(ButtonArt art);
// 16-pixel images shared by both panes: 0 folder, 1 file, 2 up one level.
wxImageList* NewPaneImageList();

}  // namespace pelikon
