// A new workbook written with libxlsxwriter. Cells arrive in row order, so
// the writer can stream each row out as it goes instead of holding the
// whole sheet.
#include <xlsxwriter.h>

#include <map>
#include <string>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/catalogue.h"
#include "platform/temp_folder.h"
#include "report/xlsx/report_grid.h"
#include "report/xlsx/workbook_export.h"

namespace pelikon {
namespace {

WorkbookExportResult Failed(std::string message) {
  return {false, std::move(message)};
}

class NumberFormats {
 public:
  explicit NumberFormats(lxw_workbook* workbook) : workbook_(workbook) {}
  lxw_format* For(int places) {
    lxw_format*& format = formats_[places];
    if (format == nullptr) {
      format = workbook_add_format(workbook_);
      format_set_num_format(format, xlsx::NumberFormat(places).c_str());
    }
    return format;
  }

 private:
  lxw_workbook* workbook_;
  std::map<int, lxw_format*> formats_;
};

bool WriteCells(lxw_workbook* workbook, lxw_worksheet* sheet, const xlsx::ReportGrid& grid) {
  NumberFormats numbers(workbook);
  lxw_format* heading = workbook_add_format(workbook);
  format_set_bold(heading);
  for (const xlsx::GridCell& cell : grid.cells) {
    const lxw_error error =
        cell.number
            ? worksheet_write_number(sheet, static_cast<lxw_row_t>(cell.row), static_cast<lxw_col_t>(cell.column),
                                     cell.value, numbers.For(cell.places))
            : worksheet_write_string(sheet, static_cast<lxw_row_t>(cell.row), static_cast<lxw_col_t>(cell.column),
                                     cell.text.c_str(), cell.heading ? heading : nullptr);
    if (error != LXW_NO_ERROR) return false;
  }
  return true;
}

}  // namespace

WorkbookExportResult ExportNewWorkbook(const ReportTable& table, const std::filesystem::path& path,
                                       const WorkbookPlacement& placement) {
  xlsx::ReportGrid grid;
  std::string message;
  if (!xlsx::LayOutReport(table, placement, grid, message)) return Failed(message);

  const std::filesystem::path twin = TwinPath(path);
  // The writer's scratch files stay in our private folder, not a shared /tmp.
  std::string scratch = TempFolder().string();
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  options.tmpdir = scratch.empty() ? nullptr : scratch.data();
  lxw_workbook* workbook = workbook_new_opt(twin.c_str(), &options);
  if (workbook == nullptr) return Failed(Tr("Excel Export: Failed to create the workbook."));
  const std::string sheet_name = xlsx::SheetNameFor(placement.sheet);
  lxw_worksheet* sheet = workbook_add_worksheet(workbook, sheet_name.c_str());
  const bool written = sheet != nullptr && WriteCells(workbook, sheet, grid);
  const bool closed = workbook_close(workbook) == LXW_NO_ERROR;
  std::error_code error;
  if (!written || !closed || ReplaceWithTwin(twin, path)) {
    std::filesystem::remove(twin, error);
    return Failed(Tr(xlsx::kSaveFailedMessage));
  }
  return {true, {}};
}

}  // namespace pelikon
