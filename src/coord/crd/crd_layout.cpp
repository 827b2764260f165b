#include "coord/crd/crd_layout.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "pointid/point_id.h"

namespace pelikon {

static_assert(sizeof(double) == 8 && std::numeric_limits<double>::is_iec559, "CRD files hold IEEE-754 doubles");

double ReadDouble(const uint8_t* at) {
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | at[i];
  return std::bit_cast<double>(bits);
}

void WriteDouble(uint8_t* at, double value) {
  uint64_t bits = std::bit_cast<uint64_t>(value);
  for (int i = 0; i < 8; ++i, bits >>= 8) at[i] = static_cast<uint8_t>(bits & 0xFF);
}

std::string_view TextView(const uint8_t* field, size_t width) {
  if (width == 0) return {};
  const void* end = std::memchr(field, 0, width - 1);
  const size_t length = end ? static_cast<size_t>(static_cast<const uint8_t*>(end) - field) : width - 1;
  return std::string_view(reinterpret_cast<const char*>(field), length);
}

std::string ReadText(const uint8_t* field, size_t width) {
  return std::string(TextView(field, width));
}

void WriteText(uint8_t* field, size_t width, std::string_view text) {
  if (width == 0) return;
  std::memset(field, 0, width);
  // A text with a zero byte inside ends there, as it would have been read.
  const size_t length = std::min({text.size(), width - 1, text.find('\0')});
  std::memcpy(field, text.data(), length);
}

void EncodeRecord(const CrdRecord& record, bool alphanumeric, uint8_t* out) {
  WriteDouble(out, record.northing);
  WriteDouble(out + 8, record.easting);
  WriteDouble(out + 16, record.elevation);
  WriteText(out + kDescriptionOffset, kTextFieldSize, record.description);
  if (alphanumeric) WriteText(out + kIdOffset, kIdFieldSize, record.id);
}

CrdRecordView ViewRecord(const uint8_t* in, bool alphanumeric) {
  CrdRecordView record;
  record.northing = ReadDouble(in);
  record.easting = ReadDouble(in + 8);
  record.elevation = ReadDouble(in + 16);
  record.description = TextView(in + kDescriptionOffset, kTextFieldSize);
  if (alphanumeric) record.id = RecordIdView(in);
  return record;
}

std::string_view RecordIdView(const uint8_t* record) {
  return TextView(record + kIdOffset, kIdFieldSize);
}
std::string RecordId(const uint8_t* record) {
  return std::string(RecordIdView(record));
}

bool IsEmptySlot(const CrdRecordView& record) {
  return record.northing == 0.0 && record.easting == 0.0 && record.elevation == 0.0;
}

bool LooksAlphanumeric(const uint8_t* header, size_t bytes_read) {
  if (bytes_read < kAlphaHeaderSize) return false;
  const std::string magic = ReadText(header + kMagicOffset, kTextFieldSize);
  return magic.size() > 5 && magic.compare(0, kMagicUnsorted.size(), kMagicUnsorted) == 0;
}

bool IsSortedMagic(const uint8_t* header) {
  return header[kMagicOffset + kMagicUnsorted.size()] == '2';
}

bool IsValidNumericFile(const uint8_t* header, uint64_t file_size) {
  if (file_size < kNumericHeaderSize || file_size % kNumericRecordSize != 0) return false;
  const double highest = ReadDouble(header);
  if (!std::isfinite(ReadDouble(header + kNumericNumberOffset)) ||
      !std::isfinite(ReadDouble(header + kNumericDateOffset)) || !std::isfinite(highest))
    return false;
  const uint64_t slots = (file_size - kNumericHeaderSize) / kNumericRecordSize;
  return highest >= 0 && highest <= static_cast<double>(kHighestNumericId) && std::trunc(highest) == highest &&
         static_cast<uint64_t>(highest) <= slots;
}

bool IsValidAlphanumericHeader(const uint8_t* header) {
  return std::isfinite(ReadDouble(header));
}

double StorableHeaderNumber(double value) {
  return std::isfinite(value) ? value : 0.0;
}

int64_t ClaimedHighest(const uint8_t* header, int64_t limit) {
  const double claim = ReadDouble(header);
  if (!(claim >= 1.0)) return 0;  // also not-a-number
  if (claim >= static_cast<double>(limit)) return limit;
  return static_cast<int64_t>(claim);
}

}  // namespace pelikon
