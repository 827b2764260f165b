// The spreadsheet view's table: a report table's cells read straight from
// it whenever the grid draws (nothing is copied into the grid), in an
// order of rows of the view's choosing. Columns are the table's, headed by
// their notes (their keys when a note is empty). Data rows are numbered;
// a text line shows in the first column, a totals row has its caption as
// its label. Number cells stand to the right with their column's places.
// Only the cells of data rows with a report entry behind them are
// editable.
#pragma once

#include <vector>

#include <wx/grid.h>

#include "report/report_table.h"

namespace pelikon {

class ReportGridTable final : public wxGridTableBase {
 public:
  // `table` must outlive this.
  explicit ReportGridTable(const ReportTable& table);
  ~ReportGridTable() override;

  int GetNumberRows() override;
  int GetNumberCols() override;
  wxString GetValue(int row, int col) override;
  // Edits never land here: the view takes them from the grid's change
  // events into the report and the table, and this shows the outcome.
  void SetValue(int, int, const wxString&) override {}
  bool IsEmptyCell(int row, int col) override;
  wxString GetColLabelValue(int col) override;
  wxString GetRowLabelValue(int row) override;
  bool CanHaveAttributes() override { return true; }
  wxGridCellAttr* GetAttr(int row, int col, wxGridCellAttr::wxAttrKind kind) override;

  // The table's row shown as grid row `row`.
  size_t RowAt(int row) const { return order_[static_cast<size_t>(row)]; }
  // Shows the rows in the order of SortedTableRows.
  void SortBy(size_t column, bool ascending);

 private:
  const ReportTableRow* ShownRow(int row) const;

  const ReportTable& table_;
  std::vector<size_t> order_;
  wxGridCellAttr* number_;         // editable numbers
  wxGridCellAttr* locked_;         // read-only texts
  wxGridCellAttr* locked_number_;  // read-only numbers
};

}  // namespace pelikon
