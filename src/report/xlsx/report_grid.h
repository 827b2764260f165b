// Where each cell of a report lands on a sheet: the layout described in
// workbook_export.h worked out once for both kinds of export, as cells in
// row-major order with 0-based sheet coordinates.
#pragma once

#include <string>
#include <vector>

#include "platform/catalogue.h"
#include "report/report_table.h"
#include "report/xlsx/workbook_export.h"

namespace pelikon::xlsx {

inline constexpr int kSheetRows = 1048576;
inline constexpr int kSheetColumns = 16384;
inline constexpr int kMaxCellText = 32767;  // characters a cell can hold

// Shown when the finished file cannot be written or put in place.
inline constexpr const char* kSaveFailedMessage = N_("Excel Export: Failed to save the workbook.");

struct GridCell {
  int row = 0;
  int column = 0;
  bool number = false;
  bool heading = false;
  double value = 0;  // finite
  int places = 0;    // 0..15
  std::string text;  // strings, cut to kMaxCellText characters
};

struct ReportGrid {
  std::vector<GridCell> cells;  // by row, then column
  // The report's block, inclusive; the total captions may lie left of it
  // (above it when mirrored).
  int first_row = 0, first_column = 0, last_row = 0, last_column = 0;
};

// Lays the table out; false with the user's message when it does not fit.
bool LayOutReport(const ReportTable& table, const WorkbookPlacement& placement, ReportGrid& grid, std::string& message);

// The number format for `places` decimals: "0", "0.0", "0.00" ...
std::string NumberFormat(int places);

// The sheet name to use for what the user typed (see WorkbookPlacement).
std::string SheetNameFor(const std::string& typed);

// "A1"-style reference of a 0-based cell.
std::string CellReference(int row, int column);

}  // namespace pelikon::xlsx
