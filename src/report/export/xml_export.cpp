// The report table as a record XML file.
#include <memory>

#include "records/ov_uni_record.h"
#include "records/xml_file.h"
#include "report/export/export_common.h"

namespace pelikon {

namespace {

constexpr const char* kRealType = "real";
constexpr const char* kTextType = "text";

void AddCells(OvUniRecord& record, const ReportTableRow& row, const std::vector<std::string>& names) {
  for (size_t i = 0; i < names.size(); ++i) {
    const ReportTableCell* cell = table_export::PresentCell(row, i);
    if (!cell) continue;
    if (cell->real) {
      record.SetText(names[i], table_export::TrimmedNumber(cell->number), false, kRealType);
    } else {
      record.SetText(names[i], cell->text, false, kTextType);
    }
  }
}

// The row's record, or nullptr when the options leave the row out.
std::unique_ptr<OvUniRecord> RowRecord(const ReportTableRow& row, const std::vector<std::string>& names,
                                       const TableExportOptions& options) {
  std::unique_ptr<OvUniRecord> record;
  switch (row.kind) {
    case ReportTableRowKind::kData:
      record = std::make_unique<OvUniRecord>(std::string(), "row");
      break;
    case ReportTableRowKind::kText:
      if (!options.include_text) return nullptr;
      record = std::make_unique<OvUniRecord>(std::string(), "text");
      record->SetText("text", row.text, false, kTextType);
      return record;
    case ReportTableRowKind::kTotal:
      if (!options.include_totals) return nullptr;
      record = std::make_unique<OvUniRecord>(std::string(), "total");
      record->SetText("caption", row.text, false, kTextType);
      break;
  }
  AddCells(*record, row, names);
  return record;
}

}  // namespace

TableExportResult ExportRecordXml(const ReportTable& table, const std::filesystem::path& path,
                                  const TableExportOptions& options) {
  if (auto refused = table_export::CheckTable(table)) return *refused;
  const std::vector<std::string> names = table_export::ColumnNames(table);
  std::unique_ptr<OvUniRecord> first;
  size_t count = 0;
  for (const ReportTableRow& row : table.rows) {
    std::unique_ptr<OvUniRecord> record = RowRecord(row, names, options);
    if (!record) continue;
    record->SetName(std::to_string(++count));
    if (first) {
      first->Append(std::move(record));
    } else {
      first = std::move(record);
    }
  }
  // XmlText is what WriteXmlFile writes; writing it here keeps the reason
  // of a failure for the user.
  return table_export::WriteExportFile(path, XmlText(first.get()));
}

}  // namespace pelikon
