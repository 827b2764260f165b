// Raw CRD bytes for tests, written and read by offset here rather than
// through the code under test, so that the tests pin the format itself.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/atomic_file.h"

namespace pelikon::testing {

inline std::string FileBytes(const std::filesystem::path& path) {
  std::string bytes;
  ReadWholeFile(path, bytes);
  return bytes;
}

inline double DoubleAt(const std::string& bytes, size_t offset) {
  double value = 0;
  if (offset + 8 <= bytes.size()) std::memcpy(&value, bytes.data() + offset, 8);  // the test machines are little-endian
  return value;
}

inline std::string TextAt(const std::string& bytes, size_t offset, size_t width) {
  const std::string field = bytes.substr(offset, width);
  return field.substr(0, field.find('\0'));
}

inline void PutDouble(std::string& bytes, size_t offset, double value) {
  std::memcpy(&bytes[offset], &value, 8);
}
inline void PutText(std::string& bytes, size_t offset, std::string_view text) {
  std::memcpy(&bytes[offset], text.data(), text.size());
}

struct RawPoint {
  std::string id;
  double n, e, z;
  std::string description;
};

// An alphanumeric file with `magic` and the records in the order given.
inline std::string AlphaFileBytes(const std::vector<RawPoint>& points, std::string_view magic = "New CRD Format2") {
  std::string bytes(104 + 66 * points.size(), '\0');
  PutDouble(bytes, 0, 12.5);
  PutText(bytes, 8, "01/02/2003");
  PutText(bytes, 40, "JOB TEXT");
  PutText(bytes, 72, magic);
  for (size_t i = 0; i < points.size(); ++i) {
    const size_t at = 104 + 66 * i;
    PutDouble(bytes, at, points[i].n);
    PutDouble(bytes, at + 8, points[i].e);
    PutDouble(bytes, at + 16, points[i].z);
    PutText(bytes, at + 24, points[i].description);
    PutText(bytes, at + 56, points[i].id);
  }
  return bytes;
}

// A numeric file whose header claims `highest`, with one record per slot.
inline std::string NumericFileBytes(double highest, const std::vector<RawPoint>& slots) {
  std::string bytes(56 + 56 * slots.size(), '\0');
  PutDouble(bytes, 0, highest);
  PutDouble(bytes, 8, 3.25);
  PutDouble(bytes, 16, 2011.0615);
  PutText(bytes, 24, "NUMERIC JOB");
  for (size_t i = 0; i < slots.size(); ++i) {
    const size_t at = 56 + 56 * i;
    PutDouble(bytes, at, slots[i].n);
    PutDouble(bytes, at + 8, slots[i].e);
    PutDouble(bytes, at + 16, slots[i].z);
    PutText(bytes, at + 24, slots[i].description);
  }
  return bytes;
}

// The identifiers of an alphanumeric file's records, in file order.
inline std::vector<std::string> AlphaIds(const std::string& bytes) {
  std::vector<std::string> ids;
  for (size_t at = 104; at + 66 <= bytes.size(); at += 66) ids.push_back(TextAt(bytes, at + 56, 10));
  return ids;
}

}  // namespace pelikon::testing
