// crdtool: looks into and changes CRD coordinate files without the office
// software.
//
//   crdtool dump FILE [RANGE]          header values as "# " lines, then one
//                                      point a line (see point_lines.h)
//   crdtool create FILE --numeric|--alpha
//   crdtool store FILE                 points from standard input, same lines
//   crdtool delete FILE RANGE          removes the points RANGE selects
//
// Exit status 0 on success, 1 with the reason on standard error.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "coord/crd/crd_file.h"
#include "platform/catalogue.h"
#include "point_lines.h"

namespace {

using pelikon::CrdFile;
using pelikon::CrdPoint;

int Usage() {
  std::fprintf(stderr,
               "usage: crdtool dump FILE [RANGE]\n"
               "       crdtool create FILE --numeric|--alpha\n"
               "       crdtool store FILE < points\n"
               "       crdtool delete FILE RANGE\n");
  return 1;
}

int Failure(const std::string& what, const CrdFile& file) {
  std::fprintf(stderr, "crdtool: %s: %s\n", what.c_str(), pelikon::Tr(pelikon::CrdErrorText(file.LastError())));
  return 1;
}

// Opens a file that must already hold a CRD header: opening a missing or
// empty file would create one.
bool OpenExisting(CrdFile& file, const char* path) {
  std::error_code error;
  if (std::filesystem::file_size(path, error) == 0 || error) {
    std::fprintf(stderr, "crdtool: %s: %s\n", path, error ? error.message().c_str() : "the file is empty");
    return false;
  }
  if (!file.Open(path)) {
    Failure(std::string("cannot open ") + path, file);
    return false;
  }
  return true;
}

int Dump(const char* path, const char* range) {
  CrdFile file;
  if (!OpenExisting(file, path)) return 1;
  std::printf("# format: %s\n", file.Format() == pelikon::kCrdNumeric ? "numeric" : "alphanumeric");
  std::printf("# header text: %s\n", file.HeaderText().c_str());
  std::printf("# header number: %s\n", file.HeaderNumber().c_str());
  std::printf("# header date: %s\n", file.HeaderDate().c_str());
  std::printf("# records: %lld\n", static_cast<long long>(file.PointCount()));
  file.SetRange(range ? range : "", true);
  for (CrdPoint point; file.Next(point);) std::printf("%s\n", pelikon::PointLine(point).c_str());
  return std::fflush(stdout) == 0 ? 0 : 1;
}

int Create(const char* path, const char* variant) {
  int format;
  if (std::strcmp(variant, "--numeric") == 0) {
    format = pelikon::kCrdNumeric;
  } else if (std::strcmp(variant, "--alpha") == 0) {
    format = pelikon::kCrdAlphanumeric;
  } else {
    return Usage();
  }
  std::error_code error;
  if (std::filesystem::exists(path, error)) {
    std::fprintf(stderr, "crdtool: %s exists already\n", path);
    return 1;
  }
  CrdFile file;
  if (!file.Open(path, 1, format)) return Failure(std::string("cannot create ") + path, file);
  return 0;
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
    if (!point) {
      std::fprintf(stderr, "crdtool: line %d: %s; nothing stored\n", number, error.c_str());
      return 1;
    }
    points.push_back(*point);
    line_numbers.push_back(number);
  }
  CrdFile file;
  if (!OpenExisting(file, path)) return 1;
  std::vector<int> errors;
  const int64_t stored = file.StorePoints(points, true, pelikon::kNoHistoryCommand, {}, &errors);
  if (file.LastError() == pelikon::kCrdInputOutput && stored == 0 && !points.empty())
    return Failure(std::string("cannot write ") + path, file);
  int refused = 0;
  for (size_t i = 0; i < errors.size(); ++i) {
    if (errors[i] == pelikon::kCrdOk) continue;
    ++refused;
    std::fprintf(stderr, "crdtool: line %d: point \"%s\" refused: %s\n", line_numbers[i], points[i].Id().c_str(),
                 pelikon::Tr(pelikon::CrdErrorText(errors[i])));
  }
  return refused == 0 ? 0 : 1;
}

int Delete(const char* path, const char* range) {
  CrdFile file;
  if (!OpenExisting(file, path)) return 1;
  const int64_t removed = file.DeletePoints(range);
  if (file.LastError() != pelikon::kCrdOk) return Failure(std::string("cannot delete from ") + path, file);
  std::printf("%lld points deleted\n", static_cast<long long>(removed));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string command = argv[1];
  if (command == "dump" && argc <= 4) return Dump(argv[2], argc == 4 ? argv[3] : nullptr);
  if (command == "create" && argc == 4) return Create(argv[2], argv[3]);
  if (command == "store" && argc == 3) return Store(argv[2]);
  if (command == "delete" && argc == 4) return Delete(argv[2], argv[3]);
  return Usage();
}
