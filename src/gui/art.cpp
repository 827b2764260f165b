#include "gui/art.h"

#include <wx/artprov.h>

namespace pelikon {

namespace {

wxArtID ArtIdFor(ButtonArt art) {
  switch (art) {
    case ButtonArt::kConnect:
      return wxART_GO_FORWARD;
    case ButtonArt::kTransfer:
      return wxART_COPY;
    case ButtonArt::kSetPath:
      return wxART_FOLDER_OPEN;
    case ButtonArt::kMakeDir:
      return wxART_NEW_DIR;
    case ButtonArt::kDelete:
      return wxART_DELETE;
    case ButtonArt::kRename:
      return wxART_EDIT;
    case ButtonArt::kOptions:
      return wxART_HELP_SETTINGS;
    case ButtonArt::kGeoid:
      return wxART_HARDDISK;
    case ButtonArt::kFieldToFinish:
      return wxART_REDO;
    case ButtonArt::kSendPoints:
      return wxART_GO_UP;
    case ButtonArt::kExit:
      return wxART_QUIT;
  }
  return wxART_MISSING_IMAGE;
}

}  // namespace

wxBitmap ButtonBitmap(ButtonArt art) {
  return wxArtProvider::GetBitmap(ArtIdFor(art), wxART_BUTTON, wxSize(24, 24));
}

wxImageList* NewPaneImageList() {
  auto* images = new wxImageList(16, 16, true, 3);
  for (const wxArtID id : {wxART_FOLDER, wxART_NORMAL_FILE, wxART_GO_DIR_UP})
    images->Add(wxArtProvider::GetBitmap(id, wxART_LIST, wxSize(16, 16)));
  return images;
}

}  // namespace pelikon
