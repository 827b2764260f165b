// Geoid (the "Make geoid grid" button, and the "/GEOID" start-up job): a
// sub-grid around the job's position cut out of a geoid model in the
// "Set Geoid Area" dialog, then sent into the collector program's own
// folder. The dialog is a port: the program's window, or a script in tests.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "app/panes/panes_controller.h"
#include "geoid/subgrid_request.h"

namespace pelikon {

// What the dialog holds; the program keeps the grid folder in the "geoid"
// setting, the rest lives for one use.
struct GeoidAreaFields {
  std::string grid_folder;
  std::string latitude;  // dd.mmss
  bool south = false;
  std::string longitude;  // dd.mmss
  bool west = true;
  std::string size = "2.0";
  GridSizeUnit unit = GridSizeUnit::kDegrees;
  std::string name;
  int model = 1;  // GEOID99
};

class GeoidAreaDialogPort {
 public:
  virtual ~GeoidAreaDialogPort() = default;
  // Runs the dialog over `fields`; true when it ended with OK, the sub-grid
  // then written to `written`.
  virtual bool Ask(GeoidAreaFields& fields, std::filesystem::path& written) = 0;
};

// Where the dialog's OK may write and fetch: the program's own folder and
// the private working folder (the fall-backs for the ".gsf", and the swap
// file's place), and the grid download (empty: none configured).
struct GeoidCutPlaces {
  std::filesystem::path program_folder;
  std::filesystem::path temp_folder;
  std::function<bool(const std::string& file_name, const std::filesystem::path& destination)> download;
};

// What the dialog's OK does: checks the fields in order and shows the
// first refusal; makes the grid folder the program-wide data folder;
// completes the name (".gsf") in `fields`; then cuts the sub-grid with the
// busy window and status lines shown. The ".gsf" written, or nothing (the
// reason shown).
std::optional<std::filesystem::path> CutGeoidSubGrid(GeoidAreaFields& fields, PanesController& panes,
                                                     const GeoidCutPlaces& places);

// The command: runs the dialog and, after OK, keeps its folder as the grid
// folder and sends the sub-grid into the collector program's folder (or
// says why it cannot, naming the file to copy by hand).
void MakeGeoidGrid(PanesController& panes, GeoidAreaDialogPort& dialog);

// The upload half: 1 when the sub-grid reached the collector.
int UploadGeoidGrid(PanesController& panes, const std::filesystem::path& sub_grid);

}  // namespace pelikon
