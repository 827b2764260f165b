// Printing a report: the text laid out on the printer's pages by the print
// plan — the lines per page and margins of the viewer's settings (or, by
// default, none and numbered pages), a form feed line starting a page, and
// "Page n of m" under the last line.
#pragma once

#include <string>
#include <vector>

#include <wx/print.h>

#include "report/viewer/print_plan.h"
#include "report/viewer/viewer_settings.h"

namespace pelikon {

class ReportPrintout : public wxPrintout {
 public:
  ReportPrintout(const std::string& job_name, const std::string& text, const ViewerSettings& settings);

  // Lays the text out on `dc` (the printer's, or any other for a test).
  void LayOut(wxDC& dc);
  const std::vector<PrintedPage>& Pages() const { return pages_; }
  // The lines per page the page forced, or 0 when the setting fitted.
  int ReducedTo() const { return reduced_to_; }

  void OnPreparePrinting() override;
  void GetPageInfo(int* first, int* last, int* from, int* to) override;
  bool HasPage(int page) override;
  bool OnPrintPage(int page) override;
  // Draws one page (1-based) on `dc`.
  void DrawPage(wxDC& dc, int page) const;

 private:
  wxFont PrintFont(wxDC& dc) const;

  std::vector<std::string> lines_;
  ViewerSettings settings_;
  std::vector<PrintedPage> pages_;
  int reduced_to_ = 0;
};

}  // namespace pelikon
