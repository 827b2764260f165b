#include "report/xlsx/report_grid.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/catalogue.h"

namespace pelikon::xlsx {
namespace {

constexpr int kMaxPlaces = 15;
constexpr size_t kMaxSheetName = 31;

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The longest start of `text` with at most `limit` bytes that does not end
// inside a UTF-8 sequence.
std::string CutUtf8(std::string_view text, size_t limit) {
  if (text.size() <= limit) return std::string(text);
  size_t cut = limit;
  while (cut > 0 && IsContinuationByte(text[cut])) --cut;
  return std::string(text.substr(0, cut));
}

// Lines run down the sheet and fields across it, or the other way round
// when mirrored; this puts each cell at its place.
class GridBuilder {
 public:
  GridBuilder(const WorkbookPlacement& placement, ReportGrid& grid)
      : mirror_(placement.mirror),
        first_row_(std::max(placement.row, 1) - 1),
        first_column_(std::max(placement.column, 1) - 1),
        grid_(grid) {}

  int LineOrigin() const { return mirror_ ? first_column_ : first_row_; }
  int FieldOrigin() const { return mirror_ ? first_row_ : first_column_; }

  void SetBlock(int lines, int fields) {
    grid_.first_row = first_row_;
    grid_.first_column = first_column_;
    grid_.last_row = first_row_ + (mirror_ ? fields : lines) - 1;
    grid_.last_column = first_column_ + (mirror_ ? lines : fields) - 1;
  }

  void Text(int line, int field, std::string_view text, bool heading = false) {
    GridCell& cell = Add(line, field);
    cell.text = CutUtf8(text, kMaxCellText);
    cell.heading = heading;
  }

  void Number(int line, int field, double value, int places) {
    GridCell& cell = Add(line, field);
    cell.number = true;
    cell.value = value;
    cell.places = std::clamp(places, 0, kMaxPlaces);
  }

 private:
  GridCell& Add(int line, int field) {
    GridCell& cell = grid_.cells.emplace_back();
    cell.row = mirror_ ? first_row_ + field : first_row_ + line;
    cell.column = mirror_ ? first_column_ + line : first_column_ + field;
    return cell;
  }

  bool mirror_;
  int first_row_, first_column_;
  ReportGrid& grid_;
};

bool Included(const ReportTableRow& row, const WorkbookPlacement& placement) {
  switch (row.kind) {
    case ReportTableRowKind::kData:
      return true;
    case ReportTableRowKind::kText:
      return placement.include_text;
    case ReportTableRowKind::kTotal:
      return placement.include_totals;
  }
  return false;
}

void AddValues(const ReportTable& table, const ReportTableRow& row, int line, GridBuilder& builder) {
  const size_t count = std::min(row.cells.size(), table.columns.size());
  for (size_t field = 0; field < count; ++field) {
    const ReportTableCell& cell = row.cells[field];
    if (!cell.present) continue;
    // A spreadsheet cannot hold infinities or NaN as numbers; such cells stay empty.
    if (cell.real && std::isfinite(cell.number))
      builder.Number(line, static_cast<int>(field), cell.number, table.columns[field].places);
    else if (!cell.real)
      builder.Text(line, static_cast<int>(field), cell.text);
  }
}

}  // namespace

bool LayOutReport(const ReportTable& table, const WorkbookPlacement& placement, ReportGrid& grid,
                  std::string& message) {
  grid = ReportGrid();
  GridBuilder builder(placement, grid);
  int64_t lines = 1;
  bool text_lines = false;
  for (const ReportTableRow& row : table.rows) {
    if (!Included(row, placement)) continue;
    ++lines;
    text_lines = text_lines || row.kind == ReportTableRowKind::kText;
  }
  const int64_t fields = std::max<int64_t>(static_cast<int64_t>(table.columns.size()), text_lines ? 1 : 0);
  const int64_t line_limit = placement.mirror ? kSheetColumns : kSheetRows;
  const int64_t field_limit = placement.mirror ? kSheetRows : kSheetColumns;
  if (builder.LineOrigin() + lines > line_limit || builder.FieldOrigin() + fields > field_limit) {
    message = placement.mirror && builder.LineOrigin() + lines > line_limit
                  ? Tr("Too many lines of data for mirror output.")
                  : Tr("Excel Export: Failed to fit the report on the sheet.");
    return false;
  }
  builder.SetBlock(static_cast<int>(lines), static_cast<int>(std::max<int64_t>(fields, 1)));

  for (size_t field = 0; field < table.columns.size(); ++field) {
    const ReportTableColumn& column = table.columns[field];
    builder.Text(0, static_cast<int>(field), column.note.empty() ? column.key : column.note, true);
  }
  int line = 0;
  for (const ReportTableRow& row : table.rows) {
    if (!Included(row, placement)) continue;
    ++line;
    if (row.kind == ReportTableRowKind::kText) {
      builder.Text(line, 0, row.text);
      continue;
    }
    if (row.kind == ReportTableRowKind::kTotal) {
      const bool first_free = row.cells.empty() || !row.cells.front().present;
      if (builder.FieldOrigin() > 0)
        builder.Text(line, -1, row.text);
      else if (first_free)
        builder.Text(line, 0, row.text);
    }
    AddValues(table, row, line, builder);
  }
  std::stable_sort(grid.cells.begin(), grid.cells.end(), [](const GridCell& a, const GridCell& b) {
    return a.row != b.row ? a.row < b.row : a.column < b.column;
  });
  return true;
}

std::string NumberFormat(int places) {
  places = std::clamp(places, 0, kMaxPlaces);
  return places == 0 ? "0" : "0." + std::string(static_cast<size_t>(places), '0');
}

std::string SheetNameFor(const std::string& typed) {
  std::string name;
  for (const char c : typed) name += std::string_view("[]:*?/\\").find(c) == std::string_view::npos ? c : '_';
  const size_t first = name.find_first_not_of('\'');
  const size_t last = name.find_last_not_of('\'');
  name = first == std::string::npos ? std::string() : name.substr(first, last - first + 1);
  size_t characters = 0, cut = 0;
  for (; cut < name.size(); ++cut) {
    if (!IsContinuationByte(name[cut]) && ++characters > kMaxSheetName) break;
  }
  name.resize(cut);
  return name.empty() ? "Report" : name;
}

std::string CellReference(int row, int column) {
  std::string letters;
  for (int n = column + 1; n > 0; n = (n - 1) / 26)
    letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
  return letters + std::to_string(row + 1);
}

}  // namespace pelikon::xlsx
