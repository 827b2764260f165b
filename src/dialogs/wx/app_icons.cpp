#include "dialogs/wx/app_icons.h"

#include <wx/artprov.h>
#include <wx/image.h>
#include <wx/mstream.h>

#include "dialogs/wx/program_icon_data.h"

namespace pelikon {

wxIconBundle DialogIcons() {
  if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
  wxIconBundle icons;
  for (size_t i = 0; i < kProgramIconPictureCount; ++i) {
    const IconPicture& picture = kProgramIconPictures[i];
    wxMemoryInputStream stream(picture.png, picture.length);
    const wxImage image(stream, wxBITMAP_TYPE_PNG);
    if (!image.IsOk()) continue;
    wxIcon icon;
    icon.CopyFromBitmap(wxBitmap(image));
    if (icon.IsOk()) icons.AddIcon(icon);
  }
  if (!icons.IsEmpty()) return icons;
  // Without its own pictures a window still gets an icon from the theme.
  for (const int size : {16, 32, 48}) {
    const wxIcon icon = wxArtProvider::GetIcon(wxART_HARDDISK, wxART_FRAME_ICON, wxSize(size, size));
    if (icon.IsOk()) icons.AddIcon(icon);
  }
  return icons;
}

}  // namespace pelikon
