#include "coord/merge/merge_apply.h"

#include <algorithm>
#include <fstream>
#include <system_error>
#include <utility>
#include <vector>

#include "coord/crd/crd_format.h"
#include "coord/merge/point_notes.h"
#include "platform/atomic_file.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace fs = std::filesystem;

namespace {

bool Applies(MergeAction action) {
  return action == MergeAction::kStore || action == MergeAction::kOverwrite || action == MergeAction::kRename;
}

MergeApplyResult Failed(std::string error) {
  MergeApplyResult result;
  result.error = std::move(error);
  return result;
}

// Writes `content` to `path` and checks that every byte arrived.
bool WriteTwin(const fs::path& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  out.close();
  return !out.fail();
}

// Moves the notes of `from` (source identifier) to `to` in the target notes.
bool MoveNotes(PointNotes& source, PointNotes& target, const std::string& from, const std::string& to) {
  const PointNote* found = source.Find(from);
  if (!found) return false;
  const std::string gis_file = found->gis_file;
  std::vector<std::string> lines;
  if (!source.TakeLines(from, lines)) return false;
  PointNote& entry = target.Entry(to);
  entry.lines = std::move(lines);
  if (entry.gis_file.empty()) entry.gis_file = gis_file;
  return true;
}

}  // namespace

std::vector<CrdPoint> ReadAllPoints(CrdFile& file) {
  std::vector<CrdPoint> points;
  points.reserve(static_cast<size_t>(file.PointCount()));
  file.ForEachPoint([&](const CrdPoint& point) { points.push_back(point); });
  return points;
}

bool ReadMergePoints(CrdFile& file, MergePointList& points) {
  points.clear();
  points.reserve(static_cast<size_t>(file.PointCount()));
  return file.ForEachPoint([&](const CrdPoint& point) { SetMergePoint(points.emplace_back(), point); }) == 1;
}

bool OpenExistingCrd(CrdFile& file, const fs::path& path, std::string& error) {
  std::error_code code;
  const uintmax_t size = fs::file_size(path, code);
  if (code || size == 0) {
    error = StrPrintf("%s: %s", path.string().c_str(), code ? code.message().c_str() : Tr("the file is empty"));
    return false;
  }
  if (!file.Open(path)) {
    error = StrPrintf(Tr("cannot open %s: %s"), path.string().c_str(), Tr(CrdErrorText(file.LastError())));
    return false;
  }
  return true;
}

fs::path MergeTwinPath(const fs::path& target) {
  fs::path twin = target;
  return twin.replace_filename(target.filename().string() + ".merging.crd");
}

