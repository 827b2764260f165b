#include "coord/crd/crd_io_brannock.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "coord/crd/crd_file.h"
#include "coord/crd/record_reader.h"
#include "coord/crd/sequential_writer.h"
#include "platform/atomic_file.h"
#include "platform/catalogue.h"
#include "platform/text.h"
#include "platform/trace.h"
#include "pointid/decimal_text.h"
#include "pointid/point_id.h"

namespace pelikon {

namespace {

constexpr uint32_t kStreamRetryWaitsMs[] = {500, 2500};

constexpr const char* kOpenFailedText =
    N_("Failed to open coordinate file:\n  %s\nFile may be read-only or already opened by another.\n"
       "Read-only files cannot be used. Use Windows\nExplorer to make sure file is not read-only.");

// "%4d.%2d%2d" of the date with its inner blanks made zeros, as a number.
double NumericHeaderDate(const CivilDate& date) {
  std::string text = StrPrintf("%4d.%2d%2d", date.year, date.month, date.day);
  for (size_t pos : {size_t{5}, size_t{7}})
    if (pos < text.size() && text[pos] == ' ') text[pos] = '0';
  return LenientDouble(text);
}

// "%2d/%2d/%4d" (month, day, year) with leading blanks made zeros.
std::string AlphaHeaderDate(const CivilDate& date) {
  std::string text = StrPrintf("%2d/%2d/%4d", date.month, date.day, date.year);
  for (size_t pos : {size_t{0}, size_t{3}})
    if (pos < text.size() && text[pos] == ' ') text[pos] = '0';
  return text;
}

// A header date typed as "month/day/year" becomes year.MMDD.
double ParseNumericHeaderDate(std::string_view text) {
  const size_t first = text.find('/');
  if (first == std::string_view::npos) return LenientDouble(text);
  const size_t second = text.find('/', first + 1);
  const int month = LenientInt32(text.substr(0, first));
  const int day = LenientInt32(text.substr(first + 1, second == std::string_view::npos ? 0 : second - first - 1));
  const int year = second == std::string_view::npos ? 0 : LenientInt32(text.substr(second + 1));
  return year + month * 0.01 + day * 0.0001;
}

}  // namespace

// ---- Files --------------------------------------------------------------------

int CrdIOBrannock::Fail(int error) {
  last_error_ = error;
  return 0;
}

bool CrdIOBrannock::OpenStreamWithRetries(const std::filesystem::path& path) {
  if (stream_.Open(path, Storage())) return true;
  for (uint32_t wait_ms : kStreamRetryWaitsMs) {
    owner_.Environment().clock->SleepMs(wait_ms);
    if (stream_.Open(path, Storage())) return true;
  }
  const std::string text = StrPrintf(Tr(kOpenFailedText), path.c_str());
  Trace("\n%s", text.c_str());
  if (owner_.Environment().ui) owner_.Environment().ui->ShowMessageBox(text);
  return false;
}

int CrdIOBrannock::Open(const std::filesystem::path& path) {
  last_error_ = kCrdOk;
  path_ = path;
  current_index_ = -1;
  highest_.clear();
  lowest_.clear();
  if (!OpenStreamWithRetries(path)) return Fail(kCrdCannotOpen);

  uint8_t header[kAlphaHeaderSize] = {};
  const size_t got = stream_.ReadUpTo(0, header, sizeof header);
  if (LooksAlphanumeric(header, got)) {
    format_ = kCrdAlphanumeric;
    if (!IsValidAlphanumericHeader(header)) return Fail(kCrdUnknownFormat);
    if (RecordCount() > 0 && !IsSortedMagic(header) && !SortOlderFile(header)) return Fail(kCrdInputOutput);
    header_number_ = StrPrintf("%.3f", ReadDouble(header));
    header_date_ = ReadText(header + kAlphaDateOffset, kTextFieldSize);
    header_text_ = ReadText(header + kAlphaTextOffset, kTextFieldSize);
    const int64_t count = RecordCount();
    if (count > 0 && (!ReadIdAt(0, lowest_) || !ReadIdAt(count - 1, highest_))) return Fail(kCrdInputOutput);
    return 1;
  }
  format_ = kCrdNumeric;
  // Nothing that fits neither variant is taken for a numeric file: storing
  // into it would rewrite a file that was never a CRD file.
  if (!IsValidNumericFile(header, stream_.Size().value_or(0))) return Fail(kCrdUnknownFormat);
  numeric_highest_ = ClaimedHighest(header, std::min(RecordCount(), kMaxSlots));
  highest_ = DecimalText(numeric_highest_);
  lowest_ = "1";
  header_number_ = StrPrintf("%.3f", ReadDouble(header + kNumericNumberOffset));
  header_date_ = StrPrintf("%4.4f", ReadDouble(header + kNumericDateOffset));
  header_text_ = ReadText(header + kNumericTextOffset, kTextFieldSize);
  return 1;
}

bool CrdIOBrannock::SortOlderFile(const uint8_t* header) {
  const int64_t count = RecordCount();
  std::vector<uint8_t> records(static_cast<size_t>(count) * kAlphaRecordSize);
  if (!stream_.ReadAt(kAlphaHeaderSize, records.data(), records.size())) return false;
  // Each record goes before the first one already placed whose identifier is
  // not below its own: a stable sort of the records taken last to first.
  std::vector<int64_t> order(static_cast<size_t>(count));
  std::iota(order.rbegin(), order.rend(), 0);
  auto id_of = [&](int64_t i) { return RecordIdView(records.data() + i * kAlphaRecordSize); };
  std::stable_sort(order.begin(), order.end(),
                   [&](int64_t a, int64_t b) { return ComparePointIds(id_of(a), id_of(b)) < 0; });

  const std::filesystem::path twin_path = TwinPath(path_);
  CrdStream twin;
  if (!twin.Create(twin_path, path_, Storage())) return false;
  uint8_t sorted_header[kAlphaHeaderSize];
  std::memcpy(sorted_header, header, kAlphaHeaderSize);
  WriteText(sorted_header + kMagicOffset, kTextFieldSize, kMagicSorted);
  SequentialWriter out(twin, kBlockBytes);
  out.Put(sorted_header, kAlphaHeaderSize);
  for (int64_t i : order) out.Put(records.data() + i * kAlphaRecordSize, kAlphaRecordSize);
  if (!out.Flush() || !ReplaceThroughTwin(twin, twin_path)) {
    twin.Close();
    Storage().Remove(twin_path);
    return false;
  }
  return true;
}

bool CrdIOBrannock::ReplaceThroughTwin(CrdStream& twin, const std::filesystem::path& twin_path) {
  if (!Storage().ReplaceWithTwin(twin_path, path_)) return false;
  // The twin is the file now, locked since it was made; the old one goes.
  stream_ = std::move(twin);
  return true;
}

int CrdIOBrannock::Create(const std::filesystem::path& path, int format) {
  last_error_ = kCrdOk;
  if (format != kCrdNumeric && format != kCrdAlphanumeric) return Fail(kCrdUnknownFormat);
  Storage().Remove(path);
  Storage().Remove(CompanionPath(path, "not"));
  CrdStream created;
  if (!created.Create(path, {}, Storage())) {
    Trace("\nCan't open new file %s", path.c_str());
    return Fail(kCrdCannotCreate);
  }
  const CivilDate today = owner_.Environment().today();
  uint8_t header[kAlphaHeaderSize] = {};
  size_t size;
  if (format == kCrdNumeric) {
    WriteDouble(header + kNumericDateOffset, NumericHeaderDate(today));
    size = kNumericHeaderSize;
  } else {
    WriteText(header + kAlphaDateOffset, kTextFieldSize, AlphaHeaderDate(today));
    WriteText(header + kMagicOffset, kTextFieldSize, kMagicSorted);
    size = kAlphaHeaderSize;
  }
  if (!created.WriteAt(0, header, size)) return Fail(kCrdCannotCreate);
  created.Close();
  return Open(path);
}

int CrdIOBrannock::DeleteFile() {
  stream_.Close();
  if (!Storage().Remove(path_)) return Fail(kCrdCannotDelete);
  return 1;
}

int CrdIOBrannock::CopyTo(CrdIO& other) {
  if (other.Format() != format_) return 0;
  // The copy is made beside the other file and then put in its place.
  const std::filesystem::path twin_path = TwinPath(other.Path());
  CrdStream twin;
  if (!twin.Create(twin_path, other.Path(), Storage())) return Fail(kCrdInputOutput);
  const uint64_t size = stream_.Size().value_or(0);
  SequentialWriter out(twin, kBlockBytes);
  block_.resize(static_cast<size_t>(std::min<uint64_t>(kBlockBytes, size)));
  bool ok = true;
  for (uint64_t offset = 0; ok && offset < size; offset += block_.size()) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(block_.size(), size - offset));
    ok = stream_.ReadAt(offset, block_.data(), n);
    if (ok) out.Put(block_.data(), n);
  }
  ok = ok && out.Flush();
  twin.Close();
  if (!ok || !other.ReplaceWith(twin_path)) {
    Storage().Remove(twin_path);
    return Fail(kCrdInputOutput);
  }
  return 1;
}

