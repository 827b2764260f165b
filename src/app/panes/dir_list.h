// One file pane's folder: its path text, the free bytes of its drive, its
// entries in display order and the totals of its files; and the four sort
// orders of the "sort" setting.
//
// Sizes are the listing's low 32 bits of a file's size, so a file of 2 GiB
// or more may arrive with a negative size; totals, size texts and the size
// order read a file's size as unsigned 32-bit (`EntryBytes`).
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "link/listing/dir_listing.h"

namespace pelikon {

enum class PaneSide { kLocal, kRemote };

struct DirList {
  std::string path;
  double free_bytes = 0;
  std::vector<DirEntry> entries;
  int file_count = 0;     // entries that are not folders
  double byte_total = 0;  // their sizes (`EntryBytes`)

  // No entries and totals 0; the path and the free bytes stay.
  void Clear();
  // Appends `entry`; a file adds 1 to the file count and its bytes to the total.
  void Add(DirEntry entry);
};

// The bytes an entry counts for: 0 for folders and drives, else the listed
// size read as unsigned 32-bit.
double EntryBytes(const DirEntry& entry);

// Reads the listing file of a pane: the PC's names as they are (leading
// blanks kept, the longest names whole), the collector's by the rules of
// its format. False when the file cannot be read.
bool ReadPaneListing(PaneSide side, const std::filesystem::path& file, ListingContents& contents);

// A pane's list from a parsed listing, in listing order (the reader has
// already left out what never becomes a row).
DirList DirListFrom(std::string path, double free_bytes, ListingContents contents);

// Puts `entries` in the order of the "sort" setting. In every order drives
// come first, then folders, then files; within each group:
//   1 BY NAME  names upper-cased (a to z only), compared byte by byte;
//   2 BY DATE  newest first by YY*10000+MM*100+DD, then HH*100+MM, then the
//              name byte by byte with case;
//   3 BY SIZE  folders by name with case; files smaller first, then by name;
//   0 OFF and any other number: listing order.
// Entries that compare equal keep their relative order.
void SortEntries(std::vector<DirEntry>& entries, int sort_order);

// "OFF", "BY NAME", "BY DATE", "BY SIZE", else "????" — untranslated (marked
// for extraction); the caller translates where it shows them.
std::string SortOrderText(int sort_order);
// The order of a display text above (untranslated, exact); 0 for any other text.
int SortOrderFromText(std::string_view text);

}  // namespace pelikon
