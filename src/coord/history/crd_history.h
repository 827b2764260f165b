// The history of a CRD file's points: reading the history file beside it
// (job.his for job.crd), completing every transaction with the point's
// full state before and after it, undoing a point's changes, and recording
// new changes while the file's history flag is on.
//
// The history flag starts off for every CrdFile, so the program reads
// histories written by the office software and writes none of its own
// unless a caller attaches a CrdHistoryWriter and turns the flag on (undo
// does neither by itself).
#pragma once

#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "coord/crd/crd_history_recorder.h"
#include "coord/crd/crd_point.h"
#include "platform/large_memory.h"

namespace pelikon {

class CrdFile;

struct HistoryEntry {
  CrdPoint before;  // empty (no identifier) before a creation
  CrdPoint after;   // empty after a deletion
  uint16_t flags = 0;
  int command = 0;
  std::string text;
  int64_t time = 0;  // seconds since 1970, UTC
  // The identifier the point has after the change, or for a deletion the
  // one it had.
  std::string id;
  std::string user;
  // The identifier of the newest entry in this point's line of changes:
  // `id`, or the name the point was later renamed to.
  std::string latest_id;
  bool resolved = false;  // `before` and `after` are complete
};

class HistoryReader;

// The entries of a history, newest first, kept compact so that a history
// of millions of changes stays small: the texts stay in the history file's
// bytes, every point state is stored once, and an entry is put together as
// a HistoryEntry only when asked for.
class HistoryList {
 public:
  size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  HistoryEntry operator[](size_t i) const;
  std::vector<HistoryEntry> Entries() const;

  // For choosing entries without putting them together.
  int64_t Time(size_t i) const { return entries_[i].time; }
  uint16_t Flags(size_t i) const { return entries_[i].flags; }
  std::string_view Id(size_t i) const;
  std::string_view LatestId(size_t i) const;

  class Iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = HistoryEntry;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = HistoryEntry;
    Iterator(const HistoryList* list, size_t at) : list_(list), at_(at) {}
    HistoryEntry operator*() const { return (*list_)[at_]; }
    Iterator& operator++() {
      ++at_;
      return *this;
    }
    bool operator==(const Iterator& other) const = default;

   private:
    const HistoryList* list_;
    size_t at_;
  };
  Iterator begin() const { return Iterator(this, 0); }
  Iterator end() const { return Iterator(this, size()); }

 private:
  friend class HistoryReader;
  // An offset into the history file's bytes, or with kExtra set into the
  // texts added from the CRD file; either way the text ends with a NUL.
  using TextRef = uint32_t;
  static constexpr TextRef kExtra = 0x80000000u;
  static constexpr TextRef kEmpty = kExtra;  // the extra texts start with a NUL
  struct State {
    double northing = 0;
    double easting = 0;
    double elevation = 0;
    TextRef id = kEmpty;
    TextRef description = kEmpty;
    TextRef code = kEmpty;
  };
  struct Entry {
    uint32_t before = 0;  // indices into states_; 0 is "no point"
    uint32_t after = 0;
    TextRef id = kEmpty;
    TextRef latest_id = kEmpty;
    TextRef user = kEmpty;
    TextRef text = kEmpty;
    int32_t time = 0;
    uint16_t flags = 0;
    uint8_t command = 0;
  };
  std::string_view Text(TextRef ref, size_t limit) const;
  CrdPoint Point(uint32_t state) const;

  LargeVector<char> bytes_;
  std::string extra_;
  LargeVector<State> states_;
  LargeVector<Entry> entries_;  // newest first
  bool resolved_ = false;
};

// The entries of the history of the open `file` that concern the points
// `range` selects (a range text; empty means every point), newest first. A
// point renamed later keeps its older entries: they belong to the range
// when either their own identifier or the point's latest one lies in it.
// With `resolve` the before and after states are completed from the
// point's current state in the file, going back entry by entry. A missing
// history file gives an empty list; an invalid one (or one of 2 GiB or
// more), an empty list and a trace.
HistoryList ReadHistory(CrdFile& file, std::string_view range = {}, bool resolve = true);

// Puts the points back as they were before every entry of `entries`
// (resolved) stamped at or after `since_time` and lying in `range` (a
// range text; empty means all): a point that did not exist then is
// deleted, any other stored again, both with command 85. Returns 1, or 0
// when a store or deletion failed or an identifier does not name exactly
// one point.
int UndoHistory(CrdFile& file, const HistoryList& entries, int64_t since_time, std::string_view range = {});

// Appends the transactions of the CrdFile it is attached to. One writer
// serves one file: it remembers the last stamp, free text and user it
// wrote so that a transaction repeats none of them needlessly.
class CrdHistoryWriter final : public CrdHistoryRecorder {
 public:
  // `user`: the name written with every transaction (the login name when
  // not given); `now`: seconds since 1970 (the system time when not given).
  explicit CrdHistoryWriter(std::optional<std::string> user = std::nullopt, std::function<int64_t()> now = nullptr);

  // One change: `after` absent for a deletion, `before` for a creation.
  // Writes nothing when both are absent, when nothing differs, or for
  // command 255. Returns 1 when a transaction was written or none was
  // needed, 0 when the history file could not be written.
  int AddHistory(CrdFile& file, const CrdPoint* after, const CrdPoint* before, int command, std::string_view text);

  void Record(CrdFile& file, const CrdPoint* after, const CrdPoint* before, int command,
              std::string_view text) override {
    AddHistory(file, after, before, command, text);
  }
  void Close() override;

 private:
  std::string user_;
  std::function<int64_t()> now_;
  // The file's length when it was last seen to end with a whole
  // transaction.
  std::optional<uint64_t> whole_length_;
  std::optional<int64_t> last_stamp_;
  std::optional<std::string> last_text_;
  std::optional<std::string> last_user_;
};

// Attaches a writer to `file` and turns its history flag on.
CrdHistoryWriter& EnableHistory(CrdFile& file,
                                std::unique_ptr<CrdHistoryWriter> writer = std::make_unique<CrdHistoryWriter>());

}  // namespace pelikon
