// The report formatter: what happens to a finished report. It opens with
// the format last used for the host's report format name, lets the user
// (through a port) arrange fields and options, and writes the text report
// into the data folder for the port to show. Formats, the choice of
// format, and saved or merged reports are its other actions.
//
// The port is the formatter's face: the options dialog and the viewer when
// the host has windows, or nothing but the text report when it has none.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "report/format_store.h"
#include "report/report_fields.h"
#include "report/report_model.h"
#include "report/report_table.h"
#include "report/text_report.h"
#include "report/user_attributes.h"

namespace pelikon {

class Formatter;

class FormatterPort {
 public:
  virtual ~FormatterPort() = default;
  // The options dialog, until the user leaves it.
  virtual void RunOptions(Formatter& formatter) = 0;
  // A message box with a translated text.
  virtual void ShowMessage(const std::string& text) = 0;
  // A saved report file to read ("rpt"), picked starting in `start`;
  // empty when none was chosen.
  virtual std::filesystem::path AskReportFile(const std::string& title, const std::filesystem::path& start) = 0;
  // Shows the written text report under `title`; true when the user sent
  // it to the host.
  virtual bool ShowTextReport(const std::filesystem::path& file, const std::string& title) = 0;
};

// For hosts without windows: the options are those of the format last
// used (every field of the report when there is none), the text report is
// written and left in the data folder, messages go to the host's trace.
class HeadlessFormatterPort : public FormatterPort {
 public:
  void RunOptions(Formatter& formatter) override;
  void ShowMessage(const std::string& text) override;
  bool ShowTextReport(const std::filesystem::path&, const std::string&) override { return false; }
  std::filesystem::path AskReportFile(const std::string&, const std::filesystem::path&) override { return {}; }
};

struct FormatterSetup {
  std::filesystem::path data_folder;
  std::string report_format_name;  // the host's name for this kind of report
  std::string section;             // user attributes and display options
  // Called with "tobrrprt.scr" when the user sends the report to the host.
  void (*script)(const char* script_path) = nullptr;
  // Sort modes fields of these keys take, over their tokens' own.
  std::vector<std::pair<std::string, SortMode>> key_sorts;
};

class Formatter {
 public:
  Formatter(Report& report, FormatterSetup setup, FormatterPort& port);

  // 0: the options first; 1: the report at once.
  void Run(int mode);

  // ---- What the options offer ----------------------------------------------
  FieldLists& Fields() { return fields_; }
  FormatOptions& Options() { return options_; }
  const std::string& FormatName() const { return format_name_; }
  const Report& CurrentReport() const { return report_; }
  // For edits made to the report's values (the spreadsheet view).
  Report& EditableReport() { return report_; }
  const FormatterSetup& Setup() const { return setup_; }
  FormatterPort& Port() { return port_; }
  // True when the report has no data entry with a value.
  bool ReportIsEmpty() const;
  // Reads the section's user attributes and display options again (after
  // the user edited them): attributes new to the report are evaluated on
  // its data entries, and the fields take the display options.
  void ReloadAttributes();

  // With no field used (no format yet), every field of the report in its
  // order: what a report shown without choosing shows.
  void UseEveryFieldIfNone();
  // Writes and shows the text report; false (with its message) when it
  // cannot be shown.
  bool Display();
  // The report as a table for the spreadsheet view and the exports; false
  // (with its message) when no field is used.
  bool BuildTable(bool include_text, bool include_totals, ReportTable& table);
  // False, after telling the user, when no field is used: nothing to export.
  bool CanExport();
  // The named format from "formats.dta"; false when there is none.
  bool LoadFormat(const std::string& name);
  bool SaveFormat(const std::string& name);
  bool DeleteFormat(const std::string& name);
  bool SaveReport(const std::filesystem::path& file);
  // The formats file copied out ("fms"), or replaced by one copied in;
  // false when either file cannot be read or written (the old one stays).
  bool ExportFormats(const std::filesystem::path& file) const;
  bool ImportFormats(const std::filesystem::path& file);
  // Adds a saved report's entries; the lists take in its new fields.
  bool MergeReport(const std::filesystem::path& file);

  std::filesystem::path TextReportPath() const { return setup_.data_folder / "tobrrprt.tmp"; }

 private:
  void Open();
  void RefreshFields();
  // The report under the current fields and options, as it is laid out.
  TextReportInput LayoutInput() const;

  Report& report_;
  FormatterSetup setup_;
  FormatterPort& port_;
  FieldLists fields_;
  FormatOptions options_;
  std::string format_name_;
  UserAttributeSet attributes_;
};

}  // namespace pelikon
