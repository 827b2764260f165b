// A stand-in for the report library: every call is written as one line to
// the file named by $PELIKON_TEST_REPORT_LOG, so that tests see what the
// program handed over and in which order. Builds with some entry points
// left out to stand for libraries that are out of date or incomplete.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "report/report_api.h"

namespace {

const ReportHost* host = nullptr;

void Log(const std::string& line) {
  const char* path = std::getenv("PELIKON_TEST_REPORT_LOG");
  if (!path) return;
  if (std::FILE* file = std::fopen(path, "a")) {
    std::fprintf(file, "%s\n", line.c_str());
    std::fclose(file);
  }
}

std::string Text(const char* text) {
  return text ? std::string("'") + text + "'" : std::string("null");
}

}  // namespace

#define EXPORT extern "C" __attribute__((visibility("default")))

#ifndef TEST_REPORT_WITHOUT_VERSION
EXPORT const char* ReportVersionCheck(void) {
  Log("ReportVersionCheck");
  return "$Revision: 1.94 $";
}
#endif

EXPORT void StartReport(const char* name) {
  Log("StartReport " + Text(name));
}
EXPORT void StartEntry(void) {
  Log("StartEntry");
}
EXPORT void AddStringToken(const char* key, const char* note, const char* value, const char* averkey,
                           unsigned char is_sorted) {
  Log("AddStringToken " + Text(key) + " " + Text(note) + " " + Text(value) + " " + Text(averkey) + " " +
      std::to_string(is_sorted));
}
EXPORT void AddDoubleToken(const char* key, const char* note, double value, int places, const char* averkey,
                           unsigned char is_sorted) {
  char number[64];
  std::snprintf(number, sizeof number, "%.*f", places, value);
  Log("AddDoubleToken " + Text(key) + " " + Text(note) + " " + number + " " + std::to_string(places) + " " +
      Text(averkey) + " " + std::to_string(is_sorted));
}
EXPORT void AddTextEntry(const char* text) {
  Log("AddTextEntry " + Text(text));
}
EXPORT void DumpEntry(void) {
  Log("DumpEntry");
}
EXPORT void FinishEntry(void) {
  Log("FinishEntry");
}
EXPORT void FinishReport(const char* format_name, int mode, const char* section) {
  Log("FinishReport " + Text(format_name) + " " + std::to_string(mode) + " " + Text(section));
  // The library reports through its host's trace.
  if (host && host->trace) host->trace("Evaluation %s failed.\n", "X");
}
EXPORT void DumpReport(void) {
  Log("DumpReport");
}
EXPORT void ProcessReportLine(const char* /*line_template*/, char* output) {
  if (output) output[0] = '\0';
}
EXPORT void LoadUserAttr(const char* /*section*/) {}
EXPORT void ReportUserAttr(void) {}
EXPORT void FreeUserAttr(void) {}
EXPORT void LoadReport(void) {}
EXPORT void* GetCurrentReport(void) {
  return nullptr;
}
EXPORT void SetVars(const char* data_folder, const char* start_folder, const char* text3, const char* text4,
                    const char* text5) {
  Log("SetVars " + Text(data_folder) + " " + Text(start_folder) + " " + Text(text3) + " " + Text(text4) + " " +
      Text(text5));
}
EXPORT void SetVarsPtr(const ReportHost* record) {
  host = record;
  Log("SetVarsPtr " + (record ? Text(record->data_folder) + " " + Text(record->start_folder) : std::string("null")));
}
EXPORT void AddFieldEntry(const char* field_name, const char* text) {
  Log("AddFieldEntry " + Text(field_name) + " " + Text(text));
}
#ifndef TEST_REPORT_WITHOUT_KEY_OPTION
EXPORT void SetKeyOption(const char* /*key*/, int /*option*/) {}
#endif
