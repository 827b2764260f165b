// The texts a pane shows: the columns of one row, the counter numbers, the
// file type of an entry and the shortened path line. Shown words are
// translated here.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "link/listing/dir_listing.h"

namespace pelikon {

// Row images of the panes' shared image list.
inline constexpr int kFolderImage = 0;
inline constexpr int kFileImage = 1;
inline constexpr int kUpOneLevelImage = 2;

// ".." shows as "[Up One Level]", every other entry by its name.
std::string NameText(const DirEntry& entry);
// kUpOneLevelImage for "..", kFolderImage for folders and drives, else kFileImage.
int RowImage(const DirEntry& entry);
// Empty for folders; below 100000 bytes the decimal number, else "%.0fK" of
// bytes / 1024. Sizes read as unsigned 32-bit, as the listing carries them.
std::string SizeText(const DirEntry& entry);
// Date, a blank, time.
std::string ModifiedText(const DirEntry& entry);
// Files: "A", "R", "H", "S" for the bits 0x20, 0x01, 0x02, 0x04, in that
// order; empty for folders and drives.
std::string AttributesText(const DirEntry& entry);
// Above 99,999,999 "%.0fM" of value / 1048576; above 999,999 "%.0fK" of
// value / 1024; else "%.0f".
std::string CounterText(double value);

// The registered type name of an extension (given without its dot, as written
// in the name); empty when none is known.
using FileTypeLookup = std::function<std::string(const std::string& extension)>;

// Empty for ".."; "File Folder" for folders and drives. A file has an
// extension when a "." is among the last four characters of its name (so
// ".html" has none and an empty type); its type is lookup(extension) when
// that is not empty, else e.g. "TXT File". A name ending in "." has an empty
// type.
std::string FileTypeText(const DirEntry& entry, const FileTypeLookup& lookup);

enum class PathStyle {
  kCollector,  // Windows-style: "\" separators, drives "X:", network "\\server"
  kLocal,      // this PC: "/" separators, case-sensitive names, UTF-8
};

// The path as its pane's path line shows it, in fewer than 40 characters.
// Collector paths: the first letter of each component upper-cased, components
// joined by "\" (a leading "\" or "\\" kept, so the root stays "\"); from 40
// characters on, the drive "X:" (or "\\" for a network path, "\" for a path
// from the root) then "..." then the last 33 characters; a two-character
// result ("C:") gets a "\" appended.
// Local paths keep every letter's case, since the file system tells names
// apart by case; from 40 characters on they show as "/..." and the last 33
// characters (counted in UTF-8 characters, never cutting one).
std::string ShortenedPath(std::string_view path, PathStyle style);

}  // namespace pelikon
