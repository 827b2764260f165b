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
#include "coord/crd/record_reader.h"
#include "coord/crd/sequential_writer.h"
#include "platform/atomic_file.h"
#include "platform/text.h"
#include "pointid/point_id.h"

namespace pelikon {

int64_t CrdIOBrannock::StorePoints(const PointSource& next, bool quiet, std::vector<int>* errors, size_t expected) {
  if (errors) errors->clear();
  LargeVector<Prepared> batch;
  batch.reserve(expected);
  while (const CrdPoint* point = next()) {
    Prepared prepared;
    last_error_ = Prepare(*point, quiet, prepared);
    if (errors) errors->push_back(last_error_);
    if (last_error_ == kCrdOk) batch.push_back(std::move(prepared));
  }
  const int final_error = last_error_;
  const auto accepted = static_cast<int64_t>(batch.size());
  if (batch.empty()) return 0;

  auto order = [&](const Prepared& a, const Prepared& b) {
    return Numeric() ? a.number < b.number : CompareIds(a.record.id, b.record.id) < 0;
  };
  // A batch given in order, every identifier once, is taken as it is.
  bool strictly_ordered = true;
  for (size_t i = 0; strictly_ordered && i + 1 < batch.size(); ++i) strictly_ordered = order(batch[i], batch[i + 1]);
  if (!strictly_ordered) {
    std::stable_sort(batch.begin(), batch.end(), order);
    // Of points with one identifier only the last given stays.
    size_t kept = 0;
    for (size_t i = 0; i < batch.size(); ++i) {
      if (i + 1 < batch.size() && !order(batch[i], batch[i + 1])) continue;
      if (kept != i) batch[kept] = std::move(batch[i]);
      ++kept;
    }
    batch.resize(kept);
  }

  const std::filesystem::path twin_path = TwinPath(path_);
  CrdStream twin;
  const bool written = twin.Create(twin_path, path_, Storage()) &&
                       (Numeric() ? MergeNumeric(batch, twin) : MergeAlphanumeric(batch, twin)) &&
                       ReplaceThroughTwin(twin, twin_path);
  if (!written) {
    twin.Close();
    Storage().Remove(twin_path);
    return Fail(kCrdInputOutput);
  }
  last_error_ = final_error;
  return accepted;
}

bool CrdIOBrannock::MergeAlphanumeric(const LargeVector<Prepared>& batch, CrdStream& twin) {
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

bool CrdIOBrannock::MergeNumeric(const LargeVector<Prepared>& batch, CrdStream& twin) {
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
