// The report viewer's page and font settings, kept in "rview.ini" in the
// report data folder: one "key=value" line each, other keys ignored, a
// missing file or key giving the default. Rewritten whole through a
// ".new" twin.
#pragma once

#include <filesystem>
#include <string>

namespace pelikon {

inline constexpr const char* kViewerSettingsFile = "rview.ini";

struct ViewerSettings {
  bool print_format = false;   // pformat: the printer font, lines per page and margins below
  bool page_numbers = true;    // pageno
  int lines_per_page = 55;     // ln_pg
  int left_margin = 5;         // lmargin, characters
  int top_margin = 2;          // tmargin, lines
  int bottom_margin = 3;       // bmargin, lines
  bool degree_symbols = true;  // degsym: false shows each degree sign as "d"
  std::string font_name = "Courier New";
  int font_size = 10;  // points; below 5 reads as 10
  int font_weight = 764;
  std::string printer_font_name = "Courier New";
  int printer_font_size = 12;
  int printer_font_weight = 764;
  bool operator==(const ViewerSettings&) const = default;
};

ViewerSettings ReadViewerSettings(const std::filesystem::path& data_folder);
// False (traced as "\nCan't write file %s") when the file cannot be written.
bool WriteViewerSettings(const std::filesystem::path& data_folder, const ViewerSettings& settings);

}  // namespace pelikon
