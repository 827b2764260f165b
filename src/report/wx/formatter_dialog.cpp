#include "report/wx/formatter_dialog.h"

#include <wx/choice.h>
#include <wx/listbox.h>

#include <array>
#include <charconv>
#include <string_view>
#include <utility>

#include "dialogs/wx/ez_dialog.h"
#include "dialogs/wx/plain_message_box.h"
#include "dialogs/wx/wx_text.h"
#include "platform/catalogue.h"
#include "platform/text.h"
#include "report/formatter.h"
#include "report/report_session.h"
#include "report/wx/attribute_dialogs.h"
#include "report/wx/export_destination_dialog.h"
#include "report/wx/report_grid_view.h"
#include "report/xlsx/workbook_export.h"

namespace pelikon {

namespace {

// The sort-mode radio buttons, in the order of their modes' numbers.
constexpr std::array<std::pair<std::string_view, SortMode>, 5> kSortRadios{{
    {"none", SortMode::kHold},
    {"ascend", SortMode::kUp},
    {"descend", SortMode::kDown},
    {"collapse", SortMode::kCollapse},
    {"ignore", SortMode::kIgnore},
}};

constexpr std::array<std::string_view, 3> kTabs{"tab_report", "tab_excel", "tab_importexport"};

// The workbook written last in this run: what "Current" writes into.
std::filesystem::path& CurrentWorkbook() {
  static std::filesystem::path workbook;
  return workbook;
}

bool ReadNumber(const std::string& text, int& number) {
  const std::string trimmed(Trim(text));
  const auto [end, error] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), number);
  return error == std::errc() && end == trimmed.data() + trimmed.size() && !trimmed.empty();
}

std::string FieldName(const ReportField& field) {
  return field.note.empty() ? field.key : field.note;
}

class FormatterDialog {
 public:
  FormatterDialog(Formatter& formatter, ReportFilePicker pick) : formatter_(formatter), pick_(std::move(pick)) {}

  void Run(wxWindow* parent) {
    FormFrame frame;
    frame.title = Tr("Report Formatter Options");
    if (!form_.Create(parent, frame)) return;
    Build();
    ShowFormats();
    ShowFields(-1);
    ShowOptions();
    form_.ShowPage(kReportPage);
    ShowTabs();
    form_.LayOutAndShow(true, true);
    form_.RunModal();
    ReadOptions();
  }

 private:
  // ---- Building ---------------------------------------------------------------
  void Button(const char* name, int width, const std::string& caption, const std::string& tip) {
    form_.AddButton(name, width, caption, on_tile_);
    form_.SetToolTip(name, tip);
  }
  void Check(const char* name, int width, const std::string& caption, const std::string& tip = {}) {
    form_.AddTile(name, TileType::kCheckBox, width, caption);
    form_.RegisterCallback(name, on_tile_, kEventClick);
    if (!tip.empty()) form_.SetToolTip(name, tip);
  }
  void Radio(std::string_view name, int width, const std::string& caption, const std::string& tip = {}) {
    form_.AddTile(std::string(name), TileType::kRadioButton, width, caption);
    form_.RegisterCallback(name, on_tile_, kEventClick);
    if (!tip.empty()) form_.SetToolTip(name, tip);
  }
  void Edit(const char* name, int width, const std::string& tip) {
    form_.AddEdit(name, width, "");
    form_.SetToolTip(name, tip);
  }

