#include "merge_command.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "coord/crd/crd_format.h"
#include "coord/merge/merge_apply.h"
#include "coord/merge/merge_session.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon_tools {

namespace {

using pelikon::MergeSession;
using pelikon::StrPrintf;
using pelikon::Tr;

enum class ConflictChoice { kUndecided, kOverwrite, kSkip, kRenumberNext, kRenumberEnd, kRenumberAt };

struct MergeArguments {
  std::string source;
  std::string target;
  ConflictChoice choice = ConflictChoice::kUndecided;
  std::string start;  // --renumber-at
  std::string range;
};

// False with the reason in `error` for a wrong command line.
bool ReadArguments(int argc, char** argv, MergeArguments& arguments, std::string& error) {
  ArgumentReader reader(argc, argv, 2);
  std::vector<std::string> files;
  bool chosen = false;
  auto choose = [&](const std::string& option, ConflictChoice choice) {
    if (chosen) {
      error = StrPrintf(Tr("%s: only one way to decide conflicts may be given"), option.c_str());
      return false;
    }
    chosen = true;
    arguments.choice = choice;
    return true;
  };
  while (!reader.Done()) {
    const std::string word = reader.Next();
    bool fine = true;
    if (word == "--overwrite") {
      fine = choose(word, ConflictChoice::kOverwrite);
    } else if (word == "--skip-conflicts") {
      fine = choose(word, ConflictChoice::kSkip);
    } else if (word == "--renumber-next") {
      fine = choose(word, ConflictChoice::kRenumberNext);
    } else if (word == "--renumber-end") {
      fine = choose(word, ConflictChoice::kRenumberEnd);
    } else if (word == "--renumber-at") {
      fine = choose(word, ConflictChoice::kRenumberAt) && reader.Value(word, arguments.start);
      if (fine && pelikon::Trim(arguments.start).empty()) {
        error = StrPrintf(Tr("%s needs an identifier"), word.c_str());
        return false;
      }
    } else if (word == "--range") {
      fine = reader.Value(word, arguments.range);
    } else if (word.size() > 1 && word[0] == '-') {
      error = StrPrintf(Tr("merge: unknown option \"%s\""), word.c_str());
      return false;
    } else {
      files.push_back(word);
    }
    if (!fine) {
      if (error.empty()) error = reader.Error();
      return false;
    }
  }
  if (files.size() != 2) {
    error = Tr("merge: a source and a target file are needed");
    return false;
  }
  arguments.source = files[0];
  arguments.target = files[1];
  return true;
}

// Runs the chosen bulk action; false when renumbering found no free identifier.
bool Decide(MergeSession& session, const MergeArguments& arguments) {
  session.SetRange(arguments.range);
  switch (arguments.choice) {
    case ConflictChoice::kUndecided:
      return true;
    case ConflictChoice::kOverwrite:
      session.Overwrite();
      return true;
    case ConflictChoice::kSkip:
      session.SkipConflicts();
      return true;
    case ConflictChoice::kRenumberNext:
      return session.Renumber(pelikon::RenumberFrom::kNextAvailable) >= 0;
    case ConflictChoice::kRenumberEnd:
      return session.Renumber(pelikon::RenumberFrom::kEndOfFile) >= 0;
    case ConflictChoice::kRenumberAt:
      return session.Renumber(pelikon::RenumberFrom::kStartingAt, arguments.start) >= 0;
  }
  return false;
}

// The source points' identifiers as read and their statuses, in the order
// the first classification gave them, kept in one block of text.
class FoundPoints {
 public:
  explicit FoundPoints(const pelikon::MergePointList& points) {
    ends_.reserve(points.size());
    statuses_.reserve(points.size());
    size_t length = 0;
    for (const pelikon::MergePoint& point : points) length += point.orig_id.size();
    ids_.reserve(length);
    for (const pelikon::MergePoint& point : points) {
      ids_ += point.orig_id;
      ends_.push_back(ids_.size());
      statuses_.push_back(point.status);
    }
  }
  size_t Size() const { return ends_.size(); }
  // True when `points` has the same identifiers as read in the same order.
  bool SameOrder(const pelikon::MergePointList& points) const {
    if (points.size() != Size()) return false;
    for (size_t i = 0; i < points.size(); ++i)
      if (points[i].orig_id != Id(i)) return false;
    return true;
  }
  // True when no identifier was read twice; a false answer may be wrong
  // (two identifiers with one hash), never a true one.
  bool SurelyAllDifferent() const {
    std::vector<size_t> hashes(Size());
    for (size_t i = 0; i < Size(); ++i) hashes[i] = std::hash<std::string_view>()(Id(i));
    std::sort(hashes.begin(), hashes.end());
    return std::adjacent_find(hashes.begin(), hashes.end()) == hashes.end();
  }
  std::string_view Id(size_t i) const {
    const size_t begin = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(ids_).substr(begin, ends_[i] - begin);
  }
  pelikon::MergeStatus Status(size_t i) const { return statuses_[i]; }

