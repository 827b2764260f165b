// Sending a report table to other programs: a spreadsheet or text file
// (delimited text), the record XML file, an SQLite database file, or any
// SQL database reached through ODBC.
//
// Common to every export:
// * A table without columns is refused; a table without rows still gives
//   a header (files) or an empty table (databases).
// * Numbers are written in the "C" format whatever the user's language;
//   a number that is not finite is written as a missing cell.
// * Files go through a ".new" twin renamed over the target at the end, so
//   a failed export leaves an earlier file as it was.
// * Database columns and XML values are named by the column keys. A key
//   that is empty becomes "column<n>" (n from 1), and one that repeats an
//   earlier name (without regard to case) gets "_2", "_3" ... appended.
// * Failures come back as a result with a text for the user, never as an
//   exception.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "report/report_table.h"

namespace pelikon {

struct TableExportOptions {
  // Text lines of the report as rows of their own (files only).
  bool include_text = false;
  // Totals blocks as rows of their own (files only).
  bool include_totals = false;
};

struct TableExportResult {
  bool ok = true;
  std::string error;  // for the user; empty when ok
};

// Delimited text, one line per row, every line ended by CR LF. The first
// line holds the column headings (a column's note, or its key when the
// note is empty). Numbers carry their column's places.
// * Any separator but a tab: a field holding the separator, a quote, CR or
//   LF is quoted and its quotes doubled (RFC 4180).
// * Tab: nothing is quoted; tabs, CRs and LFs inside a field become blanks.
// Every line has one field per column: a text line is the text followed by
// empty fields; a totals row has its caption in the first field, followed
// by the first column's own total after a blank when there is one.
// A separator that is a quote, CR or LF is refused.
TableExportResult ExportDelimited(const ReportTable& table, const std::filesystem::path& path, char separator,
                                  const TableExportOptions& options = {});

// The text ExportDelimited writes, into `text` (for the clipboard, say).
TableExportResult DelimitedText(const ReportTable& table, char separator, const TableExportOptions& options,
                                std::string& text);

// The record XML file: one record per row, id the row's number in the file
// (from 1). Data rows have the type "row" and one value per present cell,
// typed "real" (the number as "%.14f" without trailing zeros) or "text".
// A text line is a record of type "text" with the value "text"; a totals
// row one of type "total" with the value "caption" before its cells.
TableExportResult ExportRecordXml(const ReportTable& table, const std::filesystem::path& path,
                                  const TableExportOptions& options = {});

// An SQLite database file, created when missing. The table `table_name` is
// dropped and created again, with REAL columns where every present value is
// a number and TEXT ones otherwise; the data rows are inserted, missing
// cells as NULL, all in one transaction that is rolled back on failure.
// Text lines and totals are not written to databases.
TableExportResult ExportSqlite(const ReportTable& table, const std::filesystem::path& path, std::string_view table_name,
                               const TableExportOptions& options = {});

// The same through ODBC. `connection` is a data source name (when it has
// no "=") or a full connection string. Number columns are DOUBLE PRECISION,
// others VARCHAR(n) with n the longest value in bytes (at least 1);
// identifiers are quoted the way the driver says. Errors carry the
// driver's diagnostics.
TableExportResult ExportOdbc(const ReportTable& table, std::string_view connection, std::string_view table_name,
                             const TableExportOptions& options = {});

}  // namespace pelikon
