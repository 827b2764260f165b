#include "coord/crd/crd_range_copy.h"

#include <algorithm>
#include <vector>

#include "coord/crd/crd_file.h"
#include "pointid/point_range.h"

namespace pelikon {

RangeCopyResult CopyPointRange(const std::filesystem::path& source, const std::filesystem::path& target,
                               std::string_view range, const CrdEnvironment& environment) {
  // Opening a missing or empty file would create one: the source must be there.
  const std::optional<uint64_t> size = environment.storage->RegularFileSize(source);
  CrdFile in(environment);
  if (!size || *size == 0 || in.Open(source, 0, kNoFormat) != 1) return {RangeCopyStatus::kSourceFailed, 0};

  std::vector<CrdPoint> points;
  // Room for every record: only what is filled costs memory.
  points.reserve(static_cast<size_t>(std::max<int64_t>(in.PointCount(), 0)));
  in.SetRange(range, false);
  for (CrdPoint point; in.Next(point);) points.push_back(std::move(point));

  if (environment.storage->Exists(target) && !environment.storage->Remove(target))
    return {RangeCopyStatus::kTargetFailed, 0};
  CrdFile out(environment);
  if (out.Open(target, 1, in.Format()) != 1) return {RangeCopyStatus::kTargetFailed, 0};
  in.Close();
  if (out.StorePoints(points, true) != static_cast<int64_t>(points.size())) {
    out.DeleteFile(false);
    return {RangeCopyStatus::kStoreFailed, 0};
  }
  return {RangeCopyStatus::kCopied, out.PointCount(AllKeyword())};
}

}  // namespace pelikon
