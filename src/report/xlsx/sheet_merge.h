// The report's cells written into the XML of a worksheet part. Rows and
// cells stay in ascending order; cells of the sheet outside the report's
// block are kept as written, cells inside it are replaced (a replaced cell
// keeps its style). Strings are written inline, so the shared strings part
// needs no change. The sheet's recorded dimension grows to cover the
// report. Any text is accepted as input: what cannot be read as a sheet is
// reported as malformed, never guessed at.
#pragma once

#include <string>
#include <string_view>

#include "report/xlsx/report_grid.h"

namespace pelikon::xlsx {

enum class SheetMerge { kMerged, kProtected, kMalformed };

struct MergedSheet {
  std::string xml;
  // Cells with formulas were replaced: the workbook's calculation chain,
  // which lists every formula cell, no longer matches the sheet.
  bool formulas_replaced = false;
};

// `merged` is set only for kMerged.
SheetMerge MergeIntoSheet(std::string_view sheet_xml, const ReportGrid& grid, MergedSheet& merged);

// The XML of a worksheet without cells, for a sheet added to a workbook.
std::string EmptySheetXml();

// Reads "B7" as 0-based row 6, column 1; false when it is no cell of a sheet.
bool ParseCellReference(std::string_view reference, int& row, int& column);

}  // namespace pelikon::xlsx
