// The check sums of the transfer protocols, table-driven, the tables built
// from the polynomials at compile time:
//  * CRC-16/XMODEM: polynomial 0x1021, initial 0, high bit first;
//  * CRC-32 (IEEE 802.3): reflected polynomial 0xEDB88320, initial all ones,
//    result complemented. Running the register (not complemented) over data
//    plus its little-endian CRC leaves the residue kCrc32Residue.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace pelikon {

inline constexpr uint32_t kCrc32Residue = 0xDEBB20E3;

namespace crc_tables {

constexpr std::array<uint16_t, 256> MakeCrc16() {
  std::array<uint16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    uint16_t crc = static_cast<uint16_t>(i << 8);
    for (int bit = 0; bit < 8; ++bit) crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
    table[i] = crc;
  }
  return table;
}

constexpr std::array<uint32_t, 256> MakeCrc32() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t crc = i;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    table[i] = crc;
  }
  return table;
}

inline constexpr std::array<uint16_t, 256> kCrc16 = MakeCrc16();
inline constexpr std::array<uint32_t, 256> kCrc32 = MakeCrc32();

}  // namespace crc_tables

// One step of each register.
inline uint16_t Crc16Update(uint16_t crc, uint8_t byte) {
  return static_cast<uint16_t>((crc << 8) ^ crc_tables::kCrc16[((crc >> 8) ^ byte) & 0xFF]);
}
inline uint32_t Crc32Update(uint32_t crc, uint8_t byte) {
  return (crc >> 8) ^ crc_tables::kCrc32[(crc ^ byte) & 0xFF];
}

// Whole blocks: the finished check values.
uint16_t Crc16(const uint8_t* data, size_t length);
uint32_t Crc32(const uint8_t* data, size_t length);

}  // namespace pelikon
