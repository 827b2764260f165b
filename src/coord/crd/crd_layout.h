// The two CRD variants byte for byte. All numbers are little-endian, every
// coordinate an IEEE-754 double; text fields are fixed-width, terminated
// inside the field, and whatever follows the terminator is ignored (a field
// without one ends at its last byte). This module only turns bytes into
// values and back; it does no input or output.
//
// Numeric (format 0): 56-byte header, then point n's 56-byte record at 56*n.
//   header  0 double highest point number   8 double header number
//          16 double date YYYY.MMDD        24 text[32] header text
//   record  0 northing  8 easting  16 elevation (doubles)  24 text[32] description
//   A record whose three coordinates are all 0 is an empty slot; a real
//   point at 0,0,0 is kept with elevation 1e-6.
// Alphanumeric (format 1): 104-byte header, then 66-byte records from 104.
//   header  0 double header number   8 text[32] date "MM/DD/YYYY"
//          40 text[32] header text  72 text[32] "New CRD Format2" (sorted;
//          "New CRD Format" marks an older, unsorted file)
//   record  as numeric, plus 56 text[10] identifier
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pelikon {

inline constexpr size_t kNumericHeaderSize = 56;
inline constexpr size_t kNumericRecordSize = 56;
inline constexpr size_t kAlphaHeaderSize = 104;
inline constexpr size_t kAlphaRecordSize = 66;

inline constexpr size_t kTextFieldSize = 32;
inline constexpr size_t kIdFieldSize = 10;
inline constexpr size_t kMaxDescription = kTextFieldSize - 1;
inline constexpr size_t kMaxAlphaId = kIdFieldSize - 1;

inline constexpr size_t kDescriptionOffset = 24;
inline constexpr size_t kIdOffset = 56;
inline constexpr size_t kAlphaDateOffset = 8;
inline constexpr size_t kAlphaTextOffset = 40;
inline constexpr size_t kMagicOffset = 72;
inline constexpr size_t kNumericNumberOffset = 8;
inline constexpr size_t kNumericDateOffset = 16;
inline constexpr size_t kNumericTextOffset = 24;

inline constexpr std::string_view kMagicSorted = "New CRD Format2";
inline constexpr std::string_view kMagicUnsorted = "New CRD Format";
// The elevation that stands for 0 at a point whose other coordinates are 0.
inline constexpr double kZeroPointElevation = 0.000001;

double ReadDouble(const uint8_t* at);
void WriteDouble(uint8_t* at, double value);
// The text of a field: up to its terminator, its last byte taken as one.
std::string_view TextView(const uint8_t* field, size_t width);
std::string ReadText(const uint8_t* field, size_t width);
// Writes `text` cut to width - 1 characters and fills the rest with zeros.
void WriteText(uint8_t* field, size_t width, std::string_view text);

// One record's values. `id` is used by the alphanumeric variant only.
template <typename Text>
struct BasicCrdRecord {
  double northing = 0;
  double easting = 0;
  double elevation = 0;
  Text description;
  Text id;
};
// A record as stored, owning its texts.
using CrdRecord = BasicCrdRecord<std::string>;
// A record as read, its texts viewed where they lie: valid as long as the
// bytes it was read from.
using CrdRecordView = BasicCrdRecord<std::string_view>;

// `out` holds kNumericRecordSize or kAlphaRecordSize bytes.
void EncodeRecord(const CrdRecord& record, bool alphanumeric, uint8_t* out);
CrdRecordView ViewRecord(const uint8_t* in, bool alphanumeric);
// The identifier of an alphanumeric record, without decoding the rest; the
// view points into `record`.
std::string_view RecordIdView(const uint8_t* record);
std::string RecordId(const uint8_t* record);
// All three coordinates exactly 0.
bool IsEmptySlot(const CrdRecordView& record);

// The variant a file's first bytes tell: alphanumeric when all 104 header
// bytes are there and the magic field begins with "New CRD Format".
bool LooksAlphanumeric(const uint8_t* header, size_t bytes_read);
// The magic of an alphanumeric header marks a sorted file.
bool IsSortedMagic(const uint8_t* header);

// Signs that a file is what its first bytes suggest, so that a file that
// is no CRD file at all (a text file named ".crd", random bytes) is refused
// before anything is written to it. Every file this program or the
// collector writes passes.
// Numeric: the size is the header plus whole records, the three header
// numbers are finite, and the highest point number is a whole number from
// 0 to 99999 whose slots the file holds.
bool IsValidNumericFile(const uint8_t* header, uint64_t file_size);
// Alphanumeric (the magic has told the variant): the header number is
// finite.
bool IsValidAlphanumericHeader(const uint8_t* header);
// A header number as written: a value that is not finite is written as 0,
// so that a file never fails the checks above by what was stored in it.
double StorableHeaderNumber(double value);

// The highest point number a numeric header claims, as a count that is
// safe to compute offsets with: negative, not-a-number and fractional
// parts drop, huge values stop at `limit`.
int64_t ClaimedHighest(const uint8_t* header, int64_t limit);

}  // namespace pelikon
