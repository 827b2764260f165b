// Delimited text: comma (or any other) separated values after RFC 4180, and
// tab-separated text, where fields are never quoted.
#include <algorithm>

#include "platform/catalogue.h"
#include "report/export/export_common.h"

namespace pelikon {

namespace {

using table_export::CellText;
using table_export::PresentCell;

class DelimitedWriter {
 public:
  explicit DelimitedWriter(char separator) : separator_(separator) {}

  void Field(std::string_view text) {
    if (!at_line_start_) out_ += separator_;
    at_line_start_ = false;
    if (separator_ == '\t') {
      const size_t start = out_.size();
      out_ += text;
      std::replace_if(
          out_.begin() + static_cast<std::ptrdiff_t>(start), out_.end(),
          [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    } else if (text.find_first_of(std::string{separator_, '"', '\r', '\n'}) != std::string_view::npos) {
      out_ += '"';
      for (const char c : text) {
        if (c == '"') out_ += '"';
        out_ += c;
      }
      out_ += '"';
    } else {
      out_ += text;
    }
  }
  void EmptyFields(size_t count) {
    for (size_t i = 0; i < count; ++i) Field({});
  }
  void EndLine() {
    out_ += "\r\n";
    at_line_start_ = true;
  }
  const std::string& Text() const { return out_; }

 private:
  char separator_;
  std::string out_;
  bool at_line_start_ = true;
};

void WriteCells(DelimitedWriter& writer, const ReportTable& table, const ReportTableRow& row, size_t first) {
  for (size_t i = first; i < table.columns.size(); ++i) {
    const ReportTableCell* cell = PresentCell(row, i);
    writer.Field(cell ? CellText(*cell, table.columns[i]) : std::string());
  }
}

void WriteRow(DelimitedWriter& writer, const ReportTable& table, const ReportTableRow& row,
              const TableExportOptions& options) {
  const size_t width = table.columns.size();
  switch (row.kind) {
    case ReportTableRowKind::kData:
      WriteCells(writer, table, row, 0);
      break;
    case ReportTableRowKind::kText:
      if (!options.include_text) return;
      writer.Field(row.text);
      writer.EmptyFields(width - 1);
      break;
    case ReportTableRowKind::kTotal: {
      if (!options.include_totals) return;
      // The caption takes the first field; that column's own total, when it
      // has one, stays beside it rather than being lost.
      const ReportTableCell* first = PresentCell(row, 0);
      writer.Field(first ? row.text + " " + CellText(*first, table.columns[0]) : row.text);
      WriteCells(writer, table, row, 1);
      break;
    }
  }
  writer.EndLine();
}

}  // namespace

TableExportResult DelimitedText(const ReportTable& table, char separator, const TableExportOptions& options,
                                std::string& text) {
  if (auto refused = table_export::CheckTable(table)) return *refused;
  if (separator == '"' || separator == '\r' || separator == '\n') {
    return table_export::Failure(Tr("A quote or a line end cannot separate the fields."));
  }
  DelimitedWriter writer(separator);
  for (const ReportTableColumn& column : table.columns) writer.Field(column.note.empty() ? column.key : column.note);
  writer.EndLine();
  for (const ReportTableRow& row : table.rows) WriteRow(writer, table, row, options);
  text = writer.Text();
  return {};
}

TableExportResult ExportDelimited(const ReportTable& table, const std::filesystem::path& path, char separator,
                                  const TableExportOptions& options) {
  std::string text;
  const TableExportResult made = DelimitedText(table, separator, options, text);
  if (!made.ok) return made;
  return table_export::WriteExportFile(path, text);
}

}  // namespace pelikon
