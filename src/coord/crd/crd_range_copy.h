// Copying the points a range selects out of one CRD file into a new file
// of the same variant: the cut-out that Send Pnts uploads and that
// `crdtool cut` writes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "coord/crd/crd_environment.h"

namespace pelikon {

enum class RangeCopyStatus {
  kCopied,
  kSourceFailed,  // the source is missing, empty or no CRD file
  kTargetFailed,  // the target could not be created, or is the source
  kStoreFailed,   // a point could not be stored (the target is removed)
};

struct RangeCopyResult {
  RangeCopyStatus status = RangeCopyStatus::kCopied;
  int64_t points = 0;  // the points the target holds
};

// Reads `source` (which is only read) and creates `target` anew in the
// same variant (an existing file there is replaced), holding every point
// `range` selects (a range text; empty or "ALL": every point). Identifiers,
// coordinates and descriptions are kept; an alphanumeric target holds the
// points sorted by identifier whatever order the range named them in, a
// numeric one keeps their numbers with empty records below. A range that
// selects nothing gives a file with its header only.
RangeCopyResult CopyPointRange(const std::filesystem::path& source, const std::filesystem::path& target,
                               std::string_view range, const CrdEnvironment& environment = {});

}  // namespace pelikon
