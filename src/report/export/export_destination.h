// Where the user sends a report table: one of the exports of
// table_export.h with what it needs, checked before anything is written.
#pragma once

#include <filesystem>
#include <string>

#include "report/export/table_export.h"

namespace pelikon {

enum class ExportKind { kDelimited, kTabText, kRecordXml, kSqlite, kOdbc };

struct ExportDestination {
  ExportKind kind = ExportKind::kDelimited;
  std::string separator = ",";        // kDelimited: one character, as typed
  std::filesystem::path file;         // every kind but kOdbc
  std::string connection;             // kOdbc: a data source name or a connection string
  std::string table_name = "report";  // kSqlite, kOdbc
  TableExportOptions options;         // files only
};

// Whether the kind writes a file of its own.
bool ExportWritesFile(ExportKind kind);
// Whether the kind can take the text lines and totals as rows (the text
// files); databases take data rows only.
bool ExportTakesTextAndTotals(ExportKind kind);

// Sends `table` where `destination` says. Refused, with a text for the
// user and nothing written, when the file, the connection or the table
// name is empty, or the separator is not exactly one character.
TableExportResult ExportTable(const ReportTable& table, const ExportDestination& destination);

}  // namespace pelikon
