#include "report/viewer/print_plan.h"

#include <algorithm>

#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

std::vector<std::string> SplitPrintLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

std::vector<std::string> LinesOfSelection(const std::vector<std::string>& lines, TextSpot start, TextSpot end) {
  if (end.line < start.line || (end.line == start.line && end.column <= start.column)) return {};
  const long count = static_cast<long>(lines.size());
  long last = end.column == 0 ? end.line - 1 : end.line;
  const long first = std::clamp(start.line, 0L, count);
  last = std::min(last, count - 1);
  if (last < first) return {};
  return {lines.begin() + first, lines.begin() + last + 1};
}

PrintLayout PlanPrintLayout(const ViewerSettings& settings, const PrintMetrics& metrics) {
  const int line_height = std::max(metrics.line_height, 1);
  const int page_lines = metrics.page_height / line_height;
  PrintLayout layout;
  if (settings.print_format) {
    layout.lines_per_page = settings.lines_per_page < 1 ? 66 : settings.lines_per_page;
    layout.left_margin = std::max(settings.left_margin, 0);
    layout.top_margin = std::max(settings.top_margin, 0);
    layout.bottom_margin = std::max(settings.bottom_margin, 0);
    layout.page_numbers = settings.page_numbers;
    if (layout.bottom_margin + layout.top_margin + 1 + layout.lines_per_page > page_lines) {
      const int fits = page_lines - layout.bottom_margin - layout.top_margin - 1;
      layout.reduced = fits < layout.lines_per_page;
      layout.lines_per_page = fits;
    }
  } else {
    layout.lines_per_page = page_lines - 3;
  }
  // A page too small for its margins still prints a line on each page.
  layout.lines_per_page = std::max(layout.lines_per_page, 1);
  return layout;
}

namespace {

bool IsFormFeed(const std::string& line) {
  return line == "\f";
}

std::string WithoutLineEnd(const std::string& line) {
  return std::string(TrimRight(line, "\r\n"));
}

}  // namespace

std::vector<PrintedPage> PaginateReport(const std::vector<std::string>& lines, const PrintLayout& layout,
                                        const PrintMetrics& metrics) {
  std::vector<PrintedPage> pages(1);
  int counter = 0;
  for (const std::string& raw : lines) {
    const std::string line = WithoutLineEnd(raw);
    if (IsFormFeed(line)) {
      pages.emplace_back();
      counter = 0;
      continue;
    }
    if (++counter > layout.lines_per_page) {
      pages.emplace_back();
      counter = 1;
    }
    pages.back().texts.push_back(
        {metrics.average_char_width * layout.left_margin, (counter + layout.top_margin) * metrics.line_height, line});
  }
  if (!layout.page_numbers) return pages;
  // Numbered by the pages there are (a text that fills its last page
  // exactly has no empty page after it).
  const int total = static_cast<int>(pages.size());
  for (int page = 1; page <= total; ++page) {
    const std::string number = StrPrintf(Tr("Page %d of %d"), page, total);
    const int length = static_cast<int>(number.size());
    pages[static_cast<size_t>(page - 1)].texts.push_back(
        {(metrics.page_width + (layout.left_margin - length) * metrics.average_char_width) / 2,
         (layout.bottom_margin + layout.top_margin + 1 + layout.lines_per_page) * metrics.line_height, number});
  }
  return pages;
}

}  // namespace pelikon
