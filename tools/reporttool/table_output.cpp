#include "table_output.h"

#include <cstdio>

#include "platform/atomic_file.h"
#include "platform/catalogue.h"
#include "platform/text.h"
#include "report/export/table_export.h"
#include "report/xlsx/workbook_export.h"

namespace pelikon_tools {

bool ParseExportKind(std::string_view text, TableOutput& output) {
  if (text == "csv" || text == "tsv" || text == "xml" || text == "sqlite") {
    output.kind = std::string(text);
    return true;
  }
  if (text.substr(0, 5) == "odbc:" && text.size() > 5) {
    output.kind = "odbc";
    output.connection = std::string(text.substr(5));
    return true;
  }
  return false;
}

namespace {

bool ExportToFile(const pelikon::ReportTable& table, const TableOutput& output, const std::filesystem::path& file,
                  std::string& error) {
  pelikon::TableExportOptions options;
  options.include_text = output.include_text;
  options.include_totals = output.include_totals;
  pelikon::TableExportResult result;
  if (output.kind == "csv")
    result = pelikon::ExportDelimited(table, file, ',', options);
  else if (output.kind == "tsv")
    result = pelikon::ExportDelimited(table, file, '\t', options);
  else if (output.kind == "xml")
    result = pelikon::ExportRecordXml(table, file, options);
  else
    result = pelikon::ExportSqlite(table, file, output.table_name, options);
  error = result.error;
  return result.ok;
}

// A new workbook, or the report placed into the sheet of one that exists.
bool WriteWorkbook(const pelikon::ReportTable& table, const TableOutput& output, std::string& error) {
  pelikon::WorkbookPlacement placement;
  placement.sheet = output.sheet;
  placement.row = output.row;
  placement.column = output.column;
  placement.mirror = output.mirror;
  placement.include_totals = output.include_totals;
  placement.include_text = output.include_text;
  std::error_code ignored;
  const pelikon::WorkbookExportResult result = std::filesystem::exists(output.workbook, ignored)
                                                   ? pelikon::PlaceIntoWorkbook(table, output.workbook, placement)
                                                   : pelikon::ExportNewWorkbook(table, output.workbook, placement);
  error = result.message;
  return result.ok;
}

bool WriteExport(const pelikon::ReportTable& table, const TableOutput& output, const std::filesystem::path& scratch,
                 std::string& error) {
  if (output.kind == "odbc") {
    pelikon::TableExportOptions options;
    const pelikon::TableExportResult result = pelikon::ExportOdbc(table, output.connection, output.table_name, options);
    error = result.error;
    return result.ok;
  }
  if (!output.output.empty()) return ExportToFile(table, output, output.output, error);
  if (output.kind == "sqlite") {
    error = pelikon::Tr("--export sqlite needs --output FILE");
    return false;
  }
  const std::filesystem::path file = scratch / ("reporttool-export." + output.kind);
  if (!ExportToFile(table, output, file, error)) return false;
  std::string content;
  const bool read = pelikon::ReadWholeFile(file, content);
  std::error_code ignored;
  std::filesystem::remove(file, ignored);
  if (!read || std::fwrite(content.data(), 1, content.size(), stdout) != content.size()) {
    error = pelikon::Tr("cannot write the export to standard output");
    return false;
  }
  return true;
}

}  // namespace

bool WriteTableOutput(const pelikon::ReportTable& table, const TableOutput& output,
                      const std::filesystem::path& scratch, std::string& error) {
  if (!output.kind.empty() && !WriteExport(table, output, scratch, error)) return false;
  return output.workbook.empty() || WriteWorkbook(table, output, error);
}

}  // namespace pelikon_tools
