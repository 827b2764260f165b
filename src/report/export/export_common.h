// What the exports share: the refusal of tables without columns, the names
// and kinds of the columns, numbers in the "C" format, and files written
// through a twin.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/export/table_export.h"

namespace pelikon::table_export {

TableExportResult Failure(std::string error);

// A failure when the table cannot be exported at all (no columns).
std::optional<TableExportResult> CheckTable(const ReportTable& table);

// One name per column: the key, NUL bytes left out; "column<n>" for an
// empty key; "_2", "_3" ... appended to a name already taken (without
// regard to case).
std::vector<std::string> ColumnNames(const ReportTable& table);

// Per column, true when no present cell of a data row is anything but a
// number, so that a database column of numbers can hold it. The cells of
// the other columns are stored as the text they show.
std::vector<bool> NumberColumns(const ReportTable& table);

// The cell of a data or totals row, or nullptr when it is missing (also
// when its number is not finite).
const ReportTableCell* PresentCell(const ReportTableRow& row, size_t column);

// The number with `places` decimals (0 to 20), in the "C" format.
std::string FixedNumber(double number, int places);
// "%.14f" without the trailing zeros of the fraction ("2." for 2).
std::string TrimmedNumber(double number);
// What a present cell shows: its number with the column's places, or its
// text.
std::string CellText(const ReportTableCell& cell, const ReportTableColumn& column);

// `name` between `quote` characters, a quote inside it doubled; `name`
// as it is when `quote` is empty.
std::string QuoteIdentifier(std::string_view name, std::string_view quote);

// Writes `content` to `path` through its twin; a failure names the file and
// the reason.
TableExportResult WriteExportFile(const std::filesystem::path& path, std::string_view content);

}  // namespace pelikon::table_export