  void Build() {
    on_tile_ = [this](PopDialog& host, const std::string& tile, int event) { OnTile(host, tile, event); };

    form_.AddLabel("format_label", 8, kAlignLeft, Tr("Format:"));
    form_.AddTile("namelist", TileType::kDropDown, 24, "");
    form_.RegisterCallback("namelist", on_tile_, kEventItemChange);
    form_.SetToolTip("namelist", Tr("Previously saved report formats"));
    Edit("name", 20, Tr("Format name for saving"));
    Button("save", 9, Tr("&Save"), Tr("Save current format for future use"));
    Button("delete", 9, Tr("&Delete"), Tr("Delete current format"));
    Button("exportfmt", 9, Tr("&Export"), Tr("Export formats into a file"));
    Button("importfmt", 9, Tr("&Import"), Tr("Import formats from a file"));
    form_.RowBreak();

    form_.BeginColumn("free_column", "");
    form_.AddLabel("free_label", 26, kAlignLeft, Tr("Available"));
    form_.RowBreak();
    form_.AddTile("freelist", TileType::kListBox, 26, "", TileOptions{.height = 12});
    form_.RegisterCallback("freelist", on_tile_, kEventDoubleClick);
    form_.SetToolTip("freelist", Tr("Available data fields"));
    form_.EndColumn();

    form_.BeginColumn("move_column", "");
    form_.AddLabel("move_space", 12, kAlignLeft, "");
    form_.RowBreak();
    Button("add", 12, Tr("&Add >"), Tr("Add data field to be displayed."));
    form_.RowBreak();
    Button("remove", 12, Tr("&Remove <"), Tr("Remove data field from the displayed list."));
    form_.RowBreak();
    Button("up", 12, Tr("&Move Up"), Tr("Move data field to be higher priority."));
    form_.RowBreak();
    Button("down", 12, Tr("M&ove Down"), Tr("Move data field to be lower priority."));
    form_.EndColumn();

    form_.BeginColumn("used_column", "");
    form_.AddLabel("used_label", 36, kAlignLeft, Tr("Used                             Sort order"));
    form_.RowBreak();
    form_.AddTile("usedlist", TileType::kListBox, 36, "", TileOptions{.height = 12});
    form_.RegisterCallback("usedlist", on_tile_, kEventItemChange | kEventDoubleClick);
    form_.SetToolTip("usedlist", Tr("Data fields to be displayed."));
    form_.EndColumn();

    form_.BeginColumn("sort_column", Tr("Sort Field:"));
    Radio("none", 10, Tr("Hold"), Tr("Data field is not sortable."));
    form_.RowBreak();
    Radio("ascend", 10, Tr("Up"), Tr("Data field sorts in ascending order"));
    form_.RowBreak();
    Radio("descend", 10, Tr("Down"), Tr("Data field sorts in descending order"));
    form_.RowBreak();
    Radio("ignore", 10, Tr("Ignore"), Tr("Data field ignored for sorting"));
    form_.RowBreak();
    Radio("collapse", 10, Tr("Collapse"), Tr("Data field is hidden, lower fields totaled."));
    form_.EndColumn();
    form_.RowBreak();

    Check("columns", 16, Tr("&Columnar format"));
    Radio("auto", 10, Tr("Auto-width"), Tr("Auto fit column width, depending on data"));
    Radio("fixed", 10, Tr("Fixed width"), Tr("Columns of fixed user-defined width"));
    Edit("width", 5, Tr("Fixed Column width"));
    form_.RegisterCallback("width", on_tile_, kEventEnter);
    Check("ignorerep", 20, Tr("&Ignore repeating fields"));
    form_.RowBreak();
    Check("totalsonly", 16, Tr("&Totals Only"));
    form_.AddLabel("total_label", 6, kAlignRight, Tr("Total: "));
    form_.AddTile("totalsdepth", TileType::kDropDown, 30, "");
    form_.RegisterCallback("totalsdepth", on_tile_, kEventItemChange);
    form_.SetToolTip("totalsdepth", Tr("Number of top fields to sub-total"));
    Check("use_commas", 20, Tr("Us&e commas in numbers"));
    form_.RowBreak();

    // The tabs: one button per page, the shown page's own disabled.
    Button("tab_report", 14, Tr("Report"), "");
    Button("tab_excel", 14, Tr("MS Excel"), "");
    Button("tab_importexport", 14, Tr("Import/Export"), "");
    form_.RowBreak();

    form_.SetTilePage(kReportPage);
    Button("display", 16, Tr("&Display"), Tr("View Text Report"));
    Button("spread", 16, Tr("&Spreadsheet"), Tr("View Report Data in Spreadsheet"));
    Button("userattr", 22, Tr("&Edit User Attributes"), Tr("Add/Update user-defined attribute equations"));
    Button("attrsets", 16, Tr("&Attr. Options"), Tr("Modify apperance and behavior of calculated field"));
    form_.RowBreak();

    form_.SetTilePage(kExcelPage);
    Radio("new", 10, Tr("New"));
    Radio("current", 10, Tr("Current"));
    Radio("open", 10, Tr("Existing"));
    form_.AddLabel("file_label", 5, kAlignRight, Tr("File:"));
    form_.AddEdit("filename", 30, "");
    Button("select", 9, Tr("&Select"), Tr("Select an Excel file"));
    form_.RowBreak();
    form_.AddLabel("sheet_label", 5, kAlignRight, Tr("Sheet"));
    form_.AddEdit("sheet", 14, "");
    form_.AddLabel("row_label", 9, kAlignRight, Tr("Start Row"));
    form_.AddEdit("row", 5, "1");
    form_.AddLabel("col_label", 3, kAlignRight, Tr("Col"));
    form_.AddEdit("col", 5, "1");
    form_.RowBreak();
    Check("mirror", 16, Tr("&Mirror Output"), Tr("Flip output row and columns"));
    Check("exceltotal", 16, Tr("&Include Totals"));
    Check("exceltext", 20, Tr("&Include Text Lines"));
    Button("excel", 16, Tr("&Export to Excel"), "");
    form_.RowBreak();

    form_.SetTilePage(kImportExportPage);
    Button("export", 26, Tr("&Export to Text/ASCII File"), Tr("Output report data to external data form"));
    Button("merge", 12, Tr("&Merge"), Tr("Merge in another report"));
    Button("saverpt", 14, Tr("&Save Report"), Tr("Save report into a file"));
    form_.RowBreak();

    form_.SetTilePage(-1);
    form_.AddLabel("exit_space", 0, kAlignLeft, "");
    Button("exit", 10, Tr("&Exit"), Tr("Exit Report Formatter"));

    // Fixed pitch, so that the sort modes line up after the names.
    if (wxWindow* used = form_.FindControl("usedlist"))
      used->SetFont(wxFontInfo(used->GetFont().GetPointSize()).Family(wxFONTFAMILY_TELETYPE));
    form_.SetText("new", "1");
  }

