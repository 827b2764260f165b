// Storing a batch of points in one pass: the file's records and the new
// points, both in order, are merged into a twin file that then replaces
// the file. The result is byte for byte what storing the points one after
// another gives, because it follows the same rules: a later point of the
// batch overwrites an earlier one with the same identifier, a point
// overwrites the first stored record with its identifier, and a numeric
// file fills the slots it grows by with empty records.
#include <algorithm>
#include <cstring>

#include "coord/crd/crd_io_brannock.h"
#include "coord/crd/sequential_writer.h"
#include "platform/atomic_file.h"
#include "platform/text.h"
#include "pointid/point_id.h"

namespace pelikon {

namespace {

// Reads a file's records front to back in large blocks.
class RecordReader {
 public:
  RecordReader(const CrdStream& stream, uint64_t first_offset, size_t record_size, int64_t count,
               std::vector<uint8_t>& block, size_t block_bytes)
      : stream_(stream),
        first_(first_offset),
        size_(record_size),
        count_(count),
        block_(block),
        per_block_(static_cast<int64_t>(block_bytes / record_size)) {}

  // Record `index` (read in order), or nullptr when it cannot be read.
  const uint8_t* At(int64_t index) {
    if (index < start_ || index >= start_ + loaded_) {
      loaded_ = std::min(per_block_, count_ - index);
      start_ = index;
      block_.resize(static_cast<size_t>(loaded_) * size_);
      if (loaded_ <= 0 ||
          !stream_.ReadAt(first_ + static_cast<uint64_t>(index) * size_, block_.data(), block_.size())) {
        loaded_ = 0;
        return nullptr;
      }
    }
    return block_.data() + static_cast<size_t>(index - start_) * size_;
  }

 private:
  const CrdStream& stream_;
  uint64_t first_;
  size_t size_;
  int64_t count_;
  std::vector<uint8_t>& block_;
  int64_t per_block_;
  int64_t start_ = 0;
  int64_t loaded_ = 0;
};

}  // namespace

int64_t CrdIOBrannock::StorePoints(std::span<const CrdPoint> points, bool quiet, std::vector<int>* errors) {
  if (errors) errors->assign(points.size(), kCrdOk);
  std::vector<Prepared> batch;
  batch.reserve(points.size());
  for (size_t i = 0; i < points.size(); ++i) {
    Prepared prepared;
    last_error_ = Prepare(points[i], quiet, prepared);
    if (errors) (*errors)[i] = last_error_;
    if (last_error_ == kCrdOk) batch.push_back(std::move(prepared));
  }
  const int final_error = last_error_;
  const auto accepted = static_cast<int64_t>(batch.size());
  if (batch.empty()) return 0;

  auto order = [&](const Prepared& a, const Prepared& b) {
    return Numeric() ? a.number < b.number : CompareIds(a.record.id, b.record.id) < 0;
  };
  std::stable_sort(batch.begin(), batch.end(), order);
  // Of points with one identifier only the last given stays.
  std::vector<Prepared> unique;
  unique.reserve(batch.size());
  for (size_t i = 0; i < batch.size(); ++i)
    if (i + 1 == batch.size() || order(batch[i], batch[i + 1])) unique.push_back(std::move(batch[i]));

  const std::filesystem::path twin_path = TwinPath(path_);
  CrdStream twin;
  const bool written = twin.Create(twin_path, path_, Storage()) &&
                       (Numeric() ? MergeNumeric(unique, twin) : MergeAlphanumeric(unique, twin)) &&
                       ReplaceThroughTwin(twin, twin_path);
  if (!written) {
    twin.Close();
    Storage().Remove(twin_path);
    return Fail(kCrdInputOutput);
  }
  last_error_ = final_error;
  return accepted;
}

bool CrdIOBrannock::MergeAlphanumeric(const std::vector<Prepared>& batch, CrdStream& twin) {
  uint8_t header[kAlphaHeaderSize];
  if (!stream_.ReadAt(0, header, sizeof header)) return false;
  const int64_t count = RecordCount();
  RecordReader old(stream_, kAlphaHeaderSize, kAlphaRecordSize, count, block_, kBlockBytes);
  SequentialWriter out(twin, kBlockBytes);
  out.Put(header, sizeof header);

  std::string first_id, last_id;
  bool any = false;
  auto put = [&](const uint8_t* record) {
    out.Put(record, kAlphaRecordSize);
    if (!any) first_id = RecordIdView(record);
    any = true;
  };
  uint8_t encoded[kAlphaRecordSize];
  int64_t i = 0;
  size_t j = 0;
  while (i < count || j < batch.size()) {
    const uint8_t* stored = nullptr;
    if (i < count && !(stored = old.At(i))) return false;
    int order = 1;  // > 0: the new point goes first
    if (stored && j < batch.size()) order = CompareIds(RecordIdView(stored), batch[j].record.id);
    if (stored && (j == batch.size() || order < 0)) {
      put(stored);
      last_id = RecordIdView(stored);
      ++i;
      continue;
    }
    EncodeRecord(batch[j].record, true, encoded);
    put(encoded);
    last_id = batch[j].record.id;
    ++j;
    if (order == 0) ++i;  // the new point takes the stored one's place
  }
  if (!out.Flush()) return false;
  lowest_ = first_id;
  highest_ = last_id;
  return true;
}

bool CrdIOBrannock::MergeNumeric(const std::vector<Prepared>& batch, CrdStream& twin) {
  uint8_t header[kNumericHeaderSize];
  if (!stream_.ReadAt(0, header, sizeof header)) return false;
  const int64_t slots = RecordCount();
  const int64_t claimed = ClaimedHighest(header, kMaxSlots);
  // The header as storing the points one by one would leave it; the order
  // of the stores does not change the outcome.
  const int64_t start_highest = std::min(claimed, slots);
  const int64_t top = batch.back().number;
  int64_t highest = start_highest;
  const bool header_changes = top > start_highest || claimed > slots;
  if (top > highest) highest = top;
  if (header_changes) WriteDouble(header, static_cast<double>(highest));
  const int64_t final_slots = std::max(slots, top);

  uint8_t empty[kNumericRecordSize];
  EncodeRecord(CrdRecord{0.0, 0.0, 0.0, " ", {}}, false, empty);
  uint8_t encoded[kNumericRecordSize];
  RecordReader old(stream_, kNumericHeaderSize, kNumericRecordSize, slots, block_, kBlockBytes);
  SequentialWriter out(twin, kBlockBytes);
  out.Put(header, sizeof header);
  size_t j = 0;
  for (int64_t slot = 1; slot <= final_slots; ++slot) {
    if (j < batch.size() && batch[j].number == slot) {
      EncodeRecord(batch[j++].record, false, encoded);
      out.Put(encoded, sizeof encoded);
    } else if (slot > start_highest && slot < top) {
      out.Put(empty, sizeof empty);  // a slot the file grows by, or one above the old highest
    } else {
      const uint8_t* stored = old.At(slot - 1);
      if (!stored) return false;
      out.Put(stored, kNumericRecordSize);
    }
  }
  if (!out.Flush()) return false;
  numeric_highest_ = highest;
  highest_ = DecimalText(highest);
  return true;
}

}  // namespace pelikon
