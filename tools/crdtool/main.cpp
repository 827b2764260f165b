// crdtool: looks into and changes CRD coordinate files without the office
// software.
//
//   crdtool dump FILE [RANGE]          header values as "# " lines, then one
//                                      point a line (see point_lines.h)
//   crdtool create FILE --numeric|--alpha
//   crdtool store FILE                 points from standard input, same lines
//   crdtool delete FILE RANGE          removes the points RANGE selects
//   crdtool history FILE [RANGE]       the changes of the points, newest
//                                      first (see history_command.h)
//   crdtool undo FILE SINCE [RANGE]    undoes the changes made since SINCE
//   crdtool merge SOURCE TARGET [...]  merges points (see merge_command.h)
//   crdtool cut SOURCE TARGET RANGE    a new file of SOURCE's variant holding
//                                      the points RANGE selects
//
// Exit status 0 on success, 1 with the reason on standard error, 2 for a
// wrong argument.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "coord/crd/crd_file.h"
#include "coord/crd/crd_range_copy.h"
#include "coord/merge/merge_apply.h"
#include "history_command.h"
#include "merge_command.h"
#include "platform/catalogue.h"
#include "platform/text.h"
#include "point_lines.h"
#include "pointid/point_range.h"
#include "tool_usage.h"

namespace {

using pelikon::CrdFile;
using pelikon::CrdPoint;
using pelikon::StrPrintf;
using pelikon::Tr;
using pelikon_tools::kExitFailure;
using pelikon_tools::kExitOk;

const pelikon_tools::ToolUsage kUsage(
    "crdtool",
    N_("usage: crdtool dump FILE [RANGE]\n"
       "       crdtool create FILE --numeric|--alpha\n"
       "       crdtool store FILE < points\n"
       "       crdtool delete FILE RANGE\n"
       "       crdtool history FILE [RANGE]\n"
       "       crdtool undo FILE SINCE [RANGE]\n"
       "       crdtool merge SOURCE TARGET [--overwrite|--skip-conflicts|--renumber-next|\n"
       "                     --renumber-end|--renumber-at ID] [--range TEXT]\n"
       "       crdtool cut SOURCE TARGET RANGE\n"),
    N_("Looks into and changes CRD coordinate files.\n"
       "  dump     the header values as \"# \" lines, then one point a line\n"
       "  create   a new, empty file of either variant (never replaces one)\n"
       "  store    adds or replaces the points given on standard input\n"
       "  delete   removes the points RANGE selects (for example 10-20,35)\n"
       "  history  the recorded changes of the points, newest first: identifier,\n"
       "           command number and text, free text, user, time (seconds since\n"
       "           1970), then the point before and after the change\n"
       "  undo     puts the points back as they were before every change recorded\n"
       "           at or after SINCE (seconds since 1970)\n"
       "  merge    stores the points of SOURCE that TARGET lacks; conflicting points\n"
       "           (same identifier, other values) in the --range (default all) are\n"
       "           overwritten, skipped or renumbered as the option says, else left\n"
       "           out; notes (.not) move with their points. Prints identifier,\n"
       "           status, action and final identifier per source point\n"
       "  cut      writes TARGET anew (replacing a file there) in SOURCE's variant,\n"
       "           holding the points RANGE selects, as Send Pnts uploads them\n"
       "A point line is the identifier, northing, easting, elevation and description,\n"
       "separated by tabs. Exit status: 0 done, 1 failed (the reason on standard error),\n"
       "2 a wrong argument.\n"));

int Failure(const std::string& what, const CrdFile& file) {
  return kUsage.Fail(what + ": " + Tr(pelikon::CrdErrorText(file.LastError())));
}

// Opens a file that must already hold a CRD header: opening a missing or
// empty file would create one.
bool OpenExisting(CrdFile& file, const char* path) {
  std::string error;
  if (pelikon::OpenExistingCrd(file, path, error)) return true;
  kUsage.Fail(error);
  return false;
}

int Dump(const char* path, const char* range) {
  CrdFile file;
  if (!OpenExisting(file, path)) return kExitFailure;
  std::printf("# format: %s\n", file.Format() == pelikon::kCrdNumeric ? "numeric" : "alphanumeric");
  std::printf("# header text: %s\n", file.HeaderText().c_str());
  std::printf("# header number: %s\n", file.HeaderNumber().c_str());
  std::printf("# header date: %s\n", file.HeaderDate().c_str());
  std::printf("# records: %lld\n", static_cast<long long>(file.PointCount()));
  auto print = [](const CrdPoint& point) { std::printf("%s\n", pelikon::PointLine(point).c_str()); };
  if (pelikon::IsAllKeyword(pelikon::NormaliseRange(range ? range : ""))) {
    // The whole file, read in blocks.
    if (!file.ForEachPoint(print)) return Failure(StrPrintf(Tr("cannot read %s"), path), file);
  } else {
    file.SetRange(range, true);
    for (CrdPoint point; file.Next(point);) print(point);
  }
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

int Create(const char* path, int format) {
  std::error_code error;
  if (std::filesystem::exists(path, error)) return kUsage.Fail(StrPrintf(Tr("%s exists already"), path));
  CrdFile file;
  if (!file.Open(path, 1, format)) return Failure(StrPrintf(Tr("cannot create %s"), path), file);
  return kExitOk;
}

int Store(const char* path) {
  std::vector<CrdPoint> points;
  std::vector<int> line_numbers;
  std::string line;
  for (int number = 1; std::getline(std::cin, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line.front() == '#') continue;
    std::string error;
    std::optional<CrdPoint> point = pelikon::ParsePointLine(line, error);
    if (!point) return kUsage.Fail(StrPrintf(Tr("line %d: %s; nothing stored"), number, error.c_str()));
    points.push_back(*point);
    line_numbers.push_back(number);
  }
  CrdFile file;
  if (!OpenExisting(file, path)) return kExitFailure;
  std::vector<int> errors;
  const int64_t stored = file.StorePoints(points, true, pelikon::kNoHistoryCommand, {}, &errors);
  if (file.LastError() == pelikon::kCrdInputOutput && stored == 0 && !points.empty())
    return Failure(StrPrintf(Tr("cannot write %s"), path), file);
  int refused = 0;
  for (size_t i = 0; i < errors.size(); ++i) {
    if (errors[i] == pelikon::kCrdOk) continue;
    ++refused;
    kUsage.Fail(StrPrintf(Tr("line %d: point \"%s\" refused: %s"), line_numbers[i], points[i].Id().c_str(),
                          Tr(pelikon::CrdErrorText(errors[i]))));
  }
  return refused == 0 ? kExitOk : kExitFailure;
}

int Delete(const char* path, const char* range) {
  CrdFile file;
  if (!OpenExisting(file, path)) return kExitFailure;
  const int64_t removed = file.DeletePoints(range);
  if (file.LastError() != pelikon::kCrdOk) return Failure(StrPrintf(Tr("cannot delete from %s"), path), file);
  std::printf("%lld points deleted\n", static_cast<long long>(removed));
  return kExitOk;
}

int Cut(const char* source, const char* target, const char* range) {
  const pelikon::RangeCopyResult result = pelikon::CopyPointRange(source, target, range);
  switch (result.status) {
    case pelikon::RangeCopyStatus::kCopied:
      std::printf("%lld points written\n", static_cast<long long>(result.points));
      return kExitOk;
    case pelikon::RangeCopyStatus::kSourceFailed:
      return kUsage.Fail(StrPrintf(Tr("cannot read %s: no coordinate file there"), source));
    case pelikon::RangeCopyStatus::kTargetFailed:
      return kUsage.Fail(StrPrintf(Tr("cannot create %s"), target));
    case pelikon::RangeCopyStatus::kStoreFailed:
      break;
  }
  return kUsage.Fail(StrPrintf(Tr("cannot write the points into %s; nothing written"), target));
}

// history FILE [RANGE] and undo FILE SINCE [RANGE].
int History(const std::string& command, int count, char** arguments) {
  long since = 0;
  if (command == "undo" && !pelikon::ParseSince(arguments[1], since))
    return kUsage.Wrong(StrPrintf(Tr("undo: SINCE must be seconds since 1970, not \"%s\""), arguments[1]));
  CrdFile file;
  if (!OpenExisting(file, arguments[0])) return kExitFailure;
  if (command == "history") return pelikon::PrintHistory(file, count > 1 ? arguments[1] : "");
  return pelikon::UndoSince(kUsage, file, since, count > 2 ? arguments[2] : "");
}

struct Command {
  const char* name;
  int fewest;  // arguments after the command
  int most;
};
constexpr Command kCommands[] = {{"dump", 1, 2},    {"create", 2, 2}, {"store", 1, 1}, {"delete", 2, 2},
                                 {"history", 1, 2}, {"undo", 2, 3},   {"merge", 2, 6}, {"cut", 3, 3}};

}  // namespace

int main(int argc, char** argv) {
  if (pelikon_tools::ToolUsage::HelpAsked(argc, argv)) return kUsage.Help();
  if (argc < 2) return kUsage.Wrong(Tr("no command given"));
  const std::string command = argv[1];
  const Command* known = nullptr;
  for (const Command& c : kCommands)
    if (command == c.name) known = &c;
  if (!known) return kUsage.Wrong(StrPrintf(Tr("unknown command \"%s\""), command.c_str()));
  const int given = argc - 2;
  if (given < known->fewest) return kUsage.Wrong(StrPrintf(Tr("%s: too few arguments"), known->name));
  if (given > known->most)
    return kUsage.Wrong(StrPrintf(Tr("%s: unexpected argument \"%s\""), known->name, argv[2 + known->most]));
  if (command == "dump") return Dump(argv[2], argc == 4 ? argv[3] : nullptr);
  if (command == "store") return Store(argv[2]);
  if (command == "delete") return Delete(argv[2], argv[3]);
  if (command == "history" || command == "undo") return History(command, argc - 2, argv + 2);
  if (command == "merge") return pelikon_tools::RunMerge(kUsage, argc, argv);
  if (command == "cut") return Cut(argv[2], argv[3], argv[4]);
  const std::string variant = argv[3];
  if (variant == "--numeric") return Create(argv[2], pelikon::kCrdNumeric);
  if (variant == "--alpha") return Create(argv[2], pelikon::kCrdAlphanumeric);
  return kUsage.Wrong(StrPrintf(Tr("create: --numeric or --alpha, not \"%s\""), variant.c_str()));
}
