#include "link/transfer/crc.h"

namespace pelikon {

uint16_t Crc16(const uint8_t* data, size_t length) {
  uint16_t crc = 0;
  for (size_t i = 0; i < length; ++i) crc = Crc16Update(crc, data[i]);
  return crc;
}

uint32_t Crc32(const uint8_t* data, size_t length) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < length; ++i) crc = Crc32Update(crc, data[i]);
  return ~crc;
}

}  // namespace pelikon
