// History file bytes for tests, put together field by field here rather
// than by the code under test, so that the tests pin the file layout.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace pelikon::testing {

class HistoryBytes {
 public:
  HistoryBytes() : bytes_("CRD HISTORY V2\0", 15) {}
  const std::string& Bytes() const { return bytes_; }

  // Item 1 and the flags; the caller adds the items the flags announce,
  // in their order.
  HistoryBytes& Begin(std::string_view id, uint16_t flags) {
    Text(id);
    bytes_ += static_cast<char>(flags & 0xFF);
    bytes_ += static_cast<char>(flags >> 8);
    return *this;
  }
  HistoryBytes& Byte(int value) {
    bytes_ += static_cast<char>(value);
    return *this;
  }
  HistoryBytes& Text(std::string_view text) {
    bytes_.append(text);
    bytes_ += '\0';
    return *this;
  }
  HistoryBytes& Stamp(int32_t seconds) {
    const uint32_t v = static_cast<uint32_t>(seconds);
    for (int i = 0; i < 4; ++i) bytes_ += static_cast<char>((v >> (8 * i)) & 0xFF);
    return *this;
  }
  HistoryBytes& Double(double value) {
    char raw[8];
    std::memcpy(raw, &value, 8);  // the test machines are little-endian
    bytes_.append(raw, 8);
    return *this;
  }
  // Cuts the last `count` bytes, as an interrupted write leaves a file.
  HistoryBytes& Drop(size_t count) {
    bytes_.resize(bytes_.size() - count);
    return *this;
  }

 private:
  std::string bytes_;
};

}  // namespace pelikon::testing
