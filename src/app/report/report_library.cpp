#include "app/report/report_library.h"

#include <cstdarg>
#include <system_error>

#include "platform/catalogue.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace pelikon {

namespace {

// The library's diagnostics go to the program's trace.
extern "C" void TraceFromReportLibrary(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string text = VStrPrintf(format ? format : "", args);
  va_end(args);
  Trace("report library: %s", std::string(TrimRight(text, "\n")).c_str());
}

// The host has no script to run for the report.
extern "C" void NoReportScript(const char* /*script_path*/) {}

// A folder as the library expects it: with its trailing separator.
std::string WithSeparator(const std::filesystem::path& folder) {
  std::string text = folder.string();
  if (!text.empty() && text.back() != '/') text.push_back('/');
  return text;
}

}  // namespace

ReportLibrary::ReportLibrary(Ui& ui, std::filesystem::path program_folder, std::filesystem::path data_folder,
                             std::filesystem::path temp_folder)
    : ui_(ui),
      program_folder_(std::move(program_folder)),
      data_folder_(WithSeparator(data_folder)),
      temp_folder_(WithSeparator(temp_folder)) {}

void ReportLibrary::Fail(const char* message) {
  state_ = State::kUnusable;
  ui_.ShowMessageBox(Tr(message));
}

bool ReportLibrary::Bind() {
  if (state_ != State::kUnbound) return state_ == State::kBound;
  if (!library_.Load("quorvel.DLL", program_folder_)) {
    Trace("no report library: %s", library_.LastError().c_str());
    Fail(N_("Failed to load report library DLL"));
    return false;
  }
  host_ = ReportHost{data_folder_.c_str(), temp_folder_.c_str(), "", "", "", NoReportScript, TraceFromReportLibrary};
  const auto version = library_.Bind<ReportVersionCheckFunction>("ReportVersionCheck");
  if (!version) {
    Fail(N_("ERROR: QUORVEL.DLL out of date"));
    return false;
  }
  // "$Revision: 1.94 $" -> "1.94"; kept for the trace, never compared.
  const char* reported = version();
  const std::string text = reported ? reported : "";
  const size_t at = text.find("vision: ");
  revision_ = at == std::string::npos ? std::string() : text.substr(at + 8);
  if (!revision_.empty()) revision_.pop_back();
  revision_ = std::string(TrimRight(revision_, " "));
  Trace("report library revision %s", revision_.c_str());

  Functions& f = functions_;
  int missing = 0;
  const auto bind = [this, &missing](const char* name, auto& slot) {
    slot = library_.Bind<std::remove_reference_t<decltype(slot)>>(name);
    if (slot == nullptr) ++missing;
  };
  bind("StartReport", f.start_report);
  bind("StartEntry", f.start_entry);
  bind("AddStringToken", f.add_string_token);
  bind("AddDoubleToken", f.add_double_token);
  bind("AddTextEntry", f.add_text_entry);
  bind("DumpEntry", f.dump_entry);
  bind("FinishEntry", f.finish_entry);
  bind("FinishReport", f.finish_report);
  bind("DumpReport", f.dump_report);
  bind("ProcessReportLine", f.process_report_line);
  bind("LoadUserAttr", f.load_user_attr);
  bind("ReportUserAttr", f.report_user_attr);
  bind("FreeUserAttr", f.free_user_attr);
  bind("LoadReport", f.load_report);
  bind("GetCurrentReport", f.get_current_report);
  bind("SetVars", f.set_vars);
  bind("SetVarsPtr", f.set_vars_ptr);
  // Looked up in their place in the order, never required.
  f.report_complete_as_uni_recs = library_.Symbol("ReportCompleteAsUniRecs");
  f.display_saved_report = library_.Symbol("DisplaySavedReport");
  bind("AddFieldEntry", f.add_field_entry);
  bind("SetKeyOption", f.set_key_option);
  if (missing > 0) {
    Trace("report library lacks an entry point");
    Fail(N_("Failed to load report library DLL"));
    return false;
  }
  // The library may keep pointers into the host record and its own state
  // for the rest of the run.
  library_.KeepLoaded();
  f.set_vars_ptr(&host_);
  state_ = State::kBound;
  return true;
}

bool ReportLibrary::StartReport(const std::string& name) {
  if (!Bind()) return false;
  functions_.start_report(name.c_str());
  return true;
}

bool ReportLibrary::StartEntry() {
  if (!Bind()) return false;
  functions_.start_entry();
  return true;
}

bool ReportLibrary::AddString(const std::string& key, const std::string& note, const std::string& value,
                              const char* averkey, bool sorted) {
  if (!Bind()) return false;
  functions_.add_string_token(key.c_str(), note.c_str(), value.c_str(), averkey, sorted ? 1 : 0);
  return true;
}

bool ReportLibrary::AddReal(const std::string& key, const std::string& note, double value, int places,
                            const char* averkey, bool sorted) {
  if (!Bind()) return false;
  functions_.add_double_token(key.c_str(), note.c_str(), value, places, averkey, sorted ? 1 : 0);
  return true;
}

bool ReportLibrary::FinishEntry() {
  if (!Bind()) return false;
  functions_.finish_entry();
  return true;
}

bool ReportLibrary::Finish(const std::string& format_name, int mode, const std::string& section) {
  if (!Bind()) return false;
  // Exports of an earlier report must not be taken for this one's.
  for (const char* stale : {"gis_links.xml", "acad_report.xml", "esri_report.xml"}) {
    std::error_code ignored;
    std::filesystem::remove(std::filesystem::path(data_folder_) / stale, ignored);
  }
  // No project name or job number in this program: no header fields.
  functions_.set_vars(host_.data_folder, host_.start_folder, host_.text3, host_.text4, host_.text5);
  functions_.finish_report(format_name.c_str(), mode, section.c_str());
  return true;
}

}  // namespace pelikon
