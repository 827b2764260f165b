#include "report/xlsx/sheet_merge.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <set>
#include <vector>

#include "report/xlsx/xml_scan.h"

namespace pelikon::xlsx {
namespace {

struct Element {
  std::string_view name;        // qualified
  std::string_view attributes;  // of the start tag
  std::string_view xml;         // the whole element
  std::string_view inner;       // between start and end tag
  bool has_reference = false;
};

// The top-level elements of `text` (the content of one element).
bool ReadChildren(std::string_view text, std::vector<Element>& children) {
  XmlScanner scanner(text);
  XmlTag tag;
  while (scanner.Next(tag)) {
    if (tag.kind == XmlTagKind::kEnd) return false;
    size_t end = 0;
    if (!scanner.SkipElement(tag, end)) return false;
    Element& element = children.emplace_back();
    element.name = tag.name;
    element.attributes = tag.attributes;
    element.xml = text.substr(tag.begin, end - tag.begin);
    if (tag.kind == XmlTagKind::kStart) {
      const size_t close = text.rfind('<', end - 1);
      element.inner = text.substr(tag.end, close - tag.end);
    }
  }
  return !scanner.Malformed();
}

bool ParseRowNumber(std::string_view text, int& row) {
  int number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size() || number < 1 || number > kSheetRows) return false;
  row = number - 1;
  return true;
}

// An element's start tag with an r attribute added, for kept rows and cells
// that relied on their position: the report may now stand before them.
std::string WithReference(const Element& element, const std::string& reference) {
  if (element.has_reference) return std::string(element.xml);
  const size_t after_name = 1 + element.name.size();
  return std::string(element.xml.substr(0, after_name)) + " r=\"" + reference + "\"" +
         std::string(element.xml.substr(after_name));
}

bool HasFormula(std::string_view cell_content) {
  XmlScanner scanner(cell_content);
  XmlTag tag;
  while (scanner.Next(tag)) {
    if (LocalName(tag.name) == "f") return true;
  }
  return false;
}

std::string NumberText(double value) {
  char buffer[32];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, written.ptr);
}

class SheetWriter {
 public:
  SheetWriter(const ReportGrid& grid, std::string prefix) : grid_(grid), p_(std::move(prefix)) {}

  bool InBlockRows(int row) const { return row >= grid_.first_row && row <= grid_.last_row; }
  bool FormulasReplaced() const { return formulas_replaced_; }

  // One row, `old` being its element on the sheet (or nullptr), `cells`
  // the report's cells on it.
  bool WriteRow(int row, const Element* old, const GridCell* cells, const GridCell* cells_end, std::string& out) {
    std::map<int, std::string> kept_cells;
    std::map<int, std::string> styles;
    std::set<int> formulas;
    std::string tail;
    if (old != nullptr) {
      std::vector<Element> children;
      if (!ReadChildren(old->inner, children)) return false;
      int column = -1;
      for (Element& child : children) {
        if (LocalName(child.name) != "c") {
          tail += child.xml;
          continue;
        }
        std::string reference, style;
        int reference_row = 0;
        child.has_reference = FindAttribute(child.attributes, "r", reference);
        if (child.has_reference) {
          if (!ParseCellReference(reference, reference_row, column)) return false;
        } else if (++column >= kSheetColumns) {
          return false;
        }
        if (kept_cells.count(column) != 0) return false;
        if (FindAttribute(child.attributes, "s", style)) styles[column] = style;
        if (HasFormula(child.inner)) formulas.insert(column);
        if (InBlockRows(row) && column >= grid_.first_column && column <= grid_.last_column) {
          formulas_replaced_ = formulas_replaced_ || formulas.count(column) != 0;
          continue;
        }
        kept_cells[column] = WithReference(child, CellReference(row, column));
      }
    }
    for (const GridCell* cell = cells; cell != cells_end; ++cell) {
      const auto style = styles.find(cell->column);
      formulas_replaced_ = formulas_replaced_ || formulas.count(cell->column) != 0;
      kept_cells[cell->column] = CellXml(*cell, style == styles.end() ? nullptr : &style->second);
    }
    const std::string attributes =
        old == nullptr ? std::string() : WithoutAttribute(WithoutAttribute(old->attributes, "r"), "spans");
    out += "<" + p_ + "row r=\"" + std::to_string(row + 1) + "\"" + attributes + ">";
    for (const auto& [column, xml] : kept_cells) out += xml;
    out += tail + "</" + p_ + "row>";
    return true;
  }

 private:
  std::string CellXml(const GridCell& cell, const std::string* style) const {
    std::string xml = "<" + p_ + "c r=\"" + CellReference(cell.row, cell.column) + "\"";
    if (style != nullptr) xml += " s=\"" + EscapeXmlText(*style) + "\"";
    if (cell.number) return xml + "><" + p_ + "v>" + NumberText(cell.value) + "</" + p_ + "v></" + p_ + "c>";
    return xml + " t=\"inlineStr\"><" + p_ + "is><" + p_ + "t xml:space=\"preserve\">" + EscapeXmlText(cell.text) +
           "</" + p_ + "t></" + p_ + "is></" + p_ + "c>";
  }

  const ReportGrid& grid_;
  std::string p_;  // the namespace prefix with its colon, or nothing
  bool formulas_replaced_ = false;
};

