#include "report/formatter.h"

#include "platform/atomic_file.h"
#include "platform/catalogue.h"
#include "platform/text.h"
#include "report/report_file.h"
#include "report/report_trace.h"
#include "report/text_report.h"

namespace pelikon {

void HeadlessFormatterPort::RunOptions(Formatter& formatter) {
  formatter.UseEveryFieldIfNone();
  formatter.Display();
}

void HeadlessFormatterPort::ShowMessage(const std::string& text) {
  ReportTrace("%s\n", text.c_str());
}

Formatter::Formatter(Report& report, FormatterSetup setup, FormatterPort& port)
    : report_(report), setup_(std::move(setup)), port_(port), fields_({}) {}

void Formatter::RefreshFields() {
  std::vector<ReportField> fields = CollectReportFields(report_.First());
  for (ReportField& field : fields)
    for (const auto& [key, sort] : setup_.key_sorts)
      if (EqualsNoCase(field.key, key)) field.sort = sort;
  ApplyAttributeDisplays(fields, attributes_.Displays());
  const std::vector<FormatField> used = fields_.AsFormatFields();
  fields_ = FieldLists(std::move(fields));
  fields_.ApplyFormat(used);
}

void Formatter::Open() {
  attributes_.Load(setup_.data_folder, setup_.section);
  RefreshFields();
  const std::string last = LastUsedFormat(setup_.data_folder / kFormatChoicesFile, setup_.report_format_name);
  if (!last.empty()) LoadFormat(last);
}

bool Formatter::ReportIsEmpty() const {
  for (const ReportNode* node = report_.First(); node != nullptr; node = node->next)
    if (node->kind == kReportDataEntry && node->tokens != nullptr) return false;
  return true;
}

void Formatter::ReloadAttributes() {
  attributes_.Load(setup_.data_folder, setup_.section);
  for (ReportNode* node = report_.First(); node != nullptr; node = node->next)
    if (node->kind == kReportDataEntry && node->tokens != nullptr) attributes_.AddMissingTo(report_, *node);
  RefreshFields();
}

void Formatter::Run(int mode) {
  Open();
  if (mode == 1) {
    UseEveryFieldIfNone();
    Display();
  } else {
    port_.RunOptions(*this);
  }
  if (!format_name_.empty() && !setup_.report_format_name.empty() &&
      !RecordUsedFormat(setup_.data_folder / kFormatChoicesFile, setup_.report_format_name, format_name_))
    ReportTrace("Can't open output file %s", (setup_.data_folder / kFormatChoicesFile).string().c_str());
}

void Formatter::UseEveryFieldIfNone() {
  if (!fields_.Used().empty()) return;
  const std::vector<ReportField> available = fields_.Available();
  for (const ReportField& field : available) fields_.Use(field.key, field.sort);
}

TextReportInput Formatter::LayoutInput() const {
  TextReportInput input;
  input.report = &report_;
  input.used = fields_.Used();
  input.options = options_;
  input.attributes = attributes_.Attributes();
  return input;
}

bool Formatter::Display() {
  if (options_.totals_depth > kMaxTotalsDepth) {
    port_.ShowMessage(Tr("This depth of summation is not supported"));
    return false;
  }
  if (fields_.Used().empty()) {
    port_.ShowMessage(Tr("Please add some information to be displayed from 'Available' to 'Used' box."));
    return false;
  }
  if (WriteTextReport(LayoutInput(), TextReportPath()) != TextReportResult::kWritten) return false;
  // Sent to the host: its script runs, then the report is shown again.
  while (port_.ShowTextReport(TextReportPath(), "ovedit")) {
    if (setup_.script != nullptr) setup_.script((setup_.data_folder / "tobrrprt.scr").string().c_str());
  }
  return true;
}

bool Formatter::CanExport() {
  if (!fields_.Used().empty()) return true;
  port_.ShowMessage(Tr("Please add some information to be exported from 'Available' to 'Used' box."));
  return false;
}

bool Formatter::BuildTable(bool include_text, bool include_totals, ReportTable& table) {
  if (!CanExport()) return false;
  table = BuildReportTable(LayoutInput(), include_text, include_totals);
  return true;
}

bool Formatter::LoadFormat(const std::string& name) {
  const std::optional<ReportFormat> format = FindFormat(setup_.data_folder / kFormatsFile, name);
  if (!format) return false;
  fields_.ApplyFormat(format->used);
  options_ = format->options;
  format_name_ = format->name;
  return true;
}

bool Formatter::SaveFormat(const std::string& name) {
  const std::filesystem::path file = setup_.data_folder / kFormatsFile;
  if (!pelikon::SaveFormat(file, ReportFormat{name, fields_.AsFormatFields(), options_})) {
    ReportTrace("Can't open output file %s", file.string().c_str());
    return false;
  }
  format_name_ = name;
  return true;
}

bool Formatter::DeleteFormat(const std::string& name) {
  if (!pelikon::DeleteFormat(setup_.data_folder / kFormatsFile, name)) return false;
  if (EqualsNoCase(format_name_, name)) format_name_.clear();
  return true;
}

bool Formatter::SaveReport(const std::filesystem::path& file) {
  if (SaveReportFile(report_, SavedReportTail{setup_.report_format_name, setup_.section}, file)) return true;
  ReportTrace("Can't open output file %s", file.string().c_str());
  return false;
}

namespace {

bool CopyThroughTwin(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::string content;
  if (!ReadWholeFile(from, content)) return false;
  if (!WriteFileAtomically(to, content)) return true;
  ReportTrace("Can't open output file %s", to.string().c_str());
  return false;
}

}  // namespace

bool Formatter::ExportFormats(const std::filesystem::path& file) const {
  return CopyThroughTwin(setup_.data_folder / kFormatsFile, file);
}

bool Formatter::ImportFormats(const std::filesystem::path& file) {
  return CopyThroughTwin(file, setup_.data_folder / kFormatsFile);
}

bool Formatter::MergeReport(const std::filesystem::path& file) {
  SavedReportTail ignored;
  if (!ReadReportFile(file, report_, ignored)) return false;
  RefreshFields();
  return true;
}

}  // namespace pelikon
