// Arbitrary text read as a worksheet part and as the parts that list a
// workbook's sheets. Nothing may crash, and a merged sheet must merge again
// to the very same text: the report's cells, the kept cells and the widened
// dimension are all stable once written. Well-formed text stays well-formed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "report/report_table.h"
#include "report/xlsx/report_grid.h"
#include "report/xlsx/sheet_merge.h"
#include "report/xlsx/workbook_parts.h"
#include "report/xlsx/xml_scan.h"

namespace {

pelikon::ReportTable Table() {
  pelikon::ReportTable table;
  table.columns = {{"A", "Alpha", true, 2}, {"B", "Beta <&>", false, 0}};
  table.rows = {{pelikon::ReportTableRowKind::kData, {}, {{true, true, 1.25, {}}, {true, false, 0, "x\"y"}}},
                {pelikon::ReportTableRowKind::kTotal, "Grand Total", {{true, true, 2.5, {}}, {}}}};
  return table;
}

// Every element closed by its own end tag.
bool WellFormed(std::string_view text) {
  pelikon::xlsx::XmlScanner scanner(text);
  pelikon::xlsx::XmlTag tag;
  size_t end = 0;
  while (scanner.Next(tag)) {
    if (tag.kind == pelikon::xlsx::XmlTagKind::kEnd || !scanner.SkipElement(tag, end)) return false;
  }
  return !scanner.Malformed();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  pelikon::WorkbookPlacement placement;
  placement.row = 1 + (data[0] & 7);
  placement.column = 1 + ((data[0] >> 3) & 7);
  placement.mirror = (data[0] & 0x40) != 0;
  placement.include_totals = (data[0] & 0x80) != 0;
  pelikon::xlsx::ReportGrid grid;
  std::string message;
  if (!pelikon::xlsx::LayOutReport(Table(), placement, grid, message)) std::abort();

  pelikon::xlsx::MergedSheet merged, again;
  if (pelikon::xlsx::MergeIntoSheet(text, grid, merged) == pelikon::xlsx::SheetMerge::kMerged) {
    if (pelikon::xlsx::MergeIntoSheet(merged.xml, grid, again) != pelikon::xlsx::SheetMerge::kMerged ||
        again.xml != merged.xml || again.formulas_replaced || (WellFormed(text) && !WellFormed(merged.xml)))
      std::abort();
  }

  std::string part, workbook(text), relationships(text), content_types(text);
  bool found = false;
  pelikon::xlsx::FindWorkbookPart(text, part);
  pelikon::xlsx::FindSheetPart(text, text, "xl/workbook.xml", "Sheet1", found, part);
  pelikon::xlsx::AddSheet("Report", "xl/worksheets/sheet9.xml", "xl/workbook.xml", workbook, relationships,
                          content_types);
  pelikon::xlsx::DropCalculationChain("xl/workbook.xml", relationships, content_types, part);
  return 0;
}