  // ---- Showing the state ----------------------------------------------------------
  void ShowFormats() {
    auto* list = dynamic_cast<wxChoice*>(form_.FindControl("namelist"));
    if (list == nullptr) return;
    list->Clear();
    int selected = wxNOT_FOUND;
    for (const ReportFormat& format : ReadFormats(formatter_.Setup().data_folder / kFormatsFile)) {
      const int at = list->Append(ToWx(format.name));
      if (EqualsNoCase(format.name, formatter_.FormatName())) selected = at;
    }
    list->SetSelection(selected);
    form_.SetText("name", formatter_.FormatName());
  }

  // Rebuilds both lists, the sort mode and the total choices; `used`
  // is the used row to select (-1: the first, when there is one).
  void ShowFields(int used) {
    auto* free_list = dynamic_cast<wxListBox*>(form_.FindControl("freelist"));
    auto* used_list = dynamic_cast<wxListBox*>(form_.FindControl("usedlist"));
    if (free_list == nullptr || used_list == nullptr) return;
    const FieldLists& fields = formatter_.Fields();
    wxArrayString free_rows, used_rows;
    for (const ReportField& field : fields.Available()) free_rows.Add(ToWx(FieldName(field)));
    for (const ReportField& field : fields.Used()) used_rows.Add(ToWx(FieldLists::UsedRow(field)));
    free_list->Set(free_rows);
    used_list->Set(used_rows);
    if (!free_rows.empty()) free_list->SetSelection(0);
    if (used < 0 || used >= static_cast<int>(used_rows.size())) used = used_rows.empty() ? -1 : 0;
    if (used >= 0) used_list->SetSelection(used);
    ShowSortMode();

    auto* depth = dynamic_cast<wxChoice*>(form_.FindControl("totalsdepth"));
    if (depth == nullptr) return;
    wxArrayString choices;
    for (const std::string& choice : fields.TotalsDepthChoices()) choices.Add(ToWx(choice));
    depth->Set(choices);
    FormatOptions& options = formatter_.Options();
    options.totals_depth = std::clamp(options.totals_depth, 0, static_cast<int>(choices.size()) - 1);
    depth->SetSelection(options.totals_depth);
  }

