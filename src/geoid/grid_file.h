// Loading a ".grd" grid file (grid_text.h gives its layout) into a GeoGrid.
//
// Value lines: a line whose first character is 'N' is a node without
// value (value 0); a line reading -98765432.1 is a node without value that
// keeps that number; every other line is a value. Nodes for which the file
// has no line left are nodes without value. Stored cells have the fill
// flag clear. The lines after the values are the grid's remarks: stripped
// of blanks at both ends, empty ones left out, repeated blocks dropped
// (grid_remarks.h).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "geoid/geo_grid.h"

namespace pelikon {

// Grids of more nodes than this show their progress while being read,
// advanced every kGridProgressStep nodes.
inline constexpr int64_t kGridProgressThreshold = 100'000;
inline constexpr int64_t kGridProgressStep = 10'000;

class GridReadProgress {
 public:
  virtual ~GridReadProgress() = default;
  // `text` is translated.
  virtual void Start(const std::string& text) = 0;
  virtual void Advance(int64_t nodes_read, int64_t nodes) = 0;
  virtual void Finish() = 0;
};

// The part of a grid a caller will read, in the grid's own coordinates
// (degrees, its longitude convention). The nodes kept are those of the
// rows and columns from the one at or before the south / west edge to
// the one at or after the north / east edge, widened by `margin` nodes
// on each side and cut to the grid.
struct GridWindow {
  double south = 0;
  double west = 0;
  double north = 0;
  double east = 0;
  int32_t margin = 0;
};

struct GridLoadOptions {
  GridStorageOptions storage;
  GridReadProgress* progress = nullptr;
  // When set, only the window's nodes are read and stored: the value lines
  // of the other nodes are passed over unread, and those nodes answer as
  // nodes without value (their memory is never touched, their place in
  // the swap file never written). A grid whose steps are not positive is
  // read whole.
  std::optional<GridWindow> window;
};

// The grid, or nothing for an empty path, a file that cannot be opened or
// read, a header announcing negative or too many nodes, or when no storage
// could be had (a swap file that failed on the way is deleted).
std::unique_ptr<GeoGrid> LoadGridFile(const std::filesystem::path& path, const GridLoadOptions& options = {});

}  // namespace pelikon
