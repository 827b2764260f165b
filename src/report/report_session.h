// The report library's process-wide state, behind its C interface: the
// stack of reports, the host's texts and record, the user-defined
// attributes a host has loaded, and the port the formatter shows itself
// through. One object, used from the host's user-interface thread only.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "report/formatter.h"
#include "report/report_api.h"
#include "report/report_model.h"
#include "report/user_attributes.h"

namespace pelikon {

inline constexpr const char* kReportLibraryRevision = "$Revision: 1.94 $";

class ReportSession {
 public:
  static ReportSession& Instance();

  // ---- Building ------------------------------------------------------------
  // Refused with "Maximum number of reports is exceeded" when five exist.
  void StartReport(const char* name);
  Report* Current() const { return reports_.Current(); }
  void DumpReport() { reports_.Drop(); }
  size_t ReportCount() const { return reports_.Count(); }

  // ---- The host ------------------------------------------------------------
  void SetVars(const char* data_folder, const char* start_folder, const char* text3, const char* text4,
               const char* text5);
  void SetHost(const ReportHost* host);
  std::filesystem::path DataFolder() const;
  // Where file pickers start: the second SetVars text, else the data folder.
  std::filesystem::path StartFolder() const;

  // ---- User-defined attributes ---------------------------------------------
  void LoadUserAttr(const char* section) { attributes_.Load(DataFolder(), section ? section : ""); }
  void ReportUserAttr() {
    if (Current() != nullptr) attributes_.ReportOn(*Current());
  }
  void FreeUserAttr() { attributes_.Free(); }

  // ---- Finishing -----------------------------------------------------------
  // Runs the formatter on the current report, then frees it.
  void FinishReport(const char* format_name, int mode, const char* section);
  // Asks for a saved report and shows it (mode 0).
  void LoadReport();
  // Shows the saved report `file`; false when it is none.
  bool DisplaySavedReport(const std::filesystem::path& file);
  // "__WINDOWS" with 0 keeps the formatter off the screen; any other key
  // gets that sort mode (0 to 4) when its field is shown.
  void SetKeyOption(const char* key, int option);

  // The formatter's face; null means none (no windows). Not owned.
  void SetPort(FormatterPort* port) { port_ = port; }
  // The section given to the last FinishReport.
  const std::string& LastSection() const { return section_; }

 private:
  FormatterPort& Port();

  ReportStack reports_;
  std::string texts_[5];
  const ReportHost* host_ = nullptr;
  UserAttributeSet attributes_;
  std::string section_;
  std::vector<std::pair<std::string, SortMode>> key_sorts_;
  bool windows_ = true;
  FormatterPort* port_ = nullptr;
  HeadlessFormatterPort headless_;
};

}  // namespace pelikon
