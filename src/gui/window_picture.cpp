#include "gui/window_picture.h"

#include <wx/bitmap.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/image.h>

namespace pelikon {

bool SaveWindowPicture(wxWindow* window, const std::filesystem::path& file) {
  if (!window || !window->IsShown()) return false;
  window->Raise();
  // Everything is drawn anew first: a list filled a moment ago may not
  // have painted yet, and the picture would show it empty.
  window->Refresh();
  window->Update();
  const wxSize client = window->GetClientSize();
  wxBitmap picture(client);
  {
    wxClientDC screen(window);
    wxMemoryDC memory(picture);
    if (!memory.Blit(0, 0, client.x, client.y, &screen, 0, 0)) return false;
  }
  if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
  std::error_code ignored;
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ignored);
  return picture.SaveFile(wxString::FromUTF8(file.string()), wxBITMAP_TYPE_PNG);
}

}  // namespace pelikon