int CrdIOBrannock::RenameTo(const std::filesystem::path& new_path) {
  stream_.Close();
  if (!Storage().Rename(path_, new_path)) {
    Open(path_);
    return Fail(kCrdCannotRename);
  }
  return Open(new_path);
}

int CrdIOBrannock::ReplaceWith(const std::filesystem::path& path) {
  stream_.Close();
  // One rename puts the new file in place: there is never a moment without
  // a whole file at the path.
  if (!Storage().ReplaceWithTwin(path, path_)) {
    Open(path_);
    return Fail(kCrdCannotRename);
  }
  return Open(path_);
}

// ---- Records ------------------------------------------------------------------

uint64_t CrdIOBrannock::RecordOffset(int64_t index) const {
  if (Numeric()) return kNumericRecordSize * static_cast<uint64_t>(index + 1);
  return kAlphaHeaderSize + kAlphaRecordSize * static_cast<uint64_t>(index);
}

int64_t CrdIOBrannock::RecordCount() const {
  const uint64_t size = stream_.Size().value_or(0);
  if (size < HeaderSize()) return 0;
  return static_cast<int64_t>((size - HeaderSize()) / RecordSize());
}

int64_t CrdIOBrannock::PointCount() const {
  return RecordCount();
}

bool CrdIOBrannock::ReadRecord(int64_t index, uint8_t* bytes, CrdRecordView& record) const {
  if (index < 0 || index >= kMaxSlots) return false;
  if (!stream_.ReadAt(RecordOffset(index), bytes, RecordSize())) return false;
  record = ViewRecord(bytes, !Numeric());
  return true;
}

