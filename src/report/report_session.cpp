#include "report/report_session.h"

#include "platform/catalogue.h"
#include "report/report_file.h"
#include "report/report_trace.h"

namespace pelikon {

ReportSession& ReportSession::Instance() {
  static ReportSession session;
  return session;
}

FormatterPort& ReportSession::Port() {
  return port_ != nullptr && windows_ ? *port_ : headless_;
}

void ReportSession::StartReport(const char* name) {
  if (!reports_.Start(name ? name : "")) Port().ShowMessage(Tr("Maximum number of reports is exceeded"));
}

void ReportSession::SetVars(const char* data_folder, const char* start_folder, const char* text3, const char* text4,
                            const char* text5) {
  const char* texts[] = {data_folder, start_folder, text3, text4, text5};
  for (size_t i = 0; i < 5; ++i) texts_[i] = texts[i] ? texts[i] : "";
}

void ReportSession::SetHost(const ReportHost* host) {
  host_ = host;
  SetReportTrace(host != nullptr ? host->trace : nullptr);
}

std::filesystem::path ReportSession::DataFolder() const {
  std::string folder = texts_[0];
  if (folder.empty() && host_ != nullptr && host_->data_folder != nullptr) folder = host_->data_folder;
  // Empty: the current folder.
  return folder.empty() ? std::filesystem::path(".") : std::filesystem::path(folder);
}

std::filesystem::path ReportSession::StartFolder() const {
  return texts_[1].empty() ? DataFolder() : std::filesystem::path(texts_[1]);
}

void ReportSession::FinishReport(const char* format_name, int mode, const char* section) {
  Report* report = Current();
  if (report == nullptr) return;
  section_ = section ? section : "";
  report->FinishEntry();
  FormatterSetup setup;
  setup.data_folder = DataFolder();
  setup.report_format_name = format_name ? format_name : "";
  setup.section = section_;
  setup.script = host_ != nullptr ? host_->script : nullptr;
  setup.key_sorts = key_sorts_;
  Formatter(*report, std::move(setup), Port()).Run(mode);
  reports_.Drop();
}

bool ReportSession::DisplaySavedReport(const std::filesystem::path& file) {
  std::string name;
  if (!ReadSavedReportName(file, name) || !reports_.Start(name)) return false;
  SavedReportTail tail;
  ReadReportFile(file, *Current(), tail);
  FinishReport(tail.format_name.c_str(), 0, tail.section.c_str());
  return true;
}

void ReportSession::LoadReport() {
  const std::filesystem::path file = Port().AskReportFile(Tr("Select a file to load report from"), StartFolder());
  if (!file.empty()) DisplaySavedReport(file);
}

void ReportSession::SetKeyOption(const char* key, int option) {
  const std::string name = key ? key : "";
  if (name == "__WINDOWS") {
    windows_ = option != 0;
    return;
  }
  for (auto& [known, sort] : key_sorts_)
    if (known == name) {
      sort = SortModeFromNumber(option);
      return;
    }
  key_sorts_.emplace_back(name, SortModeFromNumber(option));
}

}  // namespace pelikon
