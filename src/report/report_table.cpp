#include "report/report_table.h"

#include "report/report_layout.h"

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
    if (include_text_) table_.rows.push_back({ReportTableRowKind::kText, text, {}});
  }
  void Heading(size_t) override {}
  void Data(size_t row) override {
    if (totals_only_) return;
    ReportTableRow line;
    for (size_t f = 0; f < layout_.Used().size(); ++f) {
      ReportTableCell cell;
      if (const ReportToken* token = layout_.Cell(row, f)) {
        cell.present = true;
        cell.real = token->type == kReportReal;
        cell.number = token->real;
        if (!cell.real) cell.text = token->text;
      }
      line.cells.push_back(std::move(cell));
    }
    table_.rows.push_back(std::move(line));
  }
  void Totals(size_t level, const std::vector<std::optional<double>>& values, const std::string& description) override {
    if (!include_totals_) return;
    ReportTableRow line{ReportTableRowKind::kTotal, level == 0 ? "Grand Total" : "Total for " + description, {}};
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

}  // namespace

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
