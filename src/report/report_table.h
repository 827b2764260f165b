// The report as a table: what the spreadsheet view shows and the exports
// write. One column per used field, in order; one row per data entry in
// the report's sorted order, and, when asked for, the text lines and the
// totals blocks where the text report has them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct ReportNode;
struct ReportToken;

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
  // kData: the report's entry the row shows, for edits to go back to.
  const ReportNode* entry = nullptr;
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

// The cell showing a token (a missing cell for none).
ReportTableCell TableCellOf(const ReportToken* token);

// Whether the rows may be put in another order: only when all are data
// rows, since text lines and totals belong to the rows around them.
bool TableRowsSortable(const ReportTable& table);

// The positions of the table's rows, ordered by the cells of `column`:
// missing cells first, then numbers by value, then texts in the natural
// order (NaturalCompare). Descending turns that order round; rows that
// compare equal keep their order either way. A table whose rows are not
// sortable keeps its order (the positions in turn).
std::vector<size_t> SortedTableRows(const ReportTable& table, size_t column, bool ascending);

}  // namespace pelikon
