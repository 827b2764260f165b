#include "report/wx/report_grid_view.h"

#include <algorithm>
#include <climits>

#include <wx/button.h>
#include <wx/clipbrd.h>
#include <wx/menu.h>
#include <wx/sizer.h>

#include "dialogs/wx/plain_message_box.h"
#include "dialogs/wx/wx_text.h"
#include "platform/catalogue.h"
#include "platform/text.h"
#include "report/export/table_export.h"
#include "report/report_edit.h"
#include "report/wx/report_grid_table.h"

namespace pelikon {

namespace {

// Sizing every column to its cells reads every row; past this many rows the
// columns keep the width of their headings.
constexpr int kRowsSizedToFit = 2000;

struct CellBlock {
  int top = 0, left = 0, bottom = -1, right = -1;
};

// The rectangle around every selected cell, or the whole grid.
CellBlock SelectedBlock(const wxGrid& grid) {
  CellBlock block{INT_MAX, INT_MAX, -1, -1};
  for (const wxGridBlockCoords& selected : grid.GetSelectedBlocks()) {
    block.top = std::min(block.top, selected.GetTopRow());
    block.left = std::min(block.left, selected.GetLeftCol());
    block.bottom = std::max(block.bottom, selected.GetBottomRow());
    block.right = std::max(block.right, selected.GetRightCol());
  }
  if (block.bottom < 0) return CellBlock{0, 0, grid.GetNumberRows() - 1, grid.GetNumberCols() - 1};
  return block;
}

}  // namespace

ReportGridView::ReportGridView(wxWindow* parent, Report& report, ReportTable table)
    : wxDialog(parent, wxID_ANY, ToWx(Tr("Report Data")), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      report_(report),
      table_(std::move(table)),
      grid_table_(new ReportGridTable(table_)) {
  grid_ = new wxGrid(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxWANTS_CHARS, "report_grid");
  grid_->SetTable(grid_table_, true, wxGrid::wxGridSelectCells);
  grid_->DisableDragRowSize();
  if (grid_->GetNumberRows() <= kRowsSizedToFit) grid_->AutoSizeColumns(false);
  if (std::any_of(table_.rows.begin(), table_.rows.end(),
                  [](const ReportTableRow& row) { return row.kind == ReportTableRowKind::kTotal; }))
    grid_->SetRowLabelSize(wxGRID_AUTOSIZE);

  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->AddStretchSpacer();
  buttons->Add(new wxButton(this, wxID_CANCEL, ToWx(Tr("&Close"))));
  auto* outer = new wxBoxSizer(wxVERTICAL);
  outer->Add(grid_, wxSizerFlags(1).Expand().Border(wxALL, FromDIP(8)));
  outer->Add(buttons, wxSizerFlags().Expand().Border(wxLEFT | wxRIGHT | wxBOTTOM, FromDIP(8)));
  SetSizer(outer);
  SetSize(FromDIP(wxSize(760, 500)));
  SetMinSize(FromDIP(wxSize(320, 200)));
  SetEscapeId(wxID_CANCEL);
  CentreOnParent();

  grid_->Bind(wxEVT_GRID_COL_SORT, &ReportGridView::OnSort, this);
  grid_->Bind(wxEVT_GRID_CELL_CHANGING, &ReportGridView::OnCellChanging, this);
  grid_->Bind(wxEVT_GRID_CELL_RIGHT_CLICK, &ReportGridView::OnCellRightClick, this);
  grid_->Bind(wxEVT_KEY_DOWN, &ReportGridView::OnKeyDown, this);
  Bind(
      wxEVT_MENU, [this](wxCommandEvent&) { CopySelection(); }, wxID_COPY);
}

// The grid reads the table until it goes, so it goes first.
ReportGridView::~ReportGridView() {
  DestroyChildren();
}

// The grid marks the column sorted once this lets the event through.
void ReportGridView::OnSort(wxGridEvent& event) {
  const int col = event.GetCol();
  if (col < 0 || !TableRowsSortable(table_)) {
    event.Veto();
    return;
  }
  const bool ascending = !(grid_->IsSortingBy(col) && grid_->IsSortOrderAscending());
  grid_table_->SortBy(static_cast<size_t>(col), ascending);
  grid_->ForceRefresh();
}

// The value goes to the report once the editor has closed; the grid then
// shows what the report holds.
void ReportGridView::OnCellChanging(wxGridEvent& event) {
  const int row = event.GetRow();
  const int col = event.GetCol();
  const std::string text = FromWx(event.GetString());
  event.Veto();
  CallAfter([this, row, col, text] { ApplyEdit(row, col, text); });
}

void ReportGridView::ApplyEdit(int row, int col, const std::string& text) {
  if (row < 0 || row >= grid_->GetNumberRows() || col < 0 || col >= grid_->GetNumberCols()) return;
  ReportTableRow& shown = table_.rows[grid_table_->RowAt(row)];
  const ReportTableColumn& column = table_.columns[static_cast<size_t>(col)];
  switch (SetReportValue(report_, shown.entry, column, text)) {
    case ReportEditResult::kNotANumber:
      ShowMessageBox(this, StrPrintf(Tr("\"%s\" is not a number."), text.c_str()), Tr("Report Data"), true);
      return;
    case ReportEditResult::kNotAnEntry:
      return;
    case ReportEditResult::kChanged:
      break;
  }
  shown.cells.resize(table_.columns.size());
  shown.cells[static_cast<size_t>(col)] = TableCellOf(FindToken(shown.entry->tokens, column.key));
  edited_ = true;
  grid_->ForceRefresh();
}

void ReportGridView::OnKeyDown(wxKeyEvent& event) {
  if (event.GetModifiers() == wxMOD_CONTROL && (event.GetKeyCode() == 'C' || event.GetKeyCode() == WXK_INSERT)) {
    CopySelection();
    return;
  }
  event.Skip();
}

void ReportGridView::OnCellRightClick(wxGridEvent&) {
  wxMenu menu;
  menu.Append(wxID_COPY, ToWx(Tr("&Copy")));
  PopupMenu(&menu);
}

std::string ReportGridView::SelectionText() const {
  const CellBlock block = SelectedBlock(*grid_);
  ReportTable copied;
  copied.title = table_.title;
  for (int col = block.left; col <= block.right; ++col)
    copied.columns.push_back(table_.columns[static_cast<size_t>(col)]);
  for (int row = block.top; row <= block.bottom; ++row) {
    const ReportTableRow& shown = table_.rows[grid_table_->RowAt(row)];
    // A text line shows in the first column alone.
    ReportTableRow line{
        shown.kind, shown.kind != ReportTableRowKind::kText || block.left == 0 ? shown.text : "", {}, shown.entry};
    if (shown.kind != ReportTableRowKind::kText) {
      for (int col = block.left; col <= block.right; ++col)
        line.cells.push_back(static_cast<size_t>(col) < shown.cells.size() ? shown.cells[static_cast<size_t>(col)]
                                                                           : ReportTableCell{});
    }
    copied.rows.push_back(std::move(line));
  }
  std::string text;
  if (!DelimitedText(copied, '\t', TableExportOptions{true, true}, text).ok) return {};
  return text;
}

void ReportGridView::CopySelection() {
  const std::string text = SelectionText();
  if (text.empty()) return;
  wxClipboardLocker locker;
  if (!locker) return;
  wxTheClipboard->SetData(new wxTextDataObject(ToWx(text)));
}

bool ShowReportGrid(wxWindow* parent, Formatter& formatter) {
  ReportTable table;
  if (!formatter.BuildTable(false, false, table)) return false;
  ReportGridView view(parent, formatter.EditableReport(), std::move(table));
  view.ShowModal();
  return view.Edited();
}

}  // namespace pelikon