bool CrdIOBrannock::ReadIdAt(int64_t index, std::string& id) const {
  uint8_t bytes[kAlphaRecordSize];
  if (index < 0 || !stream_.ReadAt(RecordOffset(index), bytes, kAlphaRecordSize)) return false;
  id = RecordId(bytes);
  return true;
}

void CrdIOBrannock::ToPoint(const CrdRecordView& record, int64_t index, CrdPoint& point) const {
  point.Set(Numeric() ? DecimalText(index + 1) : record.id, record.northing, record.easting, record.elevation,
            record.description);
  if (Numeric() && record.northing == 0.0 && record.easting == 0.0 && record.elevation == kZeroPointElevation)
    point.elevation = 0.0;
}

int CrdIOBrannock::ValidateId(std::string_view id) const {
  if (id.size() >= static_cast<size_t>(MaxIdLength())) return kCrdIdTooLong;
  if (id.empty()) return kCrdIdEmpty;
  if (!Numeric()) return kCrdOk;
  const std::string number = NormaliseId(TrimLeft(id, " "), true);
  int64_t value = 0;
  if (!IsPlainDecimal(number, &value)) return kCrdIdNotNumeric;
  if (value < kLowestNumericId) return kCrdIdBelowOne;
  if (value > kHighestNumericId) return kCrdIdTooHigh;
  return kCrdOk;
}

// ---- Lookup and stepping ------------------------------------------------------

int CrdIOBrannock::GetPoint(std::string_view id, CrdPoint& point, int direction, bool quiet) {
  last_error_ = kCrdOk;
  return Numeric() ? GetNumeric(id, point, direction, quiet) : GetAlphanumeric(id, point, direction);
}

