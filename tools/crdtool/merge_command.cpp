#include "merge_command.h"

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

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
    session.emplace(pelikon::ReadAllPoints(source), pelikon::ReadAllPoints(target),
                    target.Format() == pelikon::kCrdNumeric, true);
  }
  // Each point is reported with the status it was found in, in identifier
  // order, whatever renumbering makes of it.
  std::vector<std::pair<std::string, pelikon::MergeStatus>> found;
  for (const pelikon::MergePoint& point : session->Source()) found.emplace_back(point.orig_id, point.status);
  if (!Decide(*session, arguments))
    return usage.Fail(Tr("no free identifier left to renumber the conflicts; nothing merged"));

  const pelikon::MergeApplyResult result = pelikon::ApplyMerge(*session, arguments.source, arguments.target);
  if (!result.ok) return usage.Fail(result.error);
  // Renumbering may have reordered the points: find each by its original
  // identifier through an index rather than a search per line.
  std::unordered_map<std::string_view, std::vector<const pelikon::MergePoint*>> by_orig_id;
  for (const pelikon::MergePoint& point : session->Source()) by_orig_id[point.orig_id].push_back(&point);
  for (const auto& [orig_id, status] : found) {
    const auto points = by_orig_id.find(orig_id);
    if (points == by_orig_id.end()) continue;
    for (const pelikon::MergePoint* point : points->second) {
      const char* action = pelikon::MergeActionName(point->action);
      std::printf("%s\t%s\t%s\t%s\n", orig_id.c_str(), pelikon::MergeStatusName(status), *action ? action : "none",
                  point->id.c_str());
    }
  }
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

}  // namespace pelikon_tools
