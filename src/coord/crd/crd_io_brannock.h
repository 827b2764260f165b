// The handler of both CRD variants (see crd_layout.h for the bytes).
//
// Numeric files reach a point with one read. Alphanumeric files keep their
// records sorted by identifier: a lookup is a binary search reading one
// record per probe, and an insert moves the records above it up by one,
// from the end of the file downward in large blocks, so that an
// interruption leaves every record in the file (at worst one twice). No
// index or cache is kept in memory.
//
// Files are untrusted input: text fields are read within their width, a
// partial record at the end is left out, a header's point count is checked
// against the file's size, and damage never makes a read run past a field
// or a loop run past the file.
//
// Work that rewrites the whole file (bringing an older unsorted file into
// order, storing a batch) writes a twin beside it and renames it over the
// file, so the file is either the old one or the new one, never half of
// each.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "coord/crd/crd_io.h"
#include "coord/crd/crd_layout.h"
#include "coord/crd/crd_stream.h"
#include "platform/large_memory.h"

namespace pelikon {

class CrdIOBrannock final : public CrdIO {
 public:
  explicit CrdIOBrannock(CrdFile& owner) : CrdIO(owner) {}
  ~CrdIOBrannock() override = default;

  int Open(const std::filesystem::path& path) override;
  int IsOpen() const override { return 1; }
  int Create(const std::filesystem::path& path, int format) override;
  int DeleteFile() override;
  int CopyTo(CrdIO& other) override;
  int RenameTo(const std::filesystem::path& new_path) override;
  int ReplaceWith(const std::filesystem::path& path) override;

  int64_t PointCount() const override;
  int MaxIdLength() const override { return Numeric() ? 7 : static_cast<int>(kIdFieldSize); }
  int MaxDescriptionLength() const override { return static_cast<int>(kTextFieldSize); }
  int HasDescriptions() const override { return 1; }
  std::string HighestPossibleId() const override { return Numeric() ? "999999" : ""; }
  std::string LowestPossibleId() const override { return Numeric() ? "1" : ""; }
  int ValidateId(std::string_view id) const override;

  int GetPoint(std::string_view id, CrdPoint& point, int direction, bool quiet) override;
  int GetPointByIndex(int64_t index, CrdPoint& point) override;
  int Step(CrdCursor* cursor, CrdPoint& point, int direction) override;
  int64_t CurrentIndex() const override { return current_index_; }
  int ForEachPoint(const std::function<void(const CrdPoint&)>& visit) override;

  int StorePoint(const CrdPoint& point, bool quiet, CrdPoint* old_point) override;
  using CrdIO::StorePoints;
  int64_t StorePoints(const PointSource& next, bool quiet, std::vector<int>* errors, size_t expected) override;

  int SetHeaderText(std::string_view text) override;
  int SetHeaderNumber(std::string_view text) override;
  int SetHeaderDate(std::string_view text) override;
  int WriteHeader() override;

 private:
  // A point checked and turned into the record it is stored as.
  struct Prepared {
    CrdRecord record;
    int64_t number = 0;  // numeric files: the point number
  };
  // Where an identifier belongs among the records of an alphanumeric file.
  struct Position {
    int64_t index = 0;   // the first record not below the identifier
    bool found = false;  // that record has the identifier
  };

  // Large enough that moving a file's tail takes few system calls, small
  // enough to stay in the processor's caches.
  static constexpr size_t kBlockBytes = 1 << 20;
  // Reading a whole file: few system calls, and a buffer that costs little
  // to set up.
  static constexpr size_t kReadBlockBytes = 1 << 18;
  // Offsets are computed from counts; this keeps them far from overflowing.
  static constexpr int64_t kMaxSlots = int64_t{1} << 40;

  bool Numeric() const { return format_ == kCrdNumeric; }
  size_t RecordSize() const { return Numeric() ? kNumericRecordSize : kAlphaRecordSize; }
  size_t HeaderSize() const { return Numeric() ? kNumericHeaderSize : kAlphaHeaderSize; }
  uint64_t RecordOffset(int64_t index) const;  // numeric: index 0 is point 1
  int64_t RecordCount() const;
  // Reads record `index` into `bytes` (kAlphaRecordSize of them) and views it.
  bool ReadRecord(int64_t index, uint8_t* bytes, CrdRecordView& record) const;
  bool ReadIdAt(int64_t index, std::string& id) const;
  // The point a record at `index` holds: the one decoding every read of a
  // point goes through, a record at a time or a whole file in blocks.
  void ToPoint(const CrdRecordView& record, int64_t index, CrdPoint& point) const;
  int Fail(int error);

  bool OpenStreamWithRetries(const std::filesystem::path& path);
  int ReadHeaderValues();
  bool SortOlderFile(const uint8_t* header);
  bool ReplaceThroughTwin(CrdStream& twin, const std::filesystem::path& twin_path);

  int Prepare(const CrdPoint& point, bool quiet, Prepared& out);
  int GetNumeric(std::string_view id, CrdPoint& point, int direction, bool quiet);
  int GetAlphanumeric(std::string_view id, CrdPoint& point, int direction);
  std::optional<Position> Locate(std::string_view id);
  int StoreNumeric(const Prepared& prepared);
  int StoreAlphanumeric(const Prepared& prepared);
  bool ShiftUp(int64_t from, int64_t count);
  bool WriteEmptySlots(int64_t first, int64_t last);
  bool MergeNumeric(const LargeVector<Prepared>& batch, CrdStream& twin);
  bool MergeAlphanumeric(const LargeVector<Prepared>& batch, CrdStream& twin);

  CrdStream stream_;
  int64_t current_index_ = -1;
  int64_t numeric_highest_ = 0;
  std::vector<uint8_t> block_;  // reused by moves and merges
};

}  // namespace pelikon
