// The main window's pictures: the button bitmaps and the pane images (the
// application icon, shared with every dialog, is `DialogIcons`). Most are
// taken from the desktop theme through wxArtProvider, so they match the
// user's other programs; Connect and Transfer are drawn here in colour,
// since the themes' arrows are grey outlines that look disabled.
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

// The button's picture, 24 pixels square.
wxBitmap ButtonBitmap(ButtonArt art);
// The same picture as a disabled button shows it: grey and faint, whatever
// the colours of the enabled one.
wxBitmap DisabledButtonBitmap(ButtonArt art);
// 16-pixel images shared by both panes: 0 folder, 1 file, 2 up one level.
wxImageList* NewPaneImageList();

}  // namespace pelikon
