// One node of a geoid grid. In memory a cell takes 16 bytes; in the swap
// file it is stored as 16 bytes too: the value (little-endian IEEE double),
// the has-value flag ('1' or '0'), the fill flag ('1' for a node only
// pre-filled when the grid was made, '0' once a value was stored), two
// zero bytes and a 32-bit zero.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pelikon {

struct GridCell {
  double value = 0.0;
  bool has_value = false;
  bool filled = false;
};
static_assert(sizeof(GridCell) == 16);

inline constexpr size_t kGridCellBytes = 16;
// The value a node without value may carry (and keep) in a grid file.
inline constexpr double kGridNoValue = -98765432.1;

inline bool operator==(const GridCell& a, const GridCell& b) {
  return a.value == b.value && a.has_value == b.has_value && a.filled == b.filled;
}

// The cell every node holds before anything is stored.
inline constexpr GridCell kPrefilledCell{0.0, false, true};

void EncodeGridCell(const GridCell& cell, unsigned char* bytes);
GridCell DecodeGridCell(const unsigned char* bytes);

}  // namespace pelikon
