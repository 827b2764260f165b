// The report as a table: what the spreadsheet view shows and the exports
// write. One column per used field, in order; one row per data entry in
// the report's sorted order, and, when asked for, the text lines and the
// totals blocks where the text report has them.
#pragma once

#include <string>
#include <vector>

namespace pelikon {

struct ReportTableColumn {
  std::string key;
  std::string note;   // the heading
  bool real = false;  // every value of the column is a number
  int places = 3;
};

struct ReportTableCell {
  bool present = false;
  bool real = false;
  double number = 0;
  std::string text;  // string cells
};

enum class ReportTableRowKind { kData, kText, kTotal };

struct ReportTableRow {
  ReportTableRowKind kind = ReportTableRowKind::kData;
  // kText: the line; kTotal: "Grand Total" or "Total for <group>".
  std::string text;
  std::vector<ReportTableCell> cells;  // one per column (kData, kTotal)
};

struct ReportTable {
  std::string title;  // the report's name
  std::vector<ReportTableColumn> columns;
  std::vector<ReportTableRow> rows;
};

struct TextReportInput;

// The report laid out under its used fields, in the text report's order:
// data rows (none with totals only), and, when asked for, the text lines
// and the totals of each group and of the whole.
ReportTable BuildReportTable(const TextReportInput& input, bool include_text, bool include_totals);

}  // namespace pelikon
