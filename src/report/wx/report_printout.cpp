#include "report/wx/report_printout.h"

#include <algorithm>

#include "dialogs/wx/wx_text.h"

namespace pelikon {

ReportPrintout::ReportPrintout(const std::string& job_name, const std::string& text, const ViewerSettings& settings)
    : wxPrintout(ToWx(job_name)), settings_(settings) {
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    lines_.push_back(text.substr(at, end - at));
    at = end + 1;
  }
}

wxFont ReportPrintout::PrintFont(wxDC& dc) const {
  // Points are turned into the printer's own units by its resolution.
  const wxSize ppi = dc.GetPPI();
  const int points = settings_.print_format ? settings_.printer_font_size : 12;
  wxFont font(wxFontInfo(points).Family(wxFONTFAMILY_TELETYPE));
  if (settings_.print_format) {
    font.SetFaceName(ToWx(settings_.printer_font_name));
    font.SetNumericWeight(std::clamp(settings_.printer_font_weight, 1, 1000));
  }
  // A printer's resolution above the screen's makes the font as tall on
  // paper as its points say.
  const wxSize screen = wxGetDisplayPPI();
  if (ppi.y > 0 && screen.y > 0 && ppi.y != screen.y) font.SetPixelSize(wxSize(0, std::max(1, points * ppi.y / 72)));
  return font;
}

void ReportPrintout::LayOut(wxDC& dc) {
  dc.SetFont(PrintFont(dc));
  wxCoord width = 0, height = 0, descent = 0, leading = 0;
  dc.GetTextExtent("Xg", &width, &height, &descent, &leading);
  PrintMetrics metrics;
  dc.GetSize(&metrics.page_width, &metrics.page_height);
  metrics.line_height = height + leading;
  metrics.average_char_width = dc.GetCharWidth();
  const PrintLayout layout = PlanPrintLayout(settings_, metrics);
  reduced_to_ = layout.reduced ? layout.lines_per_page : 0;
  pages_ = PaginateReport(lines_, layout, metrics);
}

void ReportPrintout::DrawPage(wxDC& dc, int page) const {
  if (page < 1 || page > static_cast<int>(pages_.size())) return;
  dc.SetFont(PrintFont(dc));
  dc.SetTextForeground(*wxBLACK);
  for (const PrintedText& text : pages_[static_cast<size_t>(page - 1)].texts)
    dc.DrawText(ToWx(text.text), text.x, text.y);
}

void ReportPrintout::OnPreparePrinting() {
  if (wxDC* dc = GetDC()) LayOut(*dc);
}

void ReportPrintout::GetPageInfo(int* first, int* last, int* from, int* to) {
  *first = *from = 1;
  *last = *to = std::max(1, static_cast<int>(pages_.size()));
}

bool ReportPrintout::HasPage(int page) {
  return page >= 1 && page <= static_cast<int>(pages_.size());
}

bool ReportPrintout::OnPrintPage(int page) {
  wxDC* dc = GetDC();
  if (dc == nullptr) return false;
  DrawPage(*dc, page);
  return true;
}

}  // namespace pelikon
