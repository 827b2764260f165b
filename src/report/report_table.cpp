#include "report/report_table.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "report/report_layout.h"
#include "report/report_sort.h"

namespace pelikon {

namespace {

class TableBuilder : public LayoutSink {
 public:
  TableBuilder(const ReportLayout& layout, ReportTable& table, bool include_text, bool include_totals, bool totals_only)
      : layout_(layout),
        table_(table),
        include_text_(include_text),
        include_totals_(include_totals),
        totals_only_(totals_only) {}

  void Text(const char* text) override {
    if (include_text_) table_.rows.push_back({ReportTableRowKind::kText, text, {}, nullptr});
  }
  void Heading(size_t) override {}
  void Data(size_t row) override {
    if (totals_only_) return;
    ReportTableRow line;
    line.entry = layout_.Entry(row);
    for (size_t f = 0; f < layout_.Used().size(); ++f) line.cells.push_back(TableCellOf(layout_.Cell(row, f)));
    table_.rows.push_back(std::move(line));
  }
  void Totals(size_t level, const std::vector<std::optional<double>>& values, const std::string& description) override {
    if (!include_totals_) return;
    ReportTableRow line{
        ReportTableRowKind::kTotal, level == 0 ? "Grand Total" : "Total for " + description, {}, nullptr};
    for (const std::optional<double>& value : values)
      line.cells.push_back(value ? ReportTableCell{true, true, *value, {}} : ReportTableCell{});
    table_.rows.push_back(std::move(line));
  }

 private:
  const ReportLayout& layout_;
  ReportTable& table_;
  bool include_text_;
  bool include_totals_;
  bool totals_only_;
};

// Missing cells (and numbers that are none, which nothing can be ranked
// against), then numbers, then texts.
int CellRank(const ReportTableCell& cell) {
  if (!cell.present || (cell.real && std::isnan(cell.number))) return 0;
  return cell.real ? 1 : 2;
}

// Negative when `a` goes before `b` in ascending order.
int CompareCells(const ReportTableCell& a, const ReportTableCell& b) {
  const int rank = CellRank(a) - CellRank(b);
  if (rank != 0 || CellRank(a) == 0) return rank;
  if (a.real) return (a.number > b.number) - (a.number < b.number);
  return NaturalCompare(a.text, b.text);
}

}  // namespace

ReportTableCell TableCellOf(const ReportToken* token) {
  ReportTableCell cell;
  if (token == nullptr) return cell;
  cell.present = true;
  cell.real = token->type == kReportReal;
  cell.number = token->real;
  if (!cell.real) cell.text = token->text;
  return cell;
}

bool TableRowsSortable(const ReportTable& table) {
  return std::all_of(table.rows.begin(), table.rows.end(),
                     [](const ReportTableRow& row) { return row.kind == ReportTableRowKind::kData; });
}

std::vector<size_t> SortedTableRows(const ReportTable& table, size_t column, bool ascending) {
  std::vector<size_t> order(table.rows.size());
  std::iota(order.begin(), order.end(), size_t{0});
  if (!TableRowsSortable(table) || column >= table.columns.size()) return order;
  static const ReportTableCell kMissing;
  const auto cell = [&](size_t row) -> const ReportTableCell& {
    const std::vector<ReportTableCell>& cells = table.rows[row].cells;
    return column < cells.size() ? cells[column] : kMissing;
  };
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const int compared = CompareCells(cell(a), cell(b));
    return ascending ? compared < 0 : compared > 0;
  });
  return order;
}

ReportTable BuildReportTable(const TextReportInput& input, bool include_text, bool include_totals) {
  ReportTable table;
  table.title = input.report->Name();
  const ReportLayout layout(input);
  for (size_t f = 0; f < input.used.size(); ++f) {
    const ReportField& field = input.used[f];
    ReportTableColumn column{field.key, field.note, true, field.places};
    bool any = false;
    for (size_t r = 0; r < layout.Rows(); ++r) {
      const ReportToken* token = layout.Cell(r, f);
      if (token == nullptr) continue;
      any = true;
      column.real = column.real && token->type == kReportReal;
    }
    column.real = column.real && any;
    table.columns.push_back(std::move(column));
  }
  TableBuilder builder(layout, table, include_text, include_totals, input.options.totals_only);
  layout.Walk(builder);
  return table;
}

}  // namespace pelikon
