// The report library's exported functions: thin C wrappers over the one
// ReportSession. Nothing thrown may cross into the host: a report that
// cannot get memory for a token or an entry simply goes without it.
#include <cstring>
#include <new>
#include <string>

#include "records/ov_uni_table.h"
#include "report/report_api.h"
#include "report/report_file.h"
#include "report/report_line.h"
#include "report/report_session.h"
#include "report/windows_port.h"

#define QUORVEL_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using pelikon::ReportSession;

// The session, showing itself on the host's display when there is one.
ReportSession& Session() {
  ReportSession& session = ReportSession::Instance();
  session.SetPort(pelikon::WindowsFormatterPort());
  return session;
}

template <class Action>
void Guarded(Action action) {
  try {
    action();
  } catch (const std::bad_alloc&) {
  } catch (...) {
  }
}

pelikon::TokenValue Token(const char* key, const char* note, const char* averkey, unsigned char is_sorted) {
  pelikon::TokenValue token;
  token.key = key ? key : "";
  token.note = note ? note : "";
  token.averkey = averkey;
  token.is_sorted = is_sorted;
  return token;
}

}  // namespace

QUORVEL_EXPORT void StartReport(const char* name) {
  Guarded([&] { Session().StartReport(name); });
}

QUORVEL_EXPORT void StartEntry(void) {
  Guarded([&] {
    if (pelikon::Report* report = Session().Current()) report->StartEntry();
  });
}

QUORVEL_EXPORT void AddStringToken(const char* key, const char* note, const char* value, const char* averkey,
                                   unsigned char is_sorted) {
  Guarded([&] {
    pelikon::Report* report = Session().Current();
    if (report == nullptr) return;
    pelikon::TokenValue token = Token(key, note, averkey, is_sorted);
    token.type = pelikon::kReportString;
    token.text = value ? value : "";
    report->AddToken(token);
  });
}

QUORVEL_EXPORT void AddDoubleToken(const char* key, const char* note, double value, int places, const char* averkey,
                                   unsigned char is_sorted) {
  if (value == REPORT_NO_VALUE) return;
  Guarded([&] {
    pelikon::Report* report = Session().Current();
    if (report == nullptr) return;
    pelikon::TokenValue token = Token(key, note, averkey, is_sorted);
    token.type = pelikon::kReportReal;
    token.real = value;
    token.places = places;
    report->AddToken(token);
  });
}

QUORVEL_EXPORT void AddTextEntry(const char* text) {
  Guarded([&] {
    if (pelikon::Report* report = Session().Current()) report->AddTextEntry(text ? text : "");
  });
}

QUORVEL_EXPORT void FinishEntry(void) {
  if (pelikon::Report* report = Session().Current()) report->FinishEntry();
}

QUORVEL_EXPORT void DumpEntry(void) {
  if (pelikon::Report* report = Session().Current()) report->DumpEntry();
}

QUORVEL_EXPORT ReportToken* GetToken(ReportToken* list, const char* key) {
  return const_cast<ReportToken*>(pelikon::FindToken(list, key ? key : ""));
}

QUORVEL_EXPORT ReportToken* GetReportToken(ReportToken* list, const char* key) {
  return GetToken(list, key);
}

QUORVEL_EXPORT ReportNode* GetCurrentReport(void) {
  pelikon::Report* report = Session().Current();
  return report != nullptr ? report->First() : nullptr;
}

QUORVEL_EXPORT void SetVars(const char* data_folder, const char* start_folder, const char* text3, const char* text4,
                            const char* text5) {
  Guarded([&] { Session().SetVars(data_folder, start_folder, text3, text4, text5); });
}

QUORVEL_EXPORT void SetVarsPtr(const ReportHost* host) {
  Session().SetHost(host);
}

QUORVEL_EXPORT const char* ReportVersionCheck(void) {
  static char revision[32];
  std::strncpy(revision, pelikon::kReportLibraryRevision, sizeof revision - 1);
  return revision;
}

QUORVEL_EXPORT void LoadUserAttr(const char* section) {
  Guarded([&] { Session().LoadUserAttr(section); });
}

QUORVEL_EXPORT void ReportUserAttr(void) {
  Guarded([&] { Session().ReportUserAttr(); });
}

QUORVEL_EXPORT void FreeUserAttr(void) {
  Session().FreeUserAttr();
}

QUORVEL_EXPORT void ProcessReportLine(const char* line_template, char* output) {
  if (output == nullptr) return;
  output[0] = '\0';
  Guarded([&] {
    const pelikon::Report* report = Session().Current();
    const ReportNode* entry = report != nullptr ? report->CurrentEntry() : nullptr;
    if (entry == nullptr || line_template == nullptr) return;
    const std::string line = pelikon::BuildReportLine(line_template, entry->tokens);
    std::memcpy(output, line.c_str(), line.size() + 1);
  });
}

QUORVEL_EXPORT void FinishReport(const char* format_name, int mode, const char* section) {
  Guarded([&] { Session().FinishReport(format_name, mode, section); });
}

QUORVEL_EXPORT void DumpReport(void) {
  Session().DumpReport();
}

QUORVEL_EXPORT void LoadReport(void) {
  Guarded([&] { Session().LoadReport(); });
}

QUORVEL_EXPORT void AddFieldEntry(const char* field_name, const char* text) {
  Guarded([&] {
    if (pelikon::Report* report = Session().Current())
      report->AddFieldEntry(field_name ? field_name : "", text ? text : "");
  });
}

QUORVEL_EXPORT void SetKeyOption(const char* key, int option) {
  Guarded([&] { Session().SetKeyOption(key, option); });
}

QUORVEL_EXPORT int DisplaySavedReport(const char* file) {
  int shown = 0;
  Guarded([&] { shown = file != nullptr && Session().DisplaySavedReport(file) ? 1 : 0; });
  return shown;
}

QUORVEL_EXPORT void* ReportCompleteAsUniRecs(void) {
  void* table = nullptr;
  Guarded([&] {
    if (const pelikon::Report* report = Session().Current()) table = pelikon::ReportAsRecords(*report).release();
  });
  return table;
}
