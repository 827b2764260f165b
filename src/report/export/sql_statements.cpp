#include "report/export/sql_statements.h"

#include <vector>

#include "platform/catalogue.h"
#include "report/export/export_common.h"

namespace pelikon::table_export {

std::optional<TableExportResult> CheckTableName(std::string_view table_name) {
  if (table_name.empty() || table_name.find('\0') != std::string_view::npos) {
    return Failure(Tr("Please give a name for the database table."));
  }
  return std::nullopt;
}

SqlStatements::SqlStatements(const ReportTable& table, std::string_view table_name, std::string_view quote,
                             const std::function<std::string(size_t column)>& column_type) {
  const std::string name = QuoteIdentifier(table_name, quote);
  drop = "DROP TABLE " + name;
  drop_if_exists = "DROP TABLE IF EXISTS " + name;
  create = "CREATE TABLE " + name + " (";
  insert = "INSERT INTO " + name + " (";
  std::string values;
  const std::vector<std::string> columns = ColumnNames(table);
  for (size_t i = 0; i < columns.size(); ++i) {
    const char* comma = i ? ", " : "";
    const std::string column = QuoteIdentifier(columns[i], quote);
    create += comma + column + " " + column_type(i);
    insert += comma + column;
    values += i ? ", ?" : "?";
  }
  create += ")";
  insert += ") VALUES (" + values + ")";
}

}  // namespace pelikon::table_export
