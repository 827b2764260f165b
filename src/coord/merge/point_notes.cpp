#include "coord/merge/point_notes.h"

#include <algorithm>
#include <utility>

#include "platform/atomic_file.h"
#include "platform/text.h"

namespace pelikon {

namespace {

constexpr std::string_view kIdMark = "PT_ID:";
constexpr std::string_view kFileMark = "GIS_FILE:";
constexpr std::string_view kRangeMark = "RANGE-";
constexpr std::string_view kLineEnd = "\r\n";

// The next line of `text` from `at` without its line end; moves `at` past it.
std::string_view NextLine(std::string_view text, size_t& at) {
  const size_t end = std::min(text.find('\n', at), text.size());
  std::string_view line = text.substr(at, end - at);
  at = end + 1;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// An entry line: the identifier after the first ':' up to the first blank,
// then perhaps the file name.
void ReadEntryLine(std::string_view line, std::string& id, std::string& file) {
  const size_t start = line.find(':') + 1;
  const size_t end = std::min(line.find_first_of(" \t", start), line.size());
  id = AsciiUpper(line.substr(start, std::min(end - start, PointNotes::kIdLimit)));
  const size_t mark = line.find(kFileMark, end);
  file = mark == std::string_view::npos ? std::string() : std::string(line.substr(mark + kFileMark.size()));
}

}  // namespace

PointNotes PointNotes::Parse(std::string_view text) {
  PointNotes notes;
  PointNote* current = nullptr;  // null: lines are dropped
  for (size_t at = 0; at < text.size();) {
    const std::string_view line = NextLine(text, at);
    if (line.find(kIdMark) == std::string_view::npos) {
      if (current) current->lines.emplace_back(line);
      continue;
    }
    std::string id;
    std::string file;
    ReadEntryLine(line, id, file);
    if (id.find(kRangeMark) != std::string::npos) {
      current = nullptr;
      continue;
    }
    current = notes.Find(id);
    if (current) {
      current->lines.clear();
    } else {
      current = &notes.Entry(id);
      current->gis_file = file;
    }
  }
  return notes;
}

PointNotes PointNotes::Read(const std::filesystem::path& path) {
  std::string text;
  if (!ReadWholeFile(path, text)) return {};
  return Parse(text);
}

std::filesystem::path PointNotes::PathFor(const std::filesystem::path& crd_path) {
  std::filesystem::path notes = crd_path;
  return notes.replace_extension(".not");
}

std::string PointNotes::Format() const {
  std::string text;
  for (const PointNote& entry : entries_) {
    if (entry.lines.empty()) continue;
    text.append(kIdMark).append(entry.id);
    if (!entry.gis_file.empty()) text.append("  ").append(kFileMark).append(entry.gis_file);
    text.append(kLineEnd);
    for (const std::string& line : entry.lines) text.append(line).append(kLineEnd);
  }
  return text;
}

const PointNote* PointNotes::Find(std::string_view id) const {
  for (const PointNote& entry : entries_)
    if (EqualsNoCase(entry.id, id)) return &entry;
  return nullptr;
}

PointNote* PointNotes::Find(std::string_view id) {
  return const_cast<PointNote*>(std::as_const(*this).Find(id));
}

PointNote& PointNotes::Entry(std::string_view id) {
  if (PointNote* found = Find(id)) return *found;
  entries_.push_front(PointNote{AsciiUpper(id.substr(0, kIdLimit)), {}, {}});
  return entries_.front();
}

bool PointNotes::TakeLines(std::string_view id, std::vector<std::string>& lines) {
  PointNote* entry = Find(id);
  if (!entry || entry->lines.empty()) return false;
  lines = std::move(entry->lines);
  entry->lines.clear();
  return true;
}

}  // namespace pelikon
