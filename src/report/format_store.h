// The formatter's named formats and which format each report last used,
// kept as plain text in the library's data folder:
//
// "formats.dta": three lines per format — the name; the used fields, each
// key preceded by its sort mark ("!" hold, none up, "^" down, "~" collapse,
// "`" ignore) and separated by "|"; the options as
// "%d %d %d %d %d %d %d '%c' %d %d %d %d" (columns, fixed, width,
// totalsonly, totalsdepth, 0, 1, a blank, exceltotal, use_commas,
// ignorerep, exceltext). Empty lines between formats are skipped; the two
// lines after a name belong to it even when empty (a format without used
// fields). Options are read as far as they go, the sixth to eighth ignored.
//
// "formtch.dta": one "%s|%s" line per report format name (the name a host
// finishes its report under) with the format last used for it; the line
// splits at its first "|".
//
// Both are rewritten through a ".new" twin: a failed write leaves the old
// file as it was, and a file that exists but cannot be read is never
// rewritten. Saving touches only the lines of the entry saved: the others
// stay byte for byte. Names are compared without regard to case. Lines may
// end in CR LF; lines longer than kReportLineLimit are cut there. What
// could not be read back as written (an empty name, a line break, a "|" in
// a key or a report format name, a line past the limit) is refused.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelikon {

inline constexpr size_t kReportLineLimit = 1023;

inline constexpr const char* kFormatsFile = "formats.dta";
inline constexpr const char* kFormatChoicesFile = "formtch.dta";

// A used field's sort mode; the numbers are those a token's is_sorted holds.
enum class SortMode { kHold = 0, kUp = 1, kDown = 2, kCollapse = 3, kIgnore = 4 };

// Out-of-range numbers read as kUp.
SortMode SortModeFromNumber(int number);

struct FormatField {
  std::string key;
  SortMode sort = SortMode::kUp;
  bool operator==(const FormatField&) const = default;
};

struct FormatOptions {
  bool columns = true;  // one field per column; false: one field per line
  bool fixed = false;   // every column `width` wide; false: auto-width
  int width = 20;
  bool totals_only = false;
  int totals_depth = 0;  // leading used fields that form sub-total groups
  bool excel_total = false;
  bool use_commas = false;
  bool ignore_repeats = false;
  bool excel_text = false;
  bool operator==(const FormatOptions&) const = default;
};

struct ReportFormat {
  std::string name;
  std::vector<FormatField> used;
  FormatOptions options;
  bool operator==(const ReportFormat&) const = default;
};

// "!PTNUM|ELEV|^DESC" and back. Parsing skips empty items and drops the
// CRs that end a key.
std::string FormatFieldsLine(const std::vector<FormatField>& fields);
std::vector<FormatField> ParseFormatFieldsLine(std::string_view line);

// Every format of the file in file order; a missing file has none. A
// format whose options line is missing or unreadable keeps the defaults.
std::vector<ReportFormat> ReadFormats(const std::filesystem::path& file);
std::optional<ReportFormat> FindFormat(const std::filesystem::path& file, std::string_view name);

// Replaces the format of the same name where it stands (later ones of that
// name go), or appends it. False when the format cannot be stored or the
// file cannot be written (the old one is then intact).
bool SaveFormat(const std::filesystem::path& file, const ReportFormat& format);
// Removes every format of that name. False when there is none or the file
// cannot be written.
bool DeleteFormat(const std::filesystem::path& file, std::string_view name);

struct FormatChoice {
  std::string report_format;
  std::string format;
  bool operator==(const FormatChoice&) const = default;
};

// Every line of "formtch.dta" that holds a "|", in file order.
std::vector<FormatChoice> ReadFormatChoices(const std::filesystem::path& file);
// The format last used for `report_format_name`; empty when none.
std::string LastUsedFormat(const std::filesystem::path& file, std::string_view report_format_name);
// Records (or replaces, where it stands) that choice; false when it cannot
// be stored or the file cannot be written.
bool RecordUsedFormat(const std::filesystem::path& file, std::string_view report_format_name,
                      std::string_view format_name);

// Helpers the data files of the report library share.
namespace report_data {

// One line of a data file: its text (cut at kReportLineLimit, CRs at its
// end removed) and the raw bytes it spans, line feed included.
struct Line {
  std::string_view text;
  size_t begin = 0;
  size_t end = 0;
};
std::vector<Line> SplitLines(std::string_view content);

// The file's content; empty when it is missing. False when it exists but
// cannot be read, so that nobody rewrites what they could not see.
bool ReadForRewrite(const std::filesystem::path& file, std::string& content);

// Byte ranges [begin, end) of `content`, in order and not overlapping.
struct Span {
  size_t begin = 0;
  size_t end = 0;
};
// Puts `replacement` in place of the first span and removes the others;
// with no span, appends `appended` on a line of its own. Then writes the
// file through its twin; false when that fails.
bool RewriteSpans(const std::filesystem::path& file, std::string_view content, const std::vector<Span>& spans,
                  std::string_view replacement, std::string_view appended);

// True when `text` fits on one data-file line.
bool FitsOnOneLine(std::string_view text);

}  // namespace report_data

}  // namespace pelikon
