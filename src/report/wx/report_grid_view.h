// "Report Data": a report's table in a spreadsheet, run modally over its
// parent.
// * A click on a column heading sorts the rows by that column (ascending;
//   a second click on the same column turns the order round). A table
//   with text lines or totals keeps its order, since those rows belong to
//   the rows around them.
// * A cell of a data row takes what the user types into the report's
//   entry (SetReportValue); a number cell refuses other text with a
//   message and keeps its value. Totals the table holds are those it was
//   built with.
// * Ctrl+C, or "Copy" on a cell's context menu, puts the selected block
//   (the rectangle around every selected cell; the whole table when
//   nothing is selected) on the clipboard as tab-separated text under a
//   line of headings.
#pragma once

#include <string>

#include <wx/dialog.h>
#include <wx/grid.h>

#include "report/formatter.h"
#include "report/report_model.h"
#include "report/report_table.h"

namespace pelikon {

class ReportGridTable;

class ReportGridView : public wxDialog {
 public:
  // `table` was built from `report`, which takes the edits.
  ReportGridView(wxWindow* parent, Report& report, ReportTable table);
  ~ReportGridView() override;

  wxGrid* Grid() const { return grid_; }
  // Whether a value of the report was changed.
  bool Edited() const { return edited_; }
  // What Copy puts on the clipboard.
  std::string SelectionText() const;

 private:
  void OnSort(wxGridEvent& event);
  void OnCellChanging(wxGridEvent& event);
  void ApplyEdit(int row, int col, const std::string& text);
  void OnKeyDown(wxKeyEvent& event);
  void OnCellRightClick(wxGridEvent& event);
  void CopySelection();

  Report& report_;
  ReportTable table_;
  ReportGridTable* grid_table_;  // owned by the grid
  wxGrid* grid_;
  bool edited_ = false;
};

// The formatter's report as a table without text lines and totals, shown
// in the spreadsheet until the user closes it; true when the user changed
// a value of the report. Nothing is shown when the formatter cannot build
// the table (it has said why).
bool ShowReportGrid(wxWindow* parent, Formatter& formatter);

}  // namespace pelikon
