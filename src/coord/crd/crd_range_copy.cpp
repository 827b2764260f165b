#include "coord/crd/crd_range_copy.h"

#include <algorithm>

#include "coord/crd/crd_file.h"
#include "pointid/point_range.h"

namespace pelikon {

RangeCopyResult CopyPointRange(const std::filesystem::path& source, const std::filesystem::path& target,
                               std::string_view range, const CrdEnvironment& environment) {
  // Opening a missing or empty file would create one: the source must be there.
  const std::optional<uint64_t> size = environment.storage->RegularFileSize(source);
  CrdFile in(environment);
  if (!size || *size == 0 || in.Open(source, 0, kNoFormat) != 1) return {RangeCopyStatus::kSourceFailed, 0};

  // Replacing the source itself would lose it.
  std::error_code error;
  if (std::filesystem::weakly_canonical(source, error) == std::filesystem::weakly_canonical(target, error))
    return {RangeCopyStatus::kTargetFailed, 0};
  if (environment.storage->Exists(target) && !environment.storage->Remove(target))
    return {RangeCopyStatus::kTargetFailed, 0};
  CrdFile out(environment);
  if (out.Open(target, 1, in.Format()) != 1) return {RangeCopyStatus::kTargetFailed, 0};
  // The points go from the range walk straight into the batch.
  in.SetRange(range, false);
  CrdPoint point;
  int64_t selected = 0;
  const auto next = [&]() -> const CrdPoint* {
    if (!in.Next(point)) return nullptr;
    ++selected;
    return &point;
  };
  const int64_t stored = out.StorePoints(next, static_cast<size_t>(std::max<int64_t>(in.PointCount(), 0)), true);
  if (stored != selected) {
    out.DeleteFile(false);
    return {RangeCopyStatus::kStoreFailed, 0};
  }
  return {RangeCopyStatus::kCopied, out.PointCount(AllKeyword())};
}

}  // namespace pelikon
