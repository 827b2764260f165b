// The twelve columns of the merge grid: their captions, and their widths
// in characters as kept in "merge_coord.xml" (one record whose text values
// "1" to "12" are the widths) in the program's data folder.
#pragma once

#include <array>
#include <filesystem>

namespace pelikon {

inline constexpr int kMergeColumnCount = 12;
inline constexpr const char* kMergeColumnsFile = "merge_coord.xml";
// The column of the action combo (1-based).
inline constexpr int kMergeActionColumn = 7;

using MergeColumnWidths = std::array<int, kMergeColumnCount>;  // [0] is column 1

// 5, 10, 10, 8, 10, 2, 11, 5, 10, 10, 8, 10.
MergeColumnWidths DefaultMergeColumnWidths();

// The caption of `column` (1-based), untranslated: source "Pt #",
// "Northing", "Easting", "Elevation", "Description", a blank spacer,
// "Action", then the target's five.
const char* MergeColumnCaption(int column);

// The widths kept in `folder`; a missing file, value or a value that is no
// positive number gives that column its default.
MergeColumnWidths ReadMergeColumnWidths(const std::filesystem::path& folder);
// 1, or 0 when the file cannot be written (the old one then stays whole).
int WriteMergeColumnWidths(const std::filesystem::path& folder, const MergeColumnWidths& widths);

}  // namespace pelikon
