#include "report/export/export_common.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon::table_export {

TableExportResult Failure(std::string error) {
  return TableExportResult{false, std::move(error)};
}

std::optional<TableExportResult> CheckTable(const ReportTable& table) {
  if (table.columns.empty()) return Failure(Tr("The report has no columns to export."));
  return std::nullopt;
}

std::vector<std::string> ColumnNames(const ReportTable& table) {
  std::vector<std::string> names;
  const auto taken = [&names](std::string_view name) {
    return std::any_of(names.begin(), names.end(), [name](const std::string& n) { return EqualsNoCase(n, name); });
  };
  for (size_t i = 0; i < table.columns.size(); ++i) {
    std::string base = table.columns[i].key;
    std::erase(base, '\0');
    if (base.empty()) base = StrPrintf("column%zu", i + 1);
    std::string name = base;
    for (int suffix = 2; taken(name); ++suffix) name = StrPrintf("%s_%d", base.c_str(), suffix);
    names.push_back(std::move(name));
  }
  return names;
}

const ReportTableCell* PresentCell(const ReportTableRow& row, size_t column) {
  if (column >= row.cells.size()) return nullptr;
  const ReportTableCell& cell = row.cells[column];
  if (!cell.present || (cell.real && !std::isfinite(cell.number))) return nullptr;
  return &cell;
}

std::vector<bool> NumberColumns(const ReportTable& table) {
  std::vector<bool> numbers(table.columns.size(), true);
  for (const ReportTableRow& row : table.rows) {
    if (row.kind != ReportTableRowKind::kData) continue;
    for (size_t i = 0; i < numbers.size(); ++i) {
      const ReportTableCell* cell = PresentCell(row, i);
      if (cell && !cell->real) numbers[i] = false;
    }
  }
  return numbers;
}

std::string FixedNumber(double number, int places) {
  char buffer[400];  // the largest double has 309 digits before the point
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::fixed, std::clamp(places, 0, 20));
  if (ec != std::errc()) return {};
  std::string text(buffer, end);
  // A negative number rounded to nothing shows as plain zero.
  if (text[0] == '-' && text.find_first_not_of("0.", 1) == std::string::npos) text.erase(0, 1);
  return text;
}

std::string TrimmedNumber(double number) {
  std::string text = FixedNumber(number, 14);
  const size_t point = text.find('.');
  if (point != std::string::npos) text.erase(std::max(text.find_last_not_of('0') + 1, point + 1));
  return text;
}

std::string CellText(const ReportTableCell& cell, const ReportTableColumn& column) {
  return cell.real ? FixedNumber(cell.number, column.places) : cell.text;
}

std::string QuoteIdentifier(std::string_view name, std::string_view quote) {
  if (quote.empty()) return std::string(name);
  std::string quoted(quote);
  for (size_t pos = 0; pos < name.size();) {
    if (name.substr(pos, quote.size()) == quote) {
      quoted.append(quote).append(quote);
      pos += quote.size();
    } else {
      quoted += name[pos++];
    }
  }
  return quoted.append(quote);
}

TableExportResult WriteExportFile(const std::filesystem::path& path, std::string_view content) {
  if (const std::error_code ec = WriteFileAtomically(path, content)) {
    return Failure(StrPrintf(Tr("Cannot write %s: %s"), path.c_str(), ec.message().c_str()));
  }
  return {};
}

}  // namespace pelikon::table_export
