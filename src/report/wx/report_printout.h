// Printing a report: the text laid out on the printer's pages by the print
// plan — the lines per page and margins of the viewer's settings (or, by
// default, none and numbered pages), a form feed line starting a page, and
// "Page n of m" under the last line. Works in the units of a screen pixel
// on every page (printer, preview or file), so a font of n points is n
// points tall on paper.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <wx/print.h>

#include "report/viewer/print_plan.h"
#include "report/viewer/viewer_settings.h"

namespace pelikon {

// The name the viewer goes by, in its title and its print jobs.
inline constexpr const char* kReportViewerName = "Report";
// The print job's name: "%s Printout" with the viewer's name.
std::string ReportJobName();

class ReportPrintout : public wxPrintout {
 public:
  ReportPrintout(const std::string& job_name, const std::string& text, const ViewerSettings& settings);

  // Prints only `lines` (a selection's) when `chosen` says, as printing
  // starts, that the user asked for the selection.
  void OfferSelection(std::vector<std::string> lines, std::function<bool()> chosen);

  // Lays the text out on `dc` for a page of `page` in the DC's units.
  void LayOut(wxDC& dc, wxSize page);
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
  wxFont PrintFont() const;

  std::vector<std::string> lines_;
  std::vector<std::string> selected_lines_;
  std::function<bool()> selection_chosen_;
  ViewerSettings settings_;
  std::vector<PrintedPage> pages_;
  int reduced_to_ = 0;
};

// Prints `printout` through the toolkit's printing, without asking
// anything, to the PostScript file `postscript` (a "%%Page:" section a
// page). False when the file cannot be written or this build has no
// PostScript printing.
bool PrintToPostScript(ReportPrintout& printout, const std::filesystem::path& postscript);
// Prints all of `text` as the viewer would to the PostScript file.
bool PrintReportToFile(const std::string& text, const ViewerSettings& settings,
                       const std::filesystem::path& postscript);

}  // namespace pelikon
