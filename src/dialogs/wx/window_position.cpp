#include "dialogs/wx/window_position.h"

#include <wx/display.h>

#include "dialogs/data_folder.h"
#include "dialogs/window_positions.h"

namespace pelikon {

int SaveWindowPosition(const wxTopLevelWindow& window, const std::string& name) {
  const wxRect rect = window.GetRect();
  const WindowPlacement placement{rect.x, rect.y, rect.GetRight() + 1, rect.GetBottom() + 1, window.IsMaximized()};
  return SaveWindowPlacement(DataFolder(), name, placement, window.IsIconized());
}

int RestoreWindowPosition(wxTopLevelWindow& window, const std::string& name) {
  const std::optional<WindowPlacement> saved = LoadWindowPlacement(DataFolder(), name);
  if (!saved) return 0;
  const int number = wxDisplay::GetFromWindow(&window);
  const wxDisplay display(number == wxNOT_FOUND ? 0u : static_cast<unsigned>(number));
  const wxRect screen = display.GetGeometry();
  const wxRect work_area = display.GetClientArea();
  const WindowPlacement placement =
      ClampToScreen(*saved, ScreenArea{screen.width, screen.height, work_area.width, work_area.height});
  const long style = window.GetWindowStyleFlag();
  switch (ChooseRestoreStep(placement, (style & wxMAXIMIZE_BOX) != 0, (style & wxRESIZE_BORDER) != 0)) {
    case RestoreStep::kMaximize:
      window.Maximize();
      break;
    case RestoreStep::kMoveAndSize:
      window.SetSize(placement.left, placement.top, placement.right - placement.left, placement.bottom - placement.top);
      break;
    case RestoreStep::kMove:
      window.Move(placement.left, placement.top);
      break;
  }
  return 1;
}

}  // namespace pelikon