MergeApplyResult ApplyMerge(const MergeSession& session, const fs::path& source_path, const fs::path& target_path,
                            const std::function<void(CrdFile&)>& prepare) {
  const auto& points = session.Source();
  const auto applying =
      std::count_if(points.begin(), points.end(), [](const MergePoint& point) { return Applies(point.action); });
  if (applying == 0) {
    MergeApplyResult nothing;
    nothing.ok = true;  // nothing to store: the target is not rewritten
    return nothing;
  }
  std::string error;
  // The source must still be there, and stays locked while its notes move.
  CrdFile source;
  if (!OpenExistingCrd(source, source_path, error)) return Failed(error);
  int format = kNoFormat;
  {
    CrdFile target;
    if (!OpenExistingCrd(target, target_path, error)) return Failed(error);
    format = target.Format();
  }

  const fs::path notes_path = PointNotes::PathFor(target_path);
  PointNotes source_notes = PointNotes::Read(PointNotes::PathFor(source_path));
  PointNotes target_notes = PointNotes::Read(notes_path);
  std::error_code code;
  const bool target_had_notes = fs::exists(notes_path, code);

  const fs::path twin_path = MergeTwinPath(target_path);
  const fs::path notes_twin = TwinPath(notes_path);
  // A history recorder attached by `prepare` writes beside the twin: the
  // target's history goes through a twin of its own.
  const fs::path history_path = CompanionPath(target_path, "his");
  const fs::path history_twin = CompanionPath(twin_path, "his");
  auto give_up = [&](std::string why) {
    std::error_code ignored;
    for (const fs::path& twin : {twin_path, notes_twin, history_twin}) fs::remove(twin, ignored);
    return Failed(std::move(why));
  };
  auto copy_to_twin = [&](const fs::path& from, const fs::path& twin) {
    return fs::copy_file(from, twin, fs::copy_options::overwrite_existing, code);
  };
  fs::remove(history_twin, code);  // a stale one must not replace the history
  if (!copy_to_twin(target_path, twin_path) ||
      (prepare && fs::exists(history_path) && !copy_to_twin(history_path, history_twin)))
    return give_up(StrPrintf(Tr("cannot write %s: %s"), twin_path.string().c_str(), code.message().c_str()));

  MergeApplyResult result;
  {
    CrdFile twin;
    if (!twin.Open(twin_path, 0, format))
      return give_up(
          StrPrintf(Tr("cannot open %s: %s"), twin_path.string().c_str(), Tr(CrdErrorText(twin.LastError()))));
    if (prepare) prepare(twin);
    // The points go into the twin in one batch, with the values the
    // session read from the source.
    std::vector<const MergePoint*> batched;
    batched.reserve(static_cast<size_t>(applying));
    for (const MergePoint& merged : points)
      if (Applies(merged.action)) batched.push_back(&merged);
    size_t next = 0;
    CrdPoint point;
    const auto next_point = [&]() -> const CrdPoint* {
      if (next == batched.size()) return nullptr;
      const MergePoint& merged = *batched[next++];
      point.Set(merged.id, merged.north, merged.east, merged.elev, merged.desc, merged.code);
      return &point;
    };
    std::vector<int> errors;
    const int64_t stored =
        batched.empty() ? 0 : twin.StorePoints(next_point, batched.size(), true, kMergeHistoryCommand, {}, &errors);
    for (size_t i = 0; i < errors.size(); ++i) {
      if (errors[i] == kCrdOk) continue;
      twin.Close();
      return give_up(StrPrintf(Tr("point %s cannot be stored: %s; the target is unchanged"), batched[i]->id.c_str(),
                               Tr(CrdErrorText(errors[i]))));
    }
    // Every point accepted, yet the batch may still fail to be written.
    if (stored != static_cast<int64_t>(batched.size())) {
      const int why = twin.LastError();
      twin.Close();
      return give_up(StrPrintf(Tr("the %zu points cannot be stored: %s; the target is unchanged"), batched.size(),
                               Tr(CrdErrorText(why))));
    }
    for (size_t i = 0; i < batched.size(); ++i) {
      ++result.stored;
      if (MoveNotes(source_notes, target_notes, batched[i]->orig_id, batched[i]->id)) ++result.notes_moved;
    }
    twin.Close();
  }

  const bool write_notes = target_had_notes || result.notes_moved > 0;
  const std::string notes_text = target_notes.Format();
  if (write_notes && !notes_text.empty() && !WriteTwin(notes_twin, notes_text))
    return give_up(StrPrintf(Tr("cannot write %s; the target is unchanged"), notes_twin.string().c_str()));
  source.Close();

  std::vector<std::pair<fs::path, fs::path>> replacements = {{twin_path, target_path}};
  if (fs::exists(history_twin, code)) replacements.emplace_back(history_twin, history_path);
  if (write_notes && !notes_text.empty()) replacements.emplace_back(notes_twin, notes_path);
  for (const auto& [twin, path] : replacements) {
    if (const std::error_code moved = ReplaceWithTwin(twin, path))
      return give_up(StrPrintf(Tr("cannot replace %s: %s"), path.string().c_str(), moved.message().c_str()));
  }
  if (write_notes && notes_text.empty()) fs::remove(notes_path, code);
  result.ok = true;
  return result;
}

}  // namespace pelikon
