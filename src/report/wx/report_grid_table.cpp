#include "report/wx/report_grid_table.h"

#include <numeric>

#include "dialogs/wx/wx_text.h"
#include "report/export/export_common.h"

namespace pelikon {

namespace {

wxGridCellAttr* MakeAttr(bool number, bool read_only) {
  auto* attr = new wxGridCellAttr;
  if (number) attr->SetAlignment(wxALIGN_RIGHT, wxALIGN_CENTRE);
  if (read_only) attr->SetReadOnly();
  return attr;
}

}  // namespace

ReportGridTable::ReportGridTable(const ReportTable& table)
    : table_(table),
      order_(table.rows.size()),
      number_(MakeAttr(true, false)),
      locked_(MakeAttr(false, true)),
      locked_number_(MakeAttr(true, true)) {
  std::iota(order_.begin(), order_.end(), size_t{0});
}

ReportGridTable::~ReportGridTable() {
  number_->DecRef();
  locked_->DecRef();
  locked_number_->DecRef();
}

int ReportGridTable::GetNumberRows() {
  return static_cast<int>(order_.size());
}

int ReportGridTable::GetNumberCols() {
  return static_cast<int>(table_.columns.size());
}

const ReportTableRow* ReportGridTable::ShownRow(int row) const {
  if (row < 0 || static_cast<size_t>(row) >= order_.size()) return nullptr;
  return &table_.rows[RowAt(row)];
}

wxString ReportGridTable::GetValue(int row, int col) {
  const ReportTableRow* shown = ShownRow(row);
  if (shown == nullptr || col < 0 || static_cast<size_t>(col) >= table_.columns.size()) return {};
  if (shown->kind == ReportTableRowKind::kText) return col == 0 ? ToWx(shown->text) : wxString();
  const ReportTableCell* cell = table_export::PresentCell(*shown, static_cast<size_t>(col));
  return cell == nullptr ? wxString() : ToWx(table_export::CellText(*cell, table_.columns[static_cast<size_t>(col)]));
}

bool ReportGridTable::IsEmptyCell(int row, int col) {
  return GetValue(row, col).empty();
}

wxString ReportGridTable::GetColLabelValue(int col) {
  if (col < 0 || static_cast<size_t>(col) >= table_.columns.size()) return {};
  const ReportTableColumn& column = table_.columns[static_cast<size_t>(col)];
  return ToWx(column.note.empty() ? column.key : column.note);
}

wxString ReportGridTable::GetRowLabelValue(int row) {
  const ReportTableRow* shown = ShownRow(row);
  if (shown == nullptr || shown->kind == ReportTableRowKind::kText) return {};
  if (shown->kind == ReportTableRowKind::kTotal) return ToWx(shown->text);
  return wxString::Format("%d", row + 1);
}

wxGridCellAttr* ReportGridTable::GetAttr(int row, int col, wxGridCellAttr::wxAttrKind) {
  const ReportTableRow* shown = ShownRow(row);
  if (shown == nullptr || col < 0 || static_cast<size_t>(col) >= table_.columns.size()) return nullptr;
  if (shown->kind == ReportTableRowKind::kText) {
    locked_->IncRef();
    return locked_;
  }
  const bool editable = shown->kind == ReportTableRowKind::kData && shown->entry != nullptr;
  const ReportTableCell* cell = table_export::PresentCell(*shown, static_cast<size_t>(col));
  const bool number = cell != nullptr ? cell->real : table_.columns[static_cast<size_t>(col)].real;
  wxGridCellAttr* attr = editable ? (number ? number_ : nullptr) : (number ? locked_number_ : locked_);
  if (attr != nullptr) attr->IncRef();
  return attr;
}

void ReportGridTable::SortBy(size_t column, bool ascending) {
  order_ = SortedTableRows(table_, column, ascending);
}

}  // namespace pelikon