  int SelectedUsed() const {
    std::string text;
    form_.GetText("usedlist", text);
    int index = -1;
    ReadNumber(text, index);
    return index < static_cast<int>(formatter_.Fields().Used().size()) ? index : -1;
  }

  void ShowSortMode() {
    const int used = SelectedUsed();
    for (const auto& [name, mode] : kSortRadios) {
      form_.Enable(name, used >= 0);
      if (used >= 0)
        form_.SetText(name, formatter_.Fields().Used()[static_cast<size_t>(used)].sort == mode ? "1" : "0");
    }
  }

  void ShowOptions() {
    const FormatOptions& options = formatter_.Options();
    form_.SetText("columns", options.columns ? "1" : "0");
    form_.SetText(options.fixed ? "fixed" : "auto", "1");
    form_.SetText("width", StrPrintf("%d", options.width));
    form_.Enable("width", options.fixed);
    form_.SetText("ignorerep", options.ignore_repeats ? "1" : "0");
    form_.SetText("totalsonly", options.totals_only ? "1" : "0");
    form_.SetText("totalsdepth", StrPrintf("%d", options.totals_depth));
    form_.SetText("use_commas", options.use_commas ? "1" : "0");
    form_.SetText("exceltotal", options.excel_total ? "1" : "0");
    form_.SetText("exceltext", options.excel_text ? "1" : "0");
  }

  bool Checked(std::string_view name) const {
    std::string text;
    form_.GetText(name, text);
    return text == "1";
  }

  // The controls' options into the formatter.
  void ReadOptions() {
    FormatOptions& options = formatter_.Options();
    options.columns = Checked("columns");
    options.fixed = Checked("fixed");
    std::string text;
    int number = 0;
    form_.GetText("width", text);
    if (ReadNumber(text, number) && number > 0) options.width = number;
    options.ignore_repeats = Checked("ignorerep");
    options.totals_only = Checked("totalsonly");
    form_.GetText("totalsdepth", text);
    if (ReadNumber(text, number) && number >= 0) options.totals_depth = number;
    options.use_commas = Checked("use_commas");
    options.excel_total = Checked("exceltotal");
    options.excel_text = Checked("exceltext");
  }

  void ShowTabs() {
    for (size_t page = 0; page < kTabs.size(); ++page)
      form_.Enable(kTabs[page], static_cast<int>(page) != form_.CurrentPage());
  }

  void Tell(const std::string& text) { formatter_.Port().ShowMessage(text); }

  std::filesystem::path Pick(PopDialog& host, const std::string& title, const std::string& extension, bool save) {
    const FilePick pick{title, ReportSession::Instance().StartFolder(), extension, save};
    return pick_ ? pick_(pick) : PickFileOnDesktop(&host, pick);
  }

