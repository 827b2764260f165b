// The whole cut of a sub-grid as the "Set Geoid Area" dialog's OK runs it
// once its fields are checked (and as `geoidtool subgrid` runs it): the
// model's grid file for the position, loaded (downloaded first when it is
// missing; only the nodes of the box around the position are read), the
// position checked against its coverage, the corners found and the ".gsf"
// written into the first output folder that takes it.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "geoid/geo_grid.h"
#include "geoid/geoid_catalogue.h"
#include "geoid/grid_file.h"

namespace pelikon {

struct SubGridJob {
  GeoidModel model = 1;
  std::filesystem::path grid_folder;
  double latitude = 0;    // degrees, positive north
  double longitude = 0;   // degrees east, 0 to 360
  double size = 2;        // degrees
  std::string file_name;  // "NAME.gsf"
  // Where the ".gsf" may go, in order of preference.
  std::vector<std::filesystem::path> output_folders;
  GridLoadOptions load;
  // Fetches the grid file `file_name` into `destination`; empty: no download.
  std::function<bool(const std::string& file_name, const std::filesystem::path& destination)> download;
  // Shows a text at once (the file rule's message, a model's data notice).
  std::function<void(const std::string& text)> tell;
  // The status line while the cut runs.
  std::function<void(const std::string& text)> status;
};

struct SubGridOutcome {
  std::filesystem::path written;  // empty on failure
  std::string error;              // the failure's text ("Error: ...")
};

SubGridOutcome CutSubGrid(const SubGridJob& job);

}  // namespace pelikon
