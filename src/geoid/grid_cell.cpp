#include "geoid/grid_cell.h"

#include <cstring>

namespace pelikon {

void EncodeGridCell(const GridCell& cell, unsigned char* bytes) {
  uint64_t bits;
  std::memcpy(&bits, &cell.value, sizeof bits);
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
  bytes[8] = cell.has_value ? '1' : '0';
  bytes[9] = cell.filled ? '1' : '0';
  std::memset(bytes + 10, 0, 6);
}

GridCell DecodeGridCell(const unsigned char* bytes) {
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= uint64_t{bytes[i]} << (8 * i);
  GridCell cell;
  std::memcpy(&cell.value, &bits, sizeof bits);
  cell.has_value = bytes[8] == '1';
  cell.filled = bytes[9] == '1';
  return cell;
}

}  // namespace pelikon
