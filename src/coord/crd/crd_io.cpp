#include "coord/crd/crd_io.h"

#include "coord/crd/crd_file.h"
#include "pointid/point_id.h"
#include "pointid/point_range.h"

namespace pelikon {

namespace {

// Leading zeros go, but a lone "0" stays.
std::string_view WithoutLeadingZeros(std::string_view id) {
  while (id.size() > 1 && id.front() == '0') id.remove_prefix(1);
  return id;
}

}  // namespace

int CrdIO::CompareIds(std::string_view a, std::string_view b) const {
  if (format_ == kCrdNumeric) return ComparePointIds(WithoutLeadingZeros(a), WithoutLeadingZeros(b));
  return ComparePointIds(a, b);
}

CrdStorage& CrdIO::Storage() const {
  return *owner_.Environment().storage;
}

bool CrdIO::StartWorkingCopy(CrdFile& copy) {
  if (!copy.Open(TempNameFor(path_, format_), 1, format_)) {
    last_error_ = copy.LastError() ? copy.LastError() : kCrdCannotCreate;
    return false;
  }
  if (!copy.SetHeaderText(header_text_) || !copy.SetHeaderNumber(header_number_) || !copy.SetHeaderDate(header_date_)) {
    last_error_ = kCrdInputOutput;
    copy.DeleteFile(false);
    return false;
  }
  return true;
}

int64_t CrdIO::DeletePointsInRange(std::string_view range, CrdList& list) {
  CrdFile copy(owner_.Environment());
  if (!StartWorkingCopy(copy)) return 0;
  std::vector<CrdPoint> kept;
  std::vector<CrdPoint> removed;
  CrdPoint point;
  while (list.Next(point)) (InRange(point.Id(), range) ? removed : kept).push_back(point);

  owner_.SuspendHistory();
  const int64_t stored = copy.StorePoints(kept, true);
  owner_.ResumeHistory();
  // A point the copy refuses (a damaged identifier) is lost like a removed
  // one and counted with them; only a failed write stops the deletion.
  const bool copied = copy.LastError() != kCrdInputOutput;
  const std::filesystem::path copy_path = copy.Path();
  if (!copied) {
    last_error_ = copy.LastError();
    copy.DeleteFile(false);
    return 0;
  }
  copy.Close();
  if (!ReplaceWith(copy_path)) return 0;
  for (const CrdPoint& gone : removed) owner_.RecordHistory(nullptr, &gone, 0, {});
  last_error_ = kCrdOk;
  return static_cast<int64_t>(removed.size() + kept.size()) - stored;
}

int CrdIO::ClearAll() {
  CrdFile copy(owner_.Environment());
  if (!StartWorkingCopy(copy)) return 0;
  const std::filesystem::path copy_path = copy.Path();
  copy.Close();
  if (!ReplaceWith(copy_path)) return 0;
  Storage().Remove(CompanionPath(path_, "his"));
  Storage().Remove(CompanionPath(path_, "grp"));
  last_error_ = kCrdOk;
  return 1;
}

}  // namespace pelikon