int CrdIOBrannock::GetNumeric(std::string_view id, CrdPoint& point, int direction, bool quiet) {
  auto step_from = [&](int64_t index) {
    current_index_ = index;
    return Step(nullptr, point, direction) ? 1 : Fail(kCrdNotFound);
  };
  const int64_t n = LenientInt64(id);
  if (n > numeric_highest_) {
    if (direction == -1) return step_from(numeric_highest_);
    if (!quiet) Trace("\nRequested point number greater than highest in file.");
    return Fail(kCrdNotFound);
  }
  if (n < 1) {
    if (direction == 1) return step_from(-1);
    if (!quiet) Trace("\nPoint numbers must be >= 1");
    return Fail(kCrdIdBelowOne);
  }
  uint8_t bytes[kAlphaRecordSize];
  CrdRecordView record;
  if (!ReadRecord(n - 1, bytes, record)) {
    if (!quiet) Trace("\nCan't read point from numeric crd file.\n");
    return Fail(kCrdInputOutput);
  }
  current_index_ = n - 1;
  if (IsEmptySlot(record)) return direction != 0 ? step_from(n - 1) : Fail(kCrdNotFound);
  ToPoint(record, n - 1, point);
  return 1;
}

std::optional<CrdIOBrannock::Position> CrdIOBrannock::Locate(std::string_view id) {
  const int64_t count = RecordCount();
  if (count == 0) return Position{0, false};
  std::string probe;
  // The last record first: storing points in order then costs one read.
  if (!ReadIdAt(count - 1, probe)) return std::nullopt;
  int order = CompareIds(id, probe);
  if (order > 0) return Position{count, false};
  if (order == 0) return Position{count - 1, true};
  if (!ReadIdAt(0, probe)) return std::nullopt;
  order = CompareIds(probe, id);
  if (order >= 0) return Position{0, order == 0};
  int64_t low = 0, high = count - 1;  // record[low] < id < record[high]
  while (high - low > 1) {
    const int64_t mid = low + (high - low) / 2;
    if (!ReadIdAt(mid, probe)) return std::nullopt;
    order = CompareIds(probe, id);
    if (order == 0) return Position{mid, true};
    (order < 0 ? low : high) = mid;
  }
  return Position{high, false};
}

int CrdIOBrannock::GetAlphanumeric(std::string_view id, CrdPoint& point, int direction) {
  const std::string key = NormaliseId(id.substr(0, CrdPoint::kIdLimit), false);
  const std::optional<Position> at = Locate(key);
  if (!at) return Fail(kCrdInputOutput);
  if (at->found) {
    uint8_t bytes[kAlphaRecordSize];
    CrdRecordView record;
    if (!ReadRecord(at->index, bytes, record)) return Fail(kCrdInputOutput);
    current_index_ = at->index;
    ToPoint(record, at->index, point);
    return 1;
  }
  // Not stored: the current index is left just below where it would go.
  current_index_ = at->index - 1;
  if (direction == 0) return Fail(kCrdNotFound);
  if (direction < 0) current_index_ = at->index;
  return Step(nullptr, point, direction) ? 1 : Fail(kCrdNotFound);
}

int CrdIOBrannock::GetPointByIndex(int64_t, CrdPoint&) {
  Trace("\nError: GetPointByIndex not implemented for CrdIOBrannock");
  return 0;
}

int CrdIOBrannock::Step(CrdCursor* cursor, CrdPoint& point, int direction) {
  int64_t index = (cursor ? cursor->index : current_index_) + direction;
  uint8_t bytes[kAlphaRecordSize];
  CrdRecordView record;
  for (;;) {
    if (index < 0 || !ReadRecord(index, bytes, record)) return 0;
    if (!Numeric() || !IsEmptySlot(record)) break;
    if (direction == 0) return 0;
    index += direction;
  }
  ToPoint(record, index, point);
  current_index_ = index;
  if (cursor) cursor->index = index;
  return 1;
}