 private:
  std::string ids_;
  std::vector<size_t> ends_;
  std::vector<pelikon::MergeStatus> statuses_;
};

// One line per point found: every point that now has its identifier as
// read (renumbering may have reordered them), with the status it was found
// in. False when the output could not be written.
bool PrintOutcome(const FoundPoints& found, const pelikon::MergePointList& points) {
  // The lines go out in blocks of many.
  constexpr size_t kBlockBytes = 1 << 16;
  std::string block;
  block.reserve(kBlockBytes + 256);
  bool written = true;
  auto flush = [&] {
    written = written && std::fwrite(block.data(), 1, block.size(), stdout) == block.size();
    block.clear();
  };
  auto print = [&](size_t i, const pelikon::MergePoint& point) {
    const char* action = pelikon::MergeActionName(point.action);
    block.append(found.Id(i)).append(1, '\t').append(pelikon::MergeStatusName(found.Status(i))).append(1, '\t');
    block.append(*action ? action : "none").append(1, '\t').append(point.id).append(1, '\n');
    if (block.size() >= kBlockBytes) flush();
  };
  auto finish = [&] {
    flush();
    return std::fflush(stdout) == 0 && written;
  };
  // Nothing reordered and nothing read twice: each point is its own line.
  if (found.SameOrder(points) && found.SurelyAllDifferent()) {
    for (size_t i = 0; i < points.size(); ++i) print(i, points[i]);
    return finish();
  }
  // The points by identifier as read, each identifier's in their order.
  std::vector<std::pair<std::string_view, size_t>> by_orig_id;
  by_orig_id.reserve(points.size());
  for (size_t i = 0; i < points.size(); ++i) by_orig_id.emplace_back(points[i].orig_id, i);
  std::sort(by_orig_id.begin(), by_orig_id.end());
  for (size_t i = 0; i < found.Size(); ++i) {
    auto at = std::lower_bound(by_orig_id.begin(), by_orig_id.end(), std::make_pair(found.Id(i), size_t{0}));
    for (; at != by_orig_id.end() && at->first == found.Id(i); ++at) print(i, points[at->second]);
  }
  return finish();
}

}  // namespace

int RunMerge(const ToolUsage& usage, int argc, char** argv) {
  MergeArguments arguments;
  std::string error;
  if (!ReadArguments(argc, argv, arguments, error)) return usage.Wrong(error);

  std::optional<MergeSession> session;
  {
    pelikon::CrdFile source;
    pelikon::CrdFile target;
    if (!pelikon::OpenExistingCrd(source, arguments.source, error) ||
        !pelikon::OpenExistingCrd(target, arguments.target, error))
      return usage.Fail(error);
    pelikon::MergePointList source_points, target_points;
    for (auto [file, points, path] : {std::tuple(&source, &source_points, &arguments.source),
                                      std::tuple(&target, &target_points, &arguments.target)}) {
      if (!pelikon::ReadMergePoints(*file, *points))
        return usage.Fail(
            StrPrintf(Tr("cannot read %s: %s"), path->c_str(), Tr(pelikon::CrdErrorText(file->LastError()))));
    }
    session.emplace(std::move(source_points), std::move(target_points), target.Format() == pelikon::kCrdNumeric, true);
  }
  // Each point is reported with the status it was found in, in identifier
  // order, whatever renumbering makes of it.
  const FoundPoints found(session->Source());
  if (!Decide(*session, arguments))
    return usage.Fail(Tr("no free identifier left to renumber the conflicts; nothing merged"));

  const pelikon::MergeApplyResult result = pelikon::ApplyMerge(*session, arguments.source, arguments.target);
  if (!result.ok) return usage.Fail(result.error);
  return PrintOutcome(found, session->Source()) ? kExitOk : kExitFailure;
}

}  // namespace pelikon_tools