  // ---- Acting ---------------------------------------------------------------------
  void OnTile(PopDialog& host, const std::string& tile, int event) {
    ReadOptions();
    const int used = SelectedUsed();
    FieldLists& fields = formatter_.Fields();
    if (tile == "exit") {
      form_.End(0);
    } else if (tile == "namelist") {
      auto* list = dynamic_cast<wxChoice*>(form_.FindControl("namelist"));
      if (list != nullptr && list->GetSelection() != wxNOT_FOUND &&
          formatter_.LoadFormat(FromWx(list->GetString(static_cast<unsigned>(list->GetSelection()))))) {
        form_.SetText("name", formatter_.FormatName());
        ShowFields(-1);
        ShowOptions();
      }
    } else if (tile == "save" || tile == "delete") {
      SaveOrDeleteFormat(tile == "save");
    } else if (tile == "exportfmt") {
      const std::filesystem::path file = Pick(host, Tr("Select an export format file name"), "fms", true);
      if (!file.empty() && !formatter_.ExportFormats(file))
        Tell(StrPrintf(Tr("Can't write file %s"), file.string().c_str()));
    } else if (tile == "importfmt") {
      ImportFormats(host);
    } else if (tile == "freelist" || tile == "add") {
      AddField();
    } else if (tile == "remove" || (tile == "usedlist" && event == kEventDoubleClick)) {
      if (used >= 0 && fields.Remove(static_cast<size_t>(used))) ShowFields(used);
    } else if (tile == "up") {
      if (used > 0 && fields.MoveUp(static_cast<size_t>(used))) ShowFields(used - 1);
    } else if (tile == "down") {
      if (used >= 0 && fields.MoveDown(static_cast<size_t>(used))) ShowFields(used + 1);
    } else if (tile == "usedlist") {
      ShowSortMode();
    } else if (IsSortRadio(tile)) {
      for (const auto& [name, mode] : kSortRadios)
        if (name == tile && used >= 0) fields.SetSort(static_cast<size_t>(used), mode);
      ShowFields(used);
    } else if (tile == "fixed" || tile == "auto") {
      form_.Enable("width", tile == "fixed");
    } else if (tile == "tab_report" || tile == "tab_excel" || tile == "tab_importexport") {
      for (size_t page = 0; page < kTabs.size(); ++page)
        if (kTabs[page] == tile) form_.ShowPage(static_cast<int>(page));
      ShowTabs();
    } else {
      Send(host, tile);
    }
  }

  static bool IsSortRadio(const std::string& tile) {
    for (const auto& radio : kSortRadios)
      if (radio.first == tile) return true;
    return false;
  }

  // The report sent somewhere, or an option dialog of its fields.
  void Send(PopDialog& host, const std::string& tile) {
    if (tile == "display") {
      formatter_.Display();
    } else if (tile == "spread") {
      ShowReportGrid(&host, formatter_);
    } else if (tile == "export") {
      if (formatter_.CanExport()) RunDataExport(&host, formatter_);
    } else if (tile == "userattr" || tile == "attrsets") {
      if (formatter_.ReportIsEmpty()) {
        Tell(Tr("The report is empty. No options are available for an empty report"));
        return;
      }
      if (tile == "userattr")
        RunUserAttributesDialog(&host, formatter_);
      else
        RunAttributeDisplayDialog(&host, formatter_);
      formatter_.ReloadAttributes();
      ShowFields(SelectedUsed());
    } else if (tile == "select") {
      const std::filesystem::path file = Pick(host, Tr("Select an Excel file"), "xlsx", false);
      if (!file.empty()) {
        form_.SetText("filename", file.string());
        form_.SetText("open", "1");
      }
    } else if (tile == "excel") {
      if (formatter_.CanExport()) ExportToExcel(host);
    } else if (tile == "merge") {
      const std::filesystem::path file = Pick(host, Tr("Select a file to merge report from"), "rpt", false);
      if (file.empty()) return;
      if (!formatter_.MergeReport(file)) Tell(StrPrintf(Tr("Unable to read report file %s"), file.string().c_str()));
      ShowFields(SelectedUsed());
    } else if (tile == "saverpt") {
      const std::filesystem::path file = Pick(host, Tr("Select a file to save report to"), "rpt", true);
      if (!file.empty() && !formatter_.SaveReport(file))
        Tell(StrPrintf(Tr("Can't write file %s"), file.string().c_str()));
    }
  }