int CrdIOBrannock::ForEachPoint(const std::function<void(const CrdPoint&)>& visit) {
  last_error_ = kCrdOk;
  const int64_t count = std::min(RecordCount(), kMaxSlots);
  std::vector<uint8_t> block;
  RecordReader records(stream_, RecordOffset(0), RecordSize(), count, block, kReadBlockBytes);
  CrdPoint point;
  for (int64_t index = 0; index < count; ++index) {
    const uint8_t* bytes = records.At(index);
    if (!bytes) return Fail(kCrdInputOutput);
    const CrdRecordView record = ViewRecord(bytes, !Numeric());
    if (Numeric() && IsEmptySlot(record)) continue;
    ToPoint(record, index, point);
    visit(point);
  }
  return 1;
}

// ---- Storing ------------------------------------------------------------------

int CrdIOBrannock::Prepare(const CrdPoint& point, bool quiet, Prepared& out) {
  out.record.northing = point.northing;
  out.record.easting = point.easting;
  out.record.elevation = point.elevation;
  out.record.description = point.Description();
  if (Numeric()) {
    if (out.record.northing == 0.0 && out.record.easting == 0.0 && out.record.elevation == 0.0)
      out.record.elevation = kZeroPointElevation;
    if (point.Description().size() > kMaxDescription) return kCrdDescriptionTooLong;
    const std::string id = NormaliseId(point.Id(), true);
    out.number = LenientInt64(id);
    if (!id.empty() && DecimalText(out.number) != id) {
      if (!quiet) Trace("\nError: pt# %s invalid for current CRD format of numeric only point numbers.", id.c_str());
      return kCrdIdNotNumeric;
    }
    if (out.number <= 0) {
      if (!quiet) Trace("\nError: Point number must be greater than 0.");
      return kCrdIdBelowOne;
    }
    if (out.number > kHighestNumericId) {
      if (!quiet) Trace("\nError: Point number must be less than %d.", static_cast<int>(kHighestNumericId + 1));
      return kCrdIdTooHigh;
    }
    return kCrdOk;
  }
  out.record.id = NormaliseId(point.Id(), false);
  if (out.record.id.empty()) {
    if (!quiet) Trace("\nInvalid point number: empty string.");
    return kCrdIdEmpty;
  }
  if (out.record.id.size() > kMaxAlphaId) return kCrdIdTooLong;
  if (point.Description().size() > kMaxDescription) return kCrdDescriptionTooLong;
  return kCrdOk;
}

int CrdIOBrannock::StorePoint(const CrdPoint& point, bool quiet, CrdPoint* old_point) {
  if (old_point) {
    CrdPoint old;
    *old_point = GetPoint(point.Id(), old, 0, true) ? old : CrdPoint();
  }
  last_error_ = kCrdOk;
  Prepared prepared;
  if (const int error = Prepare(point, quiet, prepared)) return Fail(error);
  return Numeric() ? StoreNumeric(prepared) : StoreAlphanumeric(prepared);
}

bool CrdIOBrannock::WriteEmptySlots(int64_t first, int64_t last) {
  if (first > last) return true;
  uint8_t empty[kNumericRecordSize];
  EncodeRecord(CrdRecord{0.0, 0.0, 0.0, " ", {}}, false, empty);
  const int64_t per_block = static_cast<int64_t>(kBlockBytes / kNumericRecordSize);
  block_.resize(static_cast<size_t>(std::min(per_block, last - first + 1)) * kNumericRecordSize);
  for (size_t at = 0; at < block_.size(); at += kNumericRecordSize) std::memcpy(&block_[at], empty, sizeof empty);
  for (int64_t slot = first; slot <= last;) {
    const int64_t n = std::min(per_block, last - slot + 1);
    if (!stream_.WriteAt(RecordOffset(slot - 1), block_.data(), static_cast<size_t>(n) * kNumericRecordSize))
      return false;
    slot += n;
  }
  return true;
}

int CrdIOBrannock::StoreNumeric(const Prepared& prepared) {
  uint8_t header[kNumericHeaderSize];
  if (!stream_.ReadAt(0, header, sizeof header)) return Fail(kCrdInputOutput);
  const int64_t slots = RecordCount();
  const int64_t claimed = ClaimedHighest(header, kMaxSlots);
  const int64_t highest = std::min(claimed, slots);
  const int64_t n = prepared.number;
  uint8_t record[kNumericRecordSize];
  EncodeRecord(prepared.record, false, record);
  // The slots and the record go first and the header last, so that an
  // interruption never leaves a header claiming slots the file lacks.
  if (n > highest && !WriteEmptySlots(highest + 1, n - 1)) return Fail(kCrdInputOutput);
  if (!stream_.WriteAt(RecordOffset(n - 1), record, sizeof record)) return Fail(kCrdInputOutput);
  if (n > highest || claimed > slots) {
    numeric_highest_ = std::max(n, highest);
    WriteDouble(header, static_cast<double>(numeric_highest_));
    if (!stream_.WriteAt(0, header, sizeof header)) return Fail(kCrdInputOutput);
    highest_ = DecimalText(numeric_highest_);
  }
  return 1;
}

