// How a report prints: the lines per page and margins the printer's page
// allows, which line lands on which page and where, and the page numbers
// ("Page %d of %d", centred below the last line of a page). A line that
// is a single form feed starts a new page and is not printed. Positions
// are in the printer's units.
#pragma once

#include <string>
#include <vector>

#include "report/viewer/viewer_settings.h"

namespace pelikon {

struct PrintMetrics {
  int page_width = 0;
  int page_height = 0;
  int line_height = 0;  // the font's height and its external leading
  int average_char_width = 0;
};

struct PrintLayout {
  int lines_per_page = 0;
  int left_margin = 0;  // characters
  int top_margin = 0;   // lines
  int bottom_margin = 0;
  bool page_numbers = true;
  // Set when the printer's page held fewer lines than asked for.
  bool reduced = false;
};

// Without the print settings: no margins, page numbers, and as many lines
// as the page holds less three. With them: the settings, the lines per
// page cut to what the page holds.
PrintLayout PlanPrintLayout(const ViewerSettings& settings, const PrintMetrics& metrics);

struct PrintedText {
  int x = 0;
  int y = 0;
  std::string text;
};

struct PrintedPage {
  std::vector<PrintedText> texts;
};

// Every page's texts: the lines (trailing CR and LF removed) and, with
// page numbers, "Page n of m" centred by the average character width.
std::vector<PrintedPage> PaginateReport(const std::vector<std::string>& lines, const PrintLayout& layout,
                                        const PrintMetrics& metrics);

}  // namespace pelikon
