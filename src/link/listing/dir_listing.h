// Directory listing files: the text format in which both panes receive a
// folder's contents, one entry per line, and the writer of the PC's own
// listing.
//
// Line shapes (each line ends CR LF on disk):
//   file     name|size|MM/DD/YY|HH:MM|attributes|short name
//   folder   name|-1|MM/DD/YY|HH:MM|-1|short name
//   parent   ..|-1| | |-1|..
//   drive    C:\,-2, , ,
// Older collector software separates every field with "," instead; the
// reader decides per line. The size is the low 32 bits of the file size,
// signed. Dates and times are local time with the seconds dropped.
//
// The reader takes whatever bytes the collector sends: it never reads past
// a line limit, never fails on malformed lines (it skips them), and never
// produces an entry named "." or a reserved listing name. The PC's own
// listing is read by looser rules (`kLocalListing`), so that every name
// the PC's file system allows comes back as it is.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_info.h"
#include "platform/listing_line.h"
#include "platform/ui.h"

namespace pelikon {

inline constexpr const char* kLocalListingName = "dir_yyy.txt";
inline constexpr const char* kRemoteListingName = "dir_zzz.txt";
// Characters of a collector's line that the reader considers; the rest is
// ignored.
inline constexpr size_t kListingLineLimit = 238;
inline constexpr size_t kEntryNameLimit = 254;
inline constexpr size_t kEntryDateLimit = 11;
// The longest name of a PC file (in bytes).
inline constexpr size_t kLocalNameLimit = 255;

// How the lines of a listing are read.
struct ListingRules {
  // Blanks around a line are part of its first and last field.
  bool names_as_written;
  size_t line_limit;  // characters of a line that count
  size_t name_limit;  // longest name and short name kept
};
// A collector's listing: blanks around a line are dropped and only the
// first 238 characters count, as the format has it.
inline constexpr ListingRules kCollectorListing{false, kListingLineLimit, kEntryNameLimit};
// The PC's own listing: a name keeps its blanks (" lead.txt" is a file of
// its own), and a line holds two of the longest names with every field.
inline constexpr ListingRules kLocalListing{true, 2 * kLocalNameLimit + 64, kLocalNameLimit};

// What `ListDirectoryInto` writes.
enum ListMode : int { kListFoldersOnly = 1, kListFilesOnly = 2, kListFilesAndFolders = 4 };

// One entry of a pane's folder.
struct DirEntry {
  std::string name;        // long name as listed
  std::string short_name;  // the name a legacy collector addresses; the name when not listed
  std::string date;        // "MM/DD/YY" as listed
  std::string time;        // "HH:MM" as listed
  bool is_folder = false;  // size was -1 or -2
  bool is_drive = false;   // size was -2
  int32_t size = 0;        // bytes; -1 for folders and drives
  int32_t attributes = 0;  // kAttr... bits as listed; 0 when not listed
  bool tagged = false;     // takes part in the next operation
};

// ---- Writing ---------------------------------------------------------------

// Appends one line per entry of `folder` that matches `mask` to `file`:
// folders only (mode 1), files only (2) or both (4). Hidden and system
// entries are left out unless `show_special`. Entries whose names cannot be
// written in the format (a "|" or a line break in the name) are left out
// and traced. False when the folder cannot be read.
bool ListDirectoryInto(const std::filesystem::path& folder, std::string_view mask, std::FILE* file, int mode,
                       bool show_special);

// Appends one drive line per logical drive present. This system has no
// drive letters, so there is nothing to append.
void AppendDriveLines(std::FILE* file);

// Writes the listing of `folder` to `listing_file` (normally "dir_yyy.txt"
// in the working folder): files matching `mask` first, then every folder;
// with the mask "*.*" everything in one pass. Returns 1, or 0 after showing
// "Unable to write directory listing" when the file cannot be written.
int WriteLocalListing(const std::filesystem::path& folder, std::string_view mask,
                      const std::filesystem::path& listing_file, bool show_special, Ui& ui);

// ---- Reading ---------------------------------------------------------------

// Reads one line (without its line end) into `entry`. False when the line
// is to be skipped. `used_bars`, when given, receives whether the line
// separated its fields with "|".
bool ParseListingLine(std::string_view line, DirEntry& entry, bool* used_bars = nullptr,
                      const ListingRules& rules = kCollectorListing);

struct ListingContents {
  std::vector<DirEntry> entries;  // in file order
  // The separator of the last non-empty line was "|": the collector
  // addresses its files by their long names.
  bool long_names = false;
};

// Reads a whole listing held in memory.
ListingContents ParseListing(std::string_view text, const ListingRules& rules = kCollectorListing);
// Reads a listing file; false when it cannot be opened.
bool ReadListingFile(const std::filesystem::path& file, ListingContents& contents,
                     const ListingRules& rules = kCollectorListing);

}  // namespace pelikon
