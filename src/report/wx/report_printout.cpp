#include "report/wx/report_printout.h"

#include <algorithm>
#include <limits>

#include <wx/fontenum.h>
#include <wx/log.h>
#if wxUSE_POSTSCRIPT
#include <wx/generic/printps.h>
#endif

#include "dialogs/wx/wx_text.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

std::string ReportJobName() {
  return StrPrintf(Tr("%s Printout"), kReportViewerName);
}

ReportPrintout::ReportPrintout(const std::string& job_name, const std::string& text, const ViewerSettings& settings)
    : wxPrintout(ToWx(job_name)), lines_(SplitPrintLines(text)), settings_(settings) {}

void ReportPrintout::OfferSelection(std::vector<std::string> lines, std::function<bool()> chosen) {
  selected_lines_ = std::move(lines);
  selection_chosen_ = std::move(chosen);
}

// The toolkit sizes a font on any page as on the screen; the page's
// scale to screen pixels makes its points real points on paper.
wxFont ReportPrintout::PrintFont() const {
  const int points = settings_.print_format ? std::max(settings_.printer_font_size, 1) : 12;
  wxFont font(wxFontInfo(points).Family(wxFONTFAMILY_TELETYPE));
  if (settings_.print_format) {
    // A face this system lacks leaves the fixed-pitch family's own.
    if (wxFontEnumerator::IsValidFacename(ToWx(settings_.printer_font_name)))
      font.SetFaceName(ToWx(settings_.printer_font_name));
    font.SetNumericWeight(std::clamp(settings_.printer_font_weight, 1, 1000));
  } else {
    font.SetNumericWeight(400);
  }
  return font;
}

void ReportPrintout::LayOut(wxDC& dc, wxSize page) {
  dc.SetFont(PrintFont());
  wxCoord width = 0, height = 0, descent = 0, leading = 0;
  dc.GetTextExtent("Xg", &width, &height, &descent, &leading);
  PrintMetrics metrics;
  metrics.page_width = page.x;
  metrics.page_height = page.y;
  metrics.line_height = height + leading;
  metrics.average_char_width = dc.GetCharWidth();
  const PrintLayout layout = PlanPrintLayout(settings_, metrics);
  reduced_to_ = layout.reduced ? layout.lines_per_page : 0;
  const bool selection = selection_chosen_ && selection_chosen_();
  pages_ = PaginateReport(selection ? selected_lines_ : lines_, layout, metrics);
}

void ReportPrintout::DrawPage(wxDC& dc, int page) const {
  if (page < 1 || page > static_cast<int>(pages_.size())) return;
  dc.SetFont(PrintFont());
  dc.SetTextForeground(*wxBLACK);
  for (const PrintedText& text : pages_[static_cast<size_t>(page - 1)].texts)
    dc.DrawText(ToWx(text.text), text.x, text.y);
}

void ReportPrintout::OnPreparePrinting() {
  wxDC* dc = GetDC();
  if (dc == nullptr) return;
  MapScreenSizeToPage();
  LayOut(*dc, GetLogicalPageRect().GetSize());
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
  MapScreenSizeToPage();
  DrawPage(*dc, page);
  return true;
}

bool PrintToPostScript(ReportPrintout& printout, const std::filesystem::path& postscript) {
#if wxUSE_POSTSCRIPT
  // Nobody is there to read the toolkit's complaints; the answer says it.
  wxLogNull quiet;
  wxPrintData data;
  data.SetPrintMode(wxPRINT_MODE_FILE);
  data.SetFilename(postscript.string());
  wxPrintDialogData pages(data);
  pages.SetFromPage(1);
  pages.SetToPage(std::numeric_limits<int>::max());
  wxPostScriptPrinter printer(&pages);
  return printer.Print(nullptr, &printout, false);
#else
  (void)printout;
  (void)postscript;
  return false;
#endif
}

bool PrintReportToFile(const std::string& text, const ViewerSettings& settings,
                       const std::filesystem::path& postscript) {
  ReportPrintout printout(ReportJobName(), text, settings);
  return PrintToPostScript(printout, postscript);
}

}  // namespace pelikon
