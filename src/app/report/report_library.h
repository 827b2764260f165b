// The report library as the program uses it: loaded by name ("quorvel",
// libquorvel.so) on the first report call of the run and kept until the
// program ends. A library that is missing, out of date or short of an
// entry point is told once ("Failed to load report library DLL"); every
// later report call of the run then does nothing.
//
// The data folder (where the library keeps its formats and files) and the
// working folder are told to the library as its host texts.
#pragma once

#include <filesystem>
#include <string>

#include "platform/dynamic_library.h"
#include "platform/ui.h"
#include "report/report_api.h"

namespace pelikon {

class ReportLibrary {
 public:
  ReportLibrary(Ui& ui, std::filesystem::path program_folder, std::filesystem::path data_folder,
                std::filesystem::path temp_folder);
  ReportLibrary(const ReportLibrary&) = delete;
  ReportLibrary& operator=(const ReportLibrary&) = delete;

  // Each call first makes sure the library is bound; false (and nothing
  // done) when it cannot be.
  bool StartReport(const std::string& name);
  bool StartEntry();
  bool AddString(const std::string& key, const std::string& note, const std::string& value, const char* averkey = "",
                 bool sorted = true);
  bool AddReal(const std::string& key, const std::string& note, double value, int places = 3, const char* averkey = "",
               bool sorted = true);
  bool FinishEntry();
  // Hands the report to the formatter under `format_name`; mode 0 opens
  // the formatter's options first.
  bool Finish(const std::string& format_name, int mode = 0, const std::string& section = {});

  // The revision the library reported ("1.94"), once bound.
  const std::string& Revision() const { return revision_; }
  bool Usable() { return Bind(); }

 private:
  enum class State { kUnbound, kBound, kUnusable };
  bool Bind();
  void Fail(const char* message);

  struct Functions {
    StartReportFunction start_report = nullptr;
    StartEntryFunction start_entry = nullptr;
    AddStringTokenFunction add_string_token = nullptr;
    AddDoubleTokenFunction add_double_token = nullptr;
    AddTextEntryFunction add_text_entry = nullptr;
    DumpEntryFunction dump_entry = nullptr;
    FinishEntryFunction finish_entry = nullptr;
    FinishReportFunction finish_report = nullptr;
    DumpReportFunction dump_report = nullptr;
    ProcessReportLineFunction process_report_line = nullptr;
    LoadUserAttrFunction load_user_attr = nullptr;
    ReportUserAttrFunction report_user_attr = nullptr;
    FreeUserAttrFunction free_user_attr = nullptr;
    LoadReportFunction load_report = nullptr;
    GetCurrentReportFunction get_current_report = nullptr;
    SetVarsFunction set_vars = nullptr;
    SetVarsPtrFunction set_vars_ptr = nullptr;
    void* report_complete_as_uni_recs = nullptr;  // looked up, never called
    void* display_saved_report = nullptr;         // looked up, never called
    AddFieldEntryFunction add_field_entry = nullptr;
    SetKeyOptionFunction set_key_option = nullptr;
  };

  Ui& ui_;
  std::filesystem::path program_folder_;
  std::string data_folder_;
  std::string temp_folder_;
  DynamicLibrary library_;
  Functions functions_;
  ReportHost host_{};
  State state_ = State::kUnbound;
  std::string revision_;
};

}  // namespace pelikon
