// A picture of what a window shows, saved as a PNG file: for bug reports
// (`pelikon --screenshot FILE`) and for the window tests' output.
#pragma once

#include <filesystem>

#include <wx/window.h>

namespace pelikon {

// Paints `window` at once and saves its client area. False on failure.
bool SaveWindowPicture(wxWindow* window, const std::filesystem::path& file);

}  // namespace pelikon
