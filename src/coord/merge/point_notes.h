// Point notes: the ".not" text file beside a CRD file that holds free-text
// lines per point identifier.
//
//   PT_ID:17  GIS_FILE:pole.shp
//   first note line
//   second note line
//   PT_ID:18
//   ...
//
// An entry starts at a line holding "PT_ID:"; its identifier is the text
// after the first ':' up to the first blank (at most 255 characters,
// upper-cased) and an optional "GIS_FILE:" names a file. Entries whose
// identifier holds "RANGE-" are dropped with their lines. A repeated
// identifier replaces the lines of the earlier entry (its file name stays).
// Written back with CR LF line ends; entries without lines are left out.
#pragma once

#include <filesystem>
#include <list>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace pelikon {

struct PointNote {
  std::string id;        // upper-cased
  std::string gis_file;  // may be empty
  std::vector<std::string> lines;
};

class PointNotes {
 public:
  static constexpr size_t kIdLimit = 255;

  // Parses the text of a notes file. Newest entries come first.
  static PointNotes Parse(std::string_view text);
  // Reads `path`; a missing or unreadable file gives no entries.
  static PointNotes Read(const std::filesystem::path& path);
  // The notes file that belongs to a CRD file: its extension replaced.
  static std::filesystem::path PathFor(const std::filesystem::path& crd_path);

  // The file text; empty when no entry has lines.
  std::string Format() const;
  bool Empty() const { return entries_.empty(); }
  const std::list<PointNote>& Entries() const { return entries_; }
  // The entry of `id` (without regard to case), or null.
  const PointNote* Find(std::string_view id) const;
  PointNote* Find(std::string_view id);
  // The entry of `id`, created at the front when missing.
  PointNote& Entry(std::string_view id);
  // Takes away the lines of `id` (the entry keeps none); false when there
  // is no entry or it has no lines.
  bool TakeLines(std::string_view id, std::vector<std::string>& lines);

 private:
  std::list<PointNote> entries_;
};

}  // namespace pelikon
