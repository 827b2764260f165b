// The report sent to a spreadsheet file: a new .xlsx workbook of its own,
// or placed into a sheet of a workbook the user already has.
//
// Layout, from (row, column) — the top left cell, 1-based as typed:
// * the headings (each column's note, its key when the note is empty) on
//   the first line, then one line per row of the table in its order;
// * real cells are numbers (a new workbook shows them with the column's
//   places, "0", "0.000" ...), other present cells are strings, absent
//   cells stay empty;
// * text rows, with `include_text`, put their line in the first column;
// * total rows, with `include_totals`, put their caption in the cell left
//   of the first column, or in the first column itself when the block
//   starts at column 1 and that total cell is empty (left out when neither
//   is free); their values follow the columns as data rows do;
// * `mirror` swaps rows and columns: the headings run down the first
//   column, each line of the report becomes a column.
// A report that does not fit on a sheet (1,048,576 rows, 16,384 columns)
// is refused and nothing is written.
//
// Both write the whole new file beside the target and rename it over the
// target only when complete, so a failure leaves the old file as it was.
// Failures are results: `ok` false and the message to show the user.
#pragma once

#include <filesystem>
#include <string>

#include "report/report_table.h"

namespace pelikon {

struct WorkbookPlacement {
  // Empty: "Report". Characters a sheet name cannot hold ([]:*?/\) become
  // "_", and it is cut to 31 characters.
  std::string sheet;
  int row = 1;  // below 1 counts as 1
  int column = 1;
  bool mirror = false;
  bool include_totals = false;
  bool include_text = false;
};

struct WorkbookExportResult {
  bool ok = false;
  std::string message;  // shown to the user; empty on success
};

// A new workbook at `path` (replacing any file there) with one sheet.
WorkbookExportResult ExportNewWorkbook(const ReportTable& table, const std::filesystem::path& path,
                                       const WorkbookPlacement& placement);

// The report written into the sheet `placement.sheet` (matched without
// regard to case; added as a new last sheet when the workbook has none by
// that name) of the existing workbook at `path`. The cells of the report's
// block are replaced, keeping their cell styles; every other cell, sheet
// and part of the workbook is kept as it was. A protected sheet is refused.
WorkbookExportResult PlaceIntoWorkbook(const ReportTable& table, const std::filesystem::path& path,
                                       const WorkbookPlacement& placement);

}  // namespace pelikon