bool CrdIOBrannock::ShiftUp(int64_t from, int64_t count) {
  if (from >= count) return true;
  // The old last record goes first, on its own: it is the one write that
  // grows the file, and if it fails nothing inside the file has changed.
  uint8_t last[kAlphaRecordSize];
  if (!stream_.ReadAt(RecordOffset(count - 1), last, sizeof last) ||
      !stream_.WriteAt(RecordOffset(count), last, sizeof last))
    return false;
  // Then the rest, from the end downward and inside the file: at every
  // moment each record is somewhere in the file, at worst twice.
  const int64_t per_block = static_cast<int64_t>(kBlockBytes / kAlphaRecordSize);
  block_.resize(static_cast<size_t>(std::min(per_block, count - 1 - from)) * kAlphaRecordSize);
  for (int64_t end = count - 1; end > from;) {
    const int64_t start = std::max(from, end - per_block);
    const size_t bytes = static_cast<size_t>(end - start) * kAlphaRecordSize;
    if (!stream_.ReadAt(RecordOffset(start), block_.data(), bytes)) return false;
    if (!stream_.WriteAt(RecordOffset(start + 1), block_.data(), bytes)) return false;
    end = start;
  }
  return true;
}

int CrdIOBrannock::StoreAlphanumeric(const Prepared& prepared) {
  const std::string& id = prepared.record.id;
  const std::optional<Position> at = Locate(id);
  if (!at) return Fail(kCrdInputOutput);
  uint8_t record[kAlphaRecordSize];
  EncodeRecord(prepared.record, true, record);
  if (at->found) return stream_.WriteAt(RecordOffset(at->index), record, sizeof record) ? 1 : Fail(kCrdInputOutput);
  if (!ShiftUp(at->index, RecordCount())) return Fail(kCrdInputOutput);
  if (!stream_.WriteAt(RecordOffset(at->index), record, sizeof record)) return Fail(kCrdInputOutput);
  if (highest_.empty() || CompareIds(id, highest_) > 0) highest_ = id;
  if (lowest_.empty() || CompareIds(id, lowest_) < 0) lowest_ = id;
  return 1;
}

// ---- Header -------------------------------------------------------------------

int CrdIOBrannock::SetHeaderText(std::string_view text) {
  header_text_ = text.substr(0, kMaxDescription);
  return WriteHeader();
}

int CrdIOBrannock::SetHeaderNumber(std::string_view text) {
  header_number_ = text;
  return WriteHeader();
}

int CrdIOBrannock::SetHeaderDate(std::string_view text) {
  header_date_ = Numeric() ? std::string(text) : std::string(text.substr(0, kMaxDescription));
  return WriteHeader();
}

int CrdIOBrannock::WriteHeader() {
  uint8_t header[kAlphaHeaderSize];
  if (!stream_.ReadAt(0, header, HeaderSize())) return Fail(kCrdInputOutput);
  if (Numeric()) {
    WriteDouble(header + kNumericNumberOffset, StorableHeaderNumber(LenientDouble(header_number_)));
    WriteDouble(header + kNumericDateOffset, StorableHeaderNumber(ParseNumericHeaderDate(header_date_)));
    WriteText(header + kNumericTextOffset, kTextFieldSize, header_text_);
  } else {
    WriteDouble(header, StorableHeaderNumber(LenientDouble(header_number_)));
    WriteText(header + kAlphaDateOffset, kTextFieldSize, header_date_);
    WriteText(header + kAlphaTextOffset, kTextFieldSize, header_text_);
  }
  return stream_.WriteAt(0, header, HeaderSize()) ? 1 : Fail(kCrdInputOutput);
}

}  // namespace pelikon