// The rows of sheetData merged with the report's cells.
bool MergeRows(std::string_view sheet_data, const ReportGrid& grid, const std::string& prefix, std::string& out,
               bool& formulas_replaced) {
  std::vector<Element> children;
  if (!ReadChildren(sheet_data, children)) return false;
  std::map<int, Element*> rows;
  int row = -1;
  for (Element& child : children) {
    if (LocalName(child.name) != "row") continue;
    std::string reference;
    child.has_reference = FindAttribute(child.attributes, "r", reference);
    if (child.has_reference ? !ParseRowNumber(reference, row) : ++row >= kSheetRows) return false;
    if (!rows.emplace(row, &child).second) return false;
  }
  SheetWriter writer(grid, prefix);
  const GridCell* cell = grid.cells.data();
  const GridCell* const cells_end = cell + grid.cells.size();
  auto old = rows.begin();
  while (old != rows.end() || cell != cells_end) {
    const int next = old == rows.end() ? cell->row : cell == cells_end ? old->first : std::min(old->first, cell->row);
    const GridCell* row_end = cell;
    while (row_end != cells_end && row_end->row == next) ++row_end;
    const Element* element = old != rows.end() && old->first == next ? old->second : nullptr;
    if (element != nullptr && row_end == cell && !writer.InBlockRows(next)) {
      out += WithReference(*element, std::to_string(next + 1));
    } else if (!writer.WriteRow(next, element, cell, row_end, out)) {
      return false;
    }
    cell = row_end;
    if (element != nullptr) ++old;
  }
  formulas_replaced = writer.FormulasReplaced();
  return true;
}

// The sheet's dimension widened to hold the grid; empty when it cannot be read.
std::string WidenedDimension(std::string_view attributes, const ReportGrid& grid) {
  std::string reference;
  if (!FindAttribute(attributes, "ref", reference)) return {};
  const size_t colon = reference.find(':');
  const std::string_view text(reference);
  int top = 0, left = 0, bottom = 0, right = 0;
  if (!ParseCellReference(text.substr(0, colon), top, left)) return {};
  if (colon == std::string::npos) {
    bottom = top;
    right = left;
  } else if (!ParseCellReference(text.substr(colon + 1), bottom, right)) {
    return {};
  }
  top = std::min(top, grid.first_row);
  left = std::min(left, grid.first_column);
  bottom = std::max(bottom, grid.last_row);
  right = std::max(right, grid.last_column);
  for (const GridCell& cell : grid.cells) {
    top = std::min(top, cell.row);
    left = std::min(left, cell.column);
  }
  return CellReference(top, left) + ":" + CellReference(bottom, right);
}

}  // namespace

bool ParseCellReference(std::string_view reference, int& row, int& column) {
  size_t letters = 0;
  int number = 0;
  while (letters < reference.size() && letters < 3) {
    const char c = static_cast<char>(reference[letters] & ~0x20);
    if (c < 'A' || c > 'Z') break;
    number = number * 26 + (c - 'A' + 1);
    ++letters;
  }
  if (letters == 0 || number > kSheetColumns) return false;
  column = number - 1;
  return ParseRowNumber(reference.substr(letters), row);
}

SheetMerge MergeIntoSheet(std::string_view sheet_xml, const ReportGrid& grid, MergedSheet& result) {
  XmlScanner scanner(sheet_xml);
  XmlTag tag, sheet_data, dimension;
  size_t sheet_data_end = 0;
  bool found_data = false, found_dimension = false;
  while (scanner.Next(tag)) {
    const std::string_view name = LocalName(tag.name);
    if (name == "sheetProtection") return SheetMerge::kProtected;
    if (tag.kind == XmlTagKind::kEnd) continue;
    if (name == "dimension" && tag.kind == XmlTagKind::kEmpty && !found_data && !found_dimension) {
      dimension = tag;
      found_dimension = true;
    } else if (name == "sheetData" && !found_data) {
      sheet_data = tag;
      found_data = true;
      if (!scanner.SkipElement(tag, sheet_data_end)) return SheetMerge::kMalformed;
    }
  }
  if (scanner.Malformed() || !found_data) return SheetMerge::kMalformed;

  std::string prefix(Prefix(sheet_data.name));
  if (!prefix.empty()) prefix += ':';
  std::string rows;
  const std::string_view content =
      sheet_data.kind == XmlTagKind::kEmpty
          ? std::string_view()
          : sheet_xml.substr(sheet_data.end, sheet_xml.rfind('<', sheet_data_end - 1) - sheet_data.end);
  bool formulas_replaced = false;
  if (!MergeRows(content, grid, prefix, rows, formulas_replaced)) return SheetMerge::kMalformed;

  std::string& merged = result.xml;
  result.formulas_replaced = formulas_replaced;
  merged.clear();
  merged.reserve(sheet_xml.size() + rows.size() - content.size() + 64);
  size_t copied = 0;
  if (found_dimension) {
    const std::string widened = WidenedDimension(dimension.attributes, grid);
    if (!widened.empty()) {
      merged.append(sheet_xml.substr(0, dimension.begin));
      merged += "<" + std::string(dimension.name) + " ref=\"" + widened + "\"/>";
      copied = dimension.end;
    }
  }
  merged.append(sheet_xml.substr(copied, sheet_data.begin - copied));
  // Written as a start tag: attributes that end in "/" would close it again.
  std::string_view attributes = sheet_data.attributes;
  while (!attributes.empty() && attributes.back() == '/') attributes.remove_suffix(1);
  merged += "<" + std::string(sheet_data.name) + std::string(attributes) + ">" + rows + "</" +
            std::string(sheet_data.name) + ">";
  merged.append(sheet_xml.substr(sheet_data_end));
  return SheetMerge::kMerged;
}

std::string EmptySheetXml() {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
         "<dimension ref=\"A1\"/><sheetData/></worksheet>";
}

}  // namespace pelikon::xlsx
