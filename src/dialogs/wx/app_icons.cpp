#include "dialogs/wx/app_icons.h"

#include <wx/artprov.h>

namespace pelikon {

wxIconBundle DialogIcons() {
  wxIconBundle icons;
  for (const int size : {16, 32, 48}) {
    const wxIcon icon = wxArtProvider::GetIcon(wxART_HARDDISK, wxART_FRAME_ICON, wxSize(size, size));
    if (icon.IsOk()) icons.AddIcon(icon);
  }
  return icons;
}

}  // namespace pelikon
