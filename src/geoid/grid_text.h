// The text of a ".grd" grid file: one number per line, six header lines
// (south, west, north, east, column intervals, row intervals), then the
// node values, then free remark lines.
//
// A line is read as a C-locale decimal number whatever the user's locale:
// leading blanks skipped, the number ends at the first character that
// cannot continue it, a line without a number reads as 0. Only the first
// kGridHeaderLineLimit (header) or kGridValueLineLimit (value) characters
// of a line count; the rest of a long line is passed over, never taken as
// the next line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace pelikon {

inline constexpr size_t kGridHeaderLineLimit = 120;
inline constexpr size_t kGridValueLineLimit = 126;
inline constexpr size_t kGridRemarkLineLimit = 1024;

// The number at the start of `line` (0 when there is none).
double GridLineNumber(std::string_view line);

// Reads a text file line by line through a large block buffer. A line's
// view holds its text without the LF (a CR before it stays) and lives until
// the next call.
class GridLineReader {
 public:
  explicit GridLineReader(std::FILE* file);
  GridLineReader(const GridLineReader&) = delete;
  GridLineReader& operator=(const GridLineReader&) = delete;

  // The next line cut to `limit` characters; nothing at the end of the file.
  std::optional<std::string_view> Next(size_t limit);
  // Passes over the next `lines` lines, as that many calls of Next would
  // (whatever their limit), without handing them out: the number passed
  // over, fewer only at the end of the file.
  int64_t Skip(int64_t lines);
  // Whether reading stopped on an error rather than at the end.
  bool Failed() const { return failed_; }

 private:
  bool Refill();

  std::FILE* file_;
  std::vector<char> buffer_;
  size_t begin_ = 0;
  size_t end_ = 0;
  bool at_end_ = false;
  bool failed_ = false;
};

struct GridHeader {
  double south = 0;
  double west = 0;
  double north = 0;
  double east = 0;
  double column_intervals = 0;
  double row_intervals = 0;
};

// The first `lines` (4 or 6) header lines, each cut to `limit` characters;
// missing lines read as 0.
GridHeader ReadGridHeader(GridLineReader& reader, int lines, size_t limit = kGridHeaderLineLimit);

// Whether the grid file's bounds (first four lines) include the position,
// bounds included. False for an empty path or a file that cannot be opened.
bool GridFileCovers(const std::filesystem::path& path, double longitude, double latitude);

}  // namespace pelikon
