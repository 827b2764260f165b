// How a report prints: which of its lines (all, or those a selection
// touches), the lines per page and margins the printer's page allows,
// which line lands on which page and where, and the page numbers
// ("Page %d of %d", centred below the last line of a page). A line that
// is a single form feed starts a new page and is not printed. Positions
// are in the printer's units.
#pragma once

#include <string>
#include <vector>

#include "report/viewer/viewer_settings.h"

namespace pelikon {

// The text's lines as the viewer shows them: split at each line feed, the
// line end kept out; a text ending in a line feed has no empty line after.
std::vector<std::string> SplitPrintLines(const std::string& text);

// A place in the text: its line (from 0) and the column on that line.
struct TextSpot {
  long line = 0;
  long column = 0;
};

// The whole lines a selection from `start` to `end` touches. A selection
// that ends at the very start of a line (whole lines picked with their
// line ends) does not take that line; an empty one takes none.
std::vector<std::string> LinesOfSelection(const std::vector<std::string>& lines, TextSpot start, TextSpot end);

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
