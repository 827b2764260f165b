#include "geoid/subgrid_builder.h"

#include <charconv>
#include <system_error>

#include "platform/atomic_file.h"

namespace pelikon {

namespace {

// `value` with `decimals` decimals in the C locale, as "%.Nf" prints it
// there, and CR LF.
void PutLine(std::string& out, double value, int decimals) {
  char text[400];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  if (error == std::errc()) out.append(text, end);
  out += "\r\n";
}

}  // namespace

std::optional<SubGridCorners> FindSubGridCorners(const GeoGrid& grid, double latitude, double longitude, double size) {
  const double half = size / 2;
  // South-west: one row north of the first row at or above the south
  // edge, one column east of the first node at or east of the west edge.
  int64_t node = 0;
  while (node >= 0 && GridNodeLatitude(&grid, node) < latitude - half) node = GridNextRow(&grid, node);
  if (node >= 0) node = GridNextRow(&grid, node);
  while (node >= 0 && GridNodeLongitude(&grid, node) < longitude - half) node = GridNextColumn(&grid, node);
  if (node >= 0) node = GridNextColumn(&grid, node);
  const int64_t south_west = node;

  // North-east: the last node below the north edge and west of the east edge.
  int64_t row = -1;
  for (node = 0; node >= 0 && GridNodeLatitude(&grid, node) < latitude + half; node = GridNextRow(&grid, node))
    row = node;
  int64_t north_east = -1;
  for (node = row; node >= 0 && GridNodeLongitude(&grid, node) < longitude + half; node = GridNextColumn(&grid, node))
    north_east = node;

  const int64_t count = GridCellCount(&grid);
  if (south_west < 0 || north_east < 0 || south_west >= count || north_east >= count || south_west > north_east)
    return std::nullopt;
  return SubGridCorners{south_west, north_east};
}

std::string SubGridText(GeoGrid& grid, const SubGridCorners& corners) {
  const double west = GridNodeLongitude(&grid, corners.south_west);
  const double south = GridNodeLatitude(&grid, corners.south_west);
  const double east = GridNodeLongitude(&grid, corners.north_east);
  const double north = GridNodeLatitude(&grid, corners.north_east);
  // The model's steps, from node 0 and its neighbours east and north.
  const double longitude_step = GridNodeLongitude(&grid, GridNextColumn(&grid, 0)) - GridNodeLongitude(&grid, 0);
  const double latitude_step = GridNodeLatitude(&grid, GridNextRow(&grid, 0)) - GridNodeLatitude(&grid, 0);
  std::string out;
  PutLine(out, south, 4);
  PutLine(out, west, 4);
  PutLine(out, north, 4);
  PutLine(out, east, 4);
  PutLine(out, (east - west) / longitude_step, 1);
  PutLine(out, (north - south) / latitude_step, 1);
  for (int64_t node = corners.south_west; node <= corners.north_east; ++node) {
    const double longitude = GridNodeLongitude(&grid, node);
    const double latitude = GridNodeLatitude(&grid, node);
    if (longitude < west || longitude > east || latitude < south || latitude > north) continue;
    PutLine(out, GridGetCell(&grid, node).value, 4);
  }
  return out;
}

std::filesystem::path WriteSubGridFile(const std::string& text, const std::vector<std::filesystem::path>& folders,
                                       const std::string& name) {
  for (const std::filesystem::path& folder : folders) {
    if (folder.empty()) continue;
    const std::filesystem::path path = folder / name;
    if (!WriteFileAtomically(path, text)) return path;
  }
  return {};
}

}  // namespace pelikon
