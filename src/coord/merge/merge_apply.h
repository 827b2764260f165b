// Reading the two files of a merge and writing its result into the target.
//
// ApplyMerge stores every source point whose action is store, overwrite or
// rename, with the values the session read, under its new identifier and
// description, and moves its notes
// with it (notes entries follow the point to its new identifier). The
// target CRD file and its notes file are rebuilt in twins beside them and
// put in place only when every store succeeded: any failure (disk full, a
// point the file refuses) leaves both exactly as they were.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "coord/crd/crd_file.h"
#include "coord/merge/merge_session.h"

namespace pelikon {

// The history command under which merged points are recorded.
inline constexpr int kMergeHistoryCommand = 1;

// Every point of an open file, in file order.
std::vector<CrdPoint> ReadAllPoints(CrdFile& file);
// The same as merge points (ToMergePoint), without the copies in between;
// false when the file could not be read to its end.
bool ReadMergePoints(CrdFile& file, MergePointList& points);

// Opens an existing, non-empty CRD file (a missing or empty one would be
// created by CrdFile::Open). False with the reason, translated, in `error`.
bool OpenExistingCrd(CrdFile& file, const std::filesystem::path& path, std::string& error);

struct MergeApplyResult {
  bool ok = false;
  int stored = 0;  // points written into the target
  int notes_moved = 0;
  std::string error;  // translated; empty on success
};

// The twin a merge builds the target CRD file in (same folder, ".crd").
std::filesystem::path MergeTwinPath(const std::filesystem::path& target);

// `prepare`, when given, is called with the opened twin before the first
// store, to attach a history recorder and turn history on: the target's
// history file is then copied beside the twin, recorded into, and put in
// place with the target.
MergeApplyResult ApplyMerge(const MergeSession& session, const std::filesystem::path& source_path,
                            const std::filesystem::path& target_path,
                            const std::function<void(CrdFile&)>& prepare = {});

}  // namespace pelikon
