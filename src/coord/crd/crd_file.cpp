#include "coord/crd/crd_file.h"

#include "coord/crd/crd_io_brannock.h"
#include "coord/crd/crd_layout.h"
#include "coord/crd/crd_stream.h"
#include "platform/text.h"
#include "platform/trace.h"
#include "pointid/point_id.h"
#include "pointid/point_range.h"

namespace pelikon {

namespace {

struct LockWait {
  uint32_t ms;
  const char* text;
};

constexpr LockWait kLockWaits[] = {
    {1500, "\nWaiting 1.5 seconds to obtain file lock..."},
    {5000, "\nWaiting 5 seconds to obtain file lock..."},
    {15000, "\nWaiting 15 seconds to obtain file lock..."},
};

// The variant an existing file has: kNoFormat when it is missing, empty or
// unreadable (it will be created).
int ExistingFormat(CrdStorage& storage, const std::filesystem::path& path) {
  const std::optional<uint64_t> size = storage.RegularFileSize(path);
  if (!size || *size == 0) return kNoFormat;
  uint8_t header[kAlphaHeaderSize] = {};
  const size_t got = storage.ReadStart(path, header, sizeof header);
  if (got == 0) return kNoFormat;
  return LooksAlphanumeric(header, got) ? kCrdAlphanumeric : kCrdNumeric;
}

}  // namespace

CrdFile::CrdFile(CrdEnvironment environment)
    : CrdList(*this), environment_(std::move(environment)), history_enabled_(ProcessCrdDefaults().history_enabled) {}

CrdFile::~CrdFile() {
  Close();
}

int CrdFile::Open(const std::filesystem::path& path, int create, int format) {
  ResetRange();
  Close();
  closed_error_ = kCrdOk;
  CrdStorage& storage = *environment_.storage;
  if (storage.Exists(path)) {
    bool free = storage.CanOpenForUpdate(path);
    for (const LockWait& wait : kLockWaits) {
      if (free) break;
      environment_.clock->SleepMs(wait.ms);
      Trace("%s", wait.text);
      free = storage.CanOpenForUpdate(path);
    }
    if (!free) {
      Trace("\nError 1: Could not open file: %s\nIt might be read-only or in use by another application.\n",
            path.c_str());
      closed_error_ = kCrdCannotOpen;
      return 0;
    }
  }

  int chosen = ExistingFormat(storage, path);
  const bool creating = chosen == kNoFormat || create == 1;
  if (chosen != kNoFormat && !EqualsNoCase(path.extension().string(), ".crd")) {
    closed_error_ = kCrdUnknownFormat;
    return 0;
  }
  if (creating) chosen = format == kNoFormat ? FormatOfExtension(path) : format;
  if (chosen != kCrdNumeric && chosen != kCrdAlphanumeric) {
    closed_error_ = kCrdUnknownFormat;
    return 0;
  }

  auto handler = std::make_unique<CrdIOBrannock>(*this);
  if (creating) {
    if (handler->Create(path, chosen)) RemoveCompanions(path);
  } else {
    handler->Open(path);
  }
  ProcessCrdDefaults().new_format = kCrdAlphanumeric;
  if (handler->LastError() != kCrdOk) {
    Trace("\nError %d: Could not open file: %s\nIt might be read-only or in use by another application or be invalid.",
          handler->LastError(), path.c_str());
    closed_error_ = handler->LastError();
    return 0;
  }
  handler_ = std::move(handler);
  return 1;
}

void CrdFile::Close() {
  if (handler_) closed_error_ = handler_->LastError();
  handler_.reset();
  if (history_) history_->Close();
}

int CrdFile::Format() const {
  return handler_ ? handler_->Format() : kNoFormat;
}
std::filesystem::path CrdFile::Path() const {
  return handler_ ? handler_->Path() : std::filesystem::path();
}
std::string CrdFile::Highest() const {
  return handler_ ? handler_->Highest() : std::string();
}
std::string CrdFile::Lowest() const {
  return handler_ ? handler_->Lowest() : std::string();
}
int CrdFile::LastError() const {
  return handler_ ? handler_->LastError() : closed_error_;
}
std::string CrdFile::HeaderText() const {
  return handler_ ? handler_->HeaderText() : std::string();
}
std::string CrdFile::HeaderNumber() const {
  return handler_ ? handler_->HeaderNumber() : std::string();
}
std::string CrdFile::HeaderDate() const {
  return handler_ ? handler_->HeaderDate() : std::string();
}

int64_t CrdFile::PointCount(std::string_view range) {
  if (!handler_) return 0;
  if (range.empty() || (IsAllKeyword(range) && Format() == kCrdAlphanumeric)) return handler_->PointCount();
  CrdList counter(*this);
  counter.SetRange(range, false);
  int64_t count = 0;
  for (CrdPoint point; counter.Next(point);) ++count;
  return count;
}

int CrdFile::GetPoint(std::string_view id, CrdPoint& point, bool quiet) {
  if (!handler_) {
    if (!quiet) Trace("\nError3: crd file not open");
    return 0;
  }
  if (handler_->GetPoint(id, point, 0, quiet)) return 1;
  if (handler_->LastError() == kCrdNotFound && !quiet)
    Trace("\nRequested point# %s has no coordinate stored.", std::string(id).c_str());
  return 0;
}

int CrdFile::GetPointNear(std::string_view id, CrdPoint& point, bool quiet, int direction) {
  if (!handler_) return 0;
  // Compared in the form it would be stored in: "1-a" is the stored "1_A".
  const std::string key =
      Format() == kCrdAlphanumeric ? NormaliseId(id.substr(0, CrdPoint::kIdLimit), false) : std::string(id);
  if (direction < 0 && handler_->CompareIds(key, handler_->Lowest()) < 0) return 0;
  if (direction > 0 && handler_->CompareIds(key, handler_->Highest()) > 0) return 0;
  return handler_->GetPoint(id, point, direction, quiet);
}

bool CrdFile::Recording(int command) const {
  return history_enabled_ && history_ != nullptr && command != kNoHistoryCommand;
}

int CrdFile::StorePoint(const CrdPoint& point, bool quiet, int command, std::string_view detail) {
  if (!handler_) return 0;
  CrdPoint trimmed = point;
  trimmed.SetId(Trim(point.Id(), " "));
  const bool recording = Recording(command);
  CrdPoint old;
  if (!handler_->StorePoint(trimmed, quiet, recording ? &old : nullptr)) return 0;
  if (recording) RecordHistory(&trimmed, old.Id().empty() ? nullptr : &old, command, detail);
  return 1;
}

int64_t CrdFile::StorePoints(std::span<const CrdPoint> points, bool quiet, int command, std::string_view detail,
                             std::vector<int>* errors) {
  size_t next = 0;
  return StorePoints([&]() { return next < points.size() ? &points[next++] : nullptr; }, points.size(), quiet, command,
                     detail, errors);
}

int64_t CrdFile::StorePoints(const CrdIO::PointSource& next, size_t expected, bool quiet, int command,
                             std::string_view detail, std::vector<int>* errors) {
  if (!handler_) return 0;
  if (!Recording(command)) return handler_->StorePoints(next, quiet, errors, expected);
  // Every change must reach the history with the point it replaced.
  if (errors) errors->clear();
  int64_t stored = 0;
  while (const CrdPoint* point = next()) {
    stored += StorePoint(*point, quiet, command, detail);
    if (errors) errors->push_back(handler_->LastError());
  }
  return stored;
}

int CrdFile::ForEachPoint(const std::function<void(const CrdPoint&)>& visit) {
  return handler_ ? handler_->ForEachPoint(visit) : 0;
}

int64_t CrdFile::DeletePoints(std::string_view range) {
  if (!handler_) return 0;
  CrdList every_point(*this);
  every_point.SetRange(AllKeyword(), true);
  return handler_->DeletePoints(range, every_point);
}

int CrdFile::ClearAll() {
  return handler_ ? handler_->ClearAll() : 0;
}

void CrdFile::RemoveCompanions(const std::filesystem::path& path) const {
  environment_.storage->Remove(CompanionPath(path, "his"));
  environment_.storage->Remove(CompanionPath(path, "grp"));
}

int CrdFile::DeleteFile(bool remove_companions) {
  if (!handler_) return 0;
  const std::filesystem::path path = handler_->Path();
  const int deleted = handler_->DeleteFile();
  Close();
  if (deleted && remove_companions) RemoveCompanions(path);
  return deleted;
}

int CrdFile::RenameTo(const std::filesystem::path& new_path) {
  return handler_ ? handler_->RenameTo(new_path) : 0;
}

int CrdFile::CopyFrom(const CrdFile& other) {
  if (!handler_ || !other.handler_) return 0;
  return SetHeaderText(other.HeaderText()) && SetHeaderNumber(other.HeaderNumber()) &&
         SetHeaderDate(other.HeaderDate());
}

int CrdFile::SetHeaderText(std::string_view text) {
  return handler_ ? handler_->SetHeaderText(text) : 0;
}
int CrdFile::SetHeaderNumber(std::string_view text) {
  return handler_ ? handler_->SetHeaderNumber(text) : 0;
}
int CrdFile::SetHeaderDate(std::string_view text) {
  return handler_ ? handler_->SetHeaderDate(text) : 0;
}

int CrdFile::NextPointId(std::string& text, int64_t step) const {
  return pelikon::NextPointId(text, step, Format() == kCrdNumeric);
}

void CrdFile::SuspendHistory() {
  saved_history_flags_.insert(saved_history_flags_.begin(), history_enabled_ ? '1' : '0');
  history_enabled_ = false;
}

void CrdFile::ResumeHistory() {
  if (saved_history_flags_.empty()) return;
  history_enabled_ = saved_history_flags_.front() == '1';
  saved_history_flags_.erase(0, 1);
}

void CrdFile::SetHistoryRecorder(std::unique_ptr<CrdHistoryRecorder> recorder) {
  history_ = std::move(recorder);
}

void CrdFile::RecordHistory(const CrdPoint* after, const CrdPoint* before, int command, std::string_view text) {
  if (Recording(command)) history_->Record(*this, after, before, command, text);
}

}  // namespace pelikon
