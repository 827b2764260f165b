// Where reporttool sends the report as a table instead of printing its
// text: a CSV, tab-separated or record XML file (standard output when no
// file is named), an SQLite database file, an ODBC data source, or an
// Excel workbook (a new one, or a sheet of one that exists).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "report/report_table.h"

namespace pelikon_tools {

struct TableOutput {
  std::string kind;        // "csv", "tsv", "xml", "sqlite", "odbc"; empty: none
  std::string connection;  // odbc: a data source name or a connection string
  std::filesystem::path output;
  std::string table_name = "report";
  std::filesystem::path workbook;  // an .xlsx: new, or placed into when it exists
  std::string sheet;
  int row = 1;
  int column = 1;
  bool mirror = false;
  bool include_text = false;
  bool include_totals = false;

  bool Wanted() const { return !kind.empty() || !workbook.empty(); }
};

// "csv", "tsv", "xml", "sqlite" or "odbc:CONNECTION"; false for anything else.
bool ParseExportKind(std::string_view text, TableOutput& output);

// Writes the table where `output` says (`scratch`: a folder for a file
// that goes to standard output); false with the reason.
bool WriteTableOutput(const pelikon::ReportTable& table, const TableOutput& output,
                      const std::filesystem::path& scratch, std::string& error);

}  // namespace pelikon_tools
