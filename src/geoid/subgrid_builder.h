// Cutting a sub-grid out of a geoid model: the square box around the
// job's position, its corner nodes (one node inside each edge of the
// box), and the ".gsf" text of the nodes between them, with the model's
// own coordinates and values (no interpolation). Then the whole sequence
// the "Set Geoid Area" dialog's OK runs, shared with `geoidtool subgrid`.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "geoid/geo_grid.h"

namespace pelikon {

struct SubGridCorners {
  int64_t south_west = -1;
  int64_t north_east = -1;
};

// The corners of the box of `size` degrees around (latitude, longitude),
// in the grid's longitude convention: the south-west node is one row north
// of the first row at or above the box's south edge and one column east
// of the first node at or east of its west edge; the north-east node is
// the last node below the north edge and west of the east edge. Nothing
// when the box leaves no node.
std::optional<SubGridCorners> FindSubGridCorners(const GeoGrid& grid, double latitude, double longitude, double size);

// The ".gsf" text (lines end CR LF): the two corners' coordinates
// ("%.4f"), the interval counts ("%.1f"), then the values ("%.4f") of the
// nodes between the corners, southern row first, each row west to east.
std::string SubGridText(GeoGrid& grid, const SubGridCorners& corners);

// Writes `text` as `name` into the first of `folders` that takes it,
// through a twin renamed at the end (a folder that fails keeps no partial
// file). The path written, or empty when every folder failed.
std::filesystem::path WriteSubGridFile(const std::string& text, const std::vector<std::filesystem::path>& folders,
                                       const std::string& name);

}  // namespace pelikon
