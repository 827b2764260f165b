// The bytes of a CRD history file ("job.his" beside "job.crd"): a 15-byte
// magic, then one transaction per change of a point, oldest first. This
// module only turns bytes into transactions and back; it knows nothing of
// files.
//
// A transaction: the point identifier (text + NUL), 16 flag bits
// (little-endian), then, as the flags say, the command number (1 byte),
// the free text, the time stamp (signed 32-bit seconds since 1970), the
// user name, and the values the point had before the change: identifier,
// description, code, easting, northing, elevation (texts NUL-ended,
// numbers little-endian doubles). The low flag byte says what changed, the
// high byte what the transaction carries.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "coord/crd/crd_point.h"

namespace pelikon {

inline constexpr std::string_view kHistoryMagic{"CRD HISTORY V2\0", 15};

// What changed.
inline constexpr uint16_t kHistoryCreated = 0x0001;  // alone: no earlier state
inline constexpr uint16_t kHistoryDeleted = 0x0002;  // with all value bits below
inline constexpr uint16_t kHistoryId = 0x0004;
inline constexpr uint16_t kHistoryDescription = 0x0008;
inline constexpr uint16_t kHistoryCode = 0x0010;
inline constexpr uint16_t kHistoryEasting = 0x0020;
inline constexpr uint16_t kHistoryNorthing = 0x0040;
inline constexpr uint16_t kHistoryElevation = 0x0080;
// A deletion records the whole old state except the identifier.
inline constexpr uint16_t kHistoryDeletion = 0x00FA;
// What the transaction carries.
inline constexpr uint16_t kHistoryStamp = 0x0100;
inline constexpr uint16_t kHistoryCommand = 0x0200;
inline constexpr uint16_t kHistoryText = 0x0400;
inline constexpr uint16_t kHistorySameText = 0x0800;
inline constexpr uint16_t kHistoryUser = 0x1000;
inline constexpr uint16_t kHistorySameUser = 0x2000;

// Text limits, in bytes; longer texts are cut to them.
inline constexpr size_t kHistoryIdLimit = 255;
inline constexpr size_t kHistoryTextLimit = 255;
inline constexpr size_t kHistoryUserLimit = 127;

inline bool IsCreation(uint16_t flags) {
  return (flags & 0xFF) == kHistoryCreated;
}
inline bool IsDeletion(uint16_t flags) {
  return (flags & kHistoryDeleted) != 0;
}

struct HistoryTransaction {
  uint16_t flags = 0;
  int command = 0;
  std::string text;  // after carrying over the previous text
  int32_t time = 0;  // after carrying over the previous stamp
  std::string user;  // after carrying over the previous user
  // Item 1: the identifier after the change, or the deleted point's.
  std::string id;
  // The recorded values before the change; those the flags do not name
  // are left at their defaults, except the identifier, which is `id`
  // unless the transaction renamed the point.
  CrdPoint before;
};

// One transaction as it lies in the file's bytes: the texts are views into
// them (carried-over texts into the earlier transaction's), cut to their
// limits; values the flags do not name are empty or zero.
struct TransactionView {
  uint16_t flags = 0;
  int command = 0;
  std::string_view text;
  int32_t time = 0;
  std::string_view user;
  std::string_view id;
  std::string_view before_id;  // `id` unless the transaction renamed the point
  std::string_view description;
  std::string_view code;
  double easting = 0;
  double northing = 0;
  double elevation = 0;
};

// Walks the whole transactions of a history file, oldest first. The
// views live as long as the bytes.
class TransactionReader {
 public:
  explicit TransactionReader(std::string_view bytes);
  // Whether the bytes start with the magic.
  bool Valid() const { return valid_; }
  // The next transaction; false at the end or at a transaction cut short
  // by the end, which ends the walk.
  bool Next(TransactionView& t);
  // The length of the magic and the whole transactions read so far.
  size_t WholeLength() const { return at_; }

 private:
  std::string_view bytes_;
  size_t at_ = 0;
  bool valid_ = false;
  bool ended_ = false;
  TransactionView previous_;  // what "same as before" refers to
};

// The transactions of a whole history file, oldest first; nothing when the
// magic is wrong. A transaction cut short by the end ends the list. Texts
// are read up to their NUL and cut to their limits. `whole_length`, when
// given, receives the length of the magic and the whole transactions.
std::optional<std::vector<HistoryTransaction>> ParseHistory(std::string_view bytes, size_t* whole_length = nullptr);

// The bytes of one transaction as the flags in `t` describe it: the free
// text, stamp and user are written only when their flag asks and the
// corresponding "same" flag does not. Texts are cut at a NUL and at their
// limits.
std::string EncodeTransaction(const HistoryTransaction& t);

}  // namespace pelikon
