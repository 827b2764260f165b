// The SQL both database exports send: the table dropped, created with one
// column per report column, and filled through a statement with one
// parameter per column.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "report/export/table_export.h"

namespace pelikon::table_export {

// A failure when `table_name` cannot name a table (empty, or holding NUL).
std::optional<TableExportResult> CheckTableName(std::string_view table_name);

struct SqlStatements {
  // Identifiers are quoted with `quote` (none when empty); `column_type`
  // gives the SQL type of each column.
  SqlStatements(const ReportTable& table, std::string_view table_name, std::string_view quote,
                const std::function<std::string(size_t column)>& column_type);

  std::string drop;            // DROP TABLE t
  std::string drop_if_exists;  // DROP TABLE IF EXISTS t
  std::string create;          // CREATE TABLE t (c1 TYPE, ...)
  std::string insert;          // INSERT INTO t (c1, ...) VALUES (?, ...)
};

}  // namespace pelikon::table_export
