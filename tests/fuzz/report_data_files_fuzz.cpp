// The report library's data files from arbitrary bytes: each of the four
// files reads, writes back and reads again to the same entries; rewriting
// one entry in place leaves every other entry reading as before.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz_work_folder.h"
#include "platform/text.h"
#include "report/attribute_store.h"
#include "report/format_store.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace pelikon;

fs::path Work() {
  return fs::path(std::getenv("PELIKON_TEMP_DIR")).parent_path();
}

void Require(bool condition) {
  if (!condition) std::abort();
}

// A fresh file holding the input.
fs::path Input(std::string_view name, std::string_view bytes) {
  const fs::path file = Work() / name;
  testing::TempDir::WriteFile(file, bytes);
  return file;
}

fs::path Output(std::string_view name) {
  const fs::path file = Work() / (std::string(name) + ".out");
  fs::remove(file);
  return file;
}

// The first of the items whose names are equal without regard to case.
template <typename Item, typename NameOf>
std::vector<Item> FirstOfEachName(const std::vector<Item>& items, NameOf name_of) {
  std::vector<Item> first;
  for (const Item& item : items) {
    bool seen = false;
    for (const Item& kept : first) seen = seen || EqualsNoCase(name_of(kept), name_of(item));
    if (!seen) first.push_back(item);
  }
  return first;
}

std::vector<ReportFormat> WithoutLaterOfName(const std::vector<ReportFormat>& formats, std::string_view name,
                                             bool keep_first) {
  std::vector<ReportFormat> kept;
  bool first = keep_first;
  for (const ReportFormat& format : formats) {
    if (!EqualsNoCase(format.name, name) || std::exchange(first, false)) kept.push_back(format);
  }
  return kept;
}

void CheckFormats(std::string_view bytes) {
  const fs::path in = Input(kFormatsFile, bytes);
  const fs::path out = Output(kFormatsFile);
  const std::vector<ReportFormat> read = ReadFormats(in);
  const auto name_of = [](const ReportFormat& format) { return format.name; };
  const std::vector<ReportFormat> distinct = FirstOfEachName(read, name_of);
  for (const ReportFormat& format : distinct) Require(SaveFormat(out, format));
  Require(ReadFormats(out) == distinct);
  if (read.empty()) return;
  Require(SaveFormat(in, read.front()));
  Require(ReadFormats(in) == WithoutLaterOfName(read, read.front().name, true));
  Require(DeleteFormat(in, read.front().name));
  Require(ReadFormats(in) == WithoutLaterOfName(read, read.front().name, false));
}

void CheckFormatChoices(std::string_view bytes) {
  const fs::path in = Input(kFormatChoicesFile, bytes);
  const fs::path out = Output(kFormatChoicesFile);
  const auto name_of = [](const FormatChoice& choice) { return choice.report_format; };
  const std::vector<FormatChoice> distinct = FirstOfEachName(ReadFormatChoices(in), name_of);
  for (const FormatChoice& choice : distinct) Require(RecordUsedFormat(out, choice.report_format, choice.format));
  Require(ReadFormatChoices(out) == distinct);
}

// Rewriting can lengthen a line (blanks after the bars, numbers written
// out, defaults filled in); one that then passes the limit is refused.
bool HasLineNearTheLimit(std::string_view bytes) {
  size_t start = 0;
  while (start <= bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    if (end - start + 24 > kReportLineLimit) return true;
    start = end + 1;
  }
  return false;
}

template <typename Entry>
void CheckSections(std::string_view name, std::string_view bytes,
                   std::vector<Entry> (*read)(const fs::path&, std::string_view),
                   bool (*write)(const fs::path&, std::string_view, const std::vector<Entry>&)) {
  const fs::path in = Input(name, bytes);
  const fs::path out = Output(name);
  const auto same = [](const std::string& section) { return section; };
  const std::vector<std::string> sections = FirstOfEachName(AttributeSections(in), same);
  std::vector<std::vector<Entry>> entries;
  for (const std::string& section : sections) entries.push_back(read(in, section));
  for (size_t i = 0; i < sections.size(); ++i) {
    if (!write(out, sections[i], entries[i])) {
      Require(HasLineNearTheLimit(bytes));
      return;
    }
  }
  for (size_t i = 0; i < sections.size(); ++i) Require(read(out, sections[i]) == entries[i]);
  if (sections.empty()) return;
  // The first section written over itself; every section still reads the same.
  Require(write(in, sections.front(), entries.front()));
  for (size_t i = 0; i < sections.size(); ++i) Require(read(in, sections[i]) == entries[i]);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  pelikon_fuzz::UseWorkFolder("/tmp/pelikon-report-data-fuzz");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckFormats(bytes);
  CheckFormatChoices(bytes);
  CheckSections(kUserAttributesFile, bytes, &ReadUserAttributes, &WriteUserAttributes);
  CheckSections(kAttributeDisplayFile, bytes, &ReadAttributeDisplays, &WriteAttributeDisplays);
  return 0;
}
