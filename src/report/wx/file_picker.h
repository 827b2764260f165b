// Choosing a file for the report windows: the desktop's file dialog, or a
// stand-in a caller (a test) supplies. One request says what is asked for.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

class wxWindow;

namespace pelikon {

struct FilePick {
  std::string title;
  std::filesystem::path suggested;  // a folder, or a file to start from
  std::string extension;            // without the dot; empty: any file
  bool save = false;                // a file to write (it may be new)
};

// The chosen path; empty when the user cancels.
using ReportFilePicker = std::function<std::filesystem::path(const FilePick&)>;

// The desktop's file dialog over `parent`. A file to save gets the
// extension added when the typed name has none.
std::filesystem::path PickFileOnDesktop(wxWindow* parent, const FilePick& pick);

}  // namespace pelikon