  void AddField() {
    std::string text;
    form_.GetText("freelist", text);
    int index = -1;
    const std::vector<ReportField>& available = formatter_.Fields().Available();
    if (!ReadNumber(text, index) || index < 0 || index >= static_cast<int>(available.size())) return;
    const ReportField field = available[static_cast<size_t>(index)];
    if (formatter_.Fields().Use(field.key, field.sort))
      ShowFields(static_cast<int>(formatter_.Fields().Used().size()) - 1);
  }

  void SaveOrDeleteFormat(bool save) {
    std::string name;
    form_.GetText("name", name);
    name = std::string(Trim(name));
    if (name.empty()) {
      Tell(Tr("Please specify format name"));
      return;
    }
    if (save && !formatter_.SaveFormat(name)) {
      Tell(StrPrintf(Tr("Can't write file %s"), (formatter_.Setup().data_folder / kFormatsFile).string().c_str()));
      return;
    }
    if (!save && !formatter_.DeleteFormat(name)) {
      Tell(StrPrintf(Tr("Format '%s' is not found"), name.c_str()));
      return;
    }
    ShowFormats();
    if (!save) form_.SetText("name", "");
  }

  void ImportFormats(PopDialog& host) {
    const std::filesystem::path file = Pick(host, Tr("Select a formats file to import"), "fms", false);
    if (file.empty()) return;
    if (!AskOkCancel(&host, Tr("Importing formats file will overwrite a \ncurrent set of report formats. Continue?"),
                     Tr("Warning")))
      return;
    if (!formatter_.ImportFormats(file))
      Tell(StrPrintf(Tr("Can't write file %s"), (formatter_.Setup().data_folder / kFormatsFile).string().c_str()));
    ShowFormats();
  }

  void ExportToExcel(PopDialog& host) {
    FormatOptions& options = formatter_.Options();
    if (!options.excel_total && options.totals_only) {
      Tell(Tr("Turning on 'Include Totals' to prevent empty output\n"));
      options.excel_total = true;
      form_.SetText("exceltotal", "1");
    }
    WorkbookPlacement placement;
    placement.mirror = Checked("mirror");
    placement.include_totals = options.excel_total;
    placement.include_text = options.excel_text;
    std::filesystem::path file;
    if (Checked("open")) {
      std::string text;
      form_.GetText("filename", text);
      file = std::string(Trim(text));
      form_.GetText("sheet", placement.sheet);
      int number = 1;
      form_.GetText("row", text);
      if (ReadNumber(text, number)) placement.row = number;
      form_.GetText("col", text);
      if (ReadNumber(text, number)) placement.column = number;
      if (file.empty()) {
        Tell(Tr("Unable to open specified spreadsheet file"));
        return;
      }
    } else if (Checked("current") && !CurrentWorkbook().empty()) {
      file = CurrentWorkbook();
    } else {
      file = Pick(host, Tr("Select an Excel file"), "xlsx", true);
      if (file.empty()) return;
    }
    ReportTable table;
    if (!formatter_.BuildTable(placement.include_text, placement.include_totals, table)) return;
    const bool into_existing = Checked("open") || (Checked("current") && !CurrentWorkbook().empty());
    const WorkbookExportResult result =
        into_existing ? PlaceIntoWorkbook(table, file, placement) : ExportNewWorkbook(table, file, placement);
    if (!result.ok) {
      Tell(result.message);
      return;
    }
    CurrentWorkbook() = file;
    Tell(Tr("Export completed."));
  }

  Formatter& formatter_;
  ReportFilePicker pick_;
  EZDialog form_;
  TileCallback on_tile_;
};

}  // namespace

void RunFormatterDialog(wxWindow* parent, Formatter& formatter, ReportFilePicker pick) {
  FormatterDialog dialog(formatter, std::move(pick));
  dialog.Run(parent);
}

}  // namespace pelikon
