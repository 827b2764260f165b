#include "report/export/export_destination.h"

#include "platform/catalogue.h"
#include "platform/text.h"
#include "report/export/export_common.h"

namespace pelikon {

bool ExportWritesFile(ExportKind kind) {
  return kind != ExportKind::kOdbc;
}

bool ExportTakesTextAndTotals(ExportKind kind) {
  return kind == ExportKind::kDelimited || kind == ExportKind::kTabText || kind == ExportKind::kRecordXml;
}

TableExportResult ExportTable(const ReportTable& table, const ExportDestination& destination) {
  using table_export::Failure;
  const ExportKind kind = destination.kind;
  if (ExportWritesFile(kind) && destination.file.empty()) return Failure(Tr("Please choose a file to export to."));
  if (kind == ExportKind::kOdbc && Trim(destination.connection).empty())
    return Failure(Tr("Please enter an ODBC data source or connection string."));
  if ((kind == ExportKind::kSqlite || kind == ExportKind::kOdbc) && Trim(destination.table_name).empty())
    return Failure(Tr("Please enter a table name."));
  switch (kind) {
    case ExportKind::kDelimited:
      if (destination.separator.size() != 1) return Failure(Tr("The separator must be a single character."));
      return ExportDelimited(table, destination.file, destination.separator[0], destination.options);
    case ExportKind::kTabText:
      return ExportDelimited(table, destination.file, '\t', destination.options);
    case ExportKind::kRecordXml:
      return ExportRecordXml(table, destination.file, destination.options);
    case ExportKind::kSqlite:
      return ExportSqlite(table, destination.file, Trim(destination.table_name));
    case ExportKind::kOdbc:
      return ExportOdbc(table, Trim(destination.connection), Trim(destination.table_name));
  }
  return Failure(Tr("Unknown export destination."));
}

}  // namespace pelikon
