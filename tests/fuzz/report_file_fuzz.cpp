// Reads arbitrary text as a saved report. Whatever is read must save and
// read back to the same entries, tokens and texts; then the whole report
// is laid out as text, which must not fail on any of it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_work_folder.h"
#include "platform/atomic_file.h"
#include "report/report_file.h"
#include "report/text_report.h"

namespace {

std::string Dump(const pelikon::Report& report) {
  std::string dump;
  for (const ReportNode* node = report.First(); node != nullptr; node = node->next) {
    dump += node->kind == pelikon::kReportTextEntry ? std::string("T:") + node->text + "\n" : "E\n";
    for (const ReportToken* token = node->tokens; token != nullptr; token = token->next)
      dump += std::string(token->key) + "|" + token->note + "|" + std::to_string(token->type) + "|" + token->text +
              "|" + std::to_string(token->real) + "|" + std::to_string(token->places) + "|" +
              (token->averkey ? token->averkey : "(none)") + "|" + std::to_string(token->is_sorted) + "\n";
  }
  return dump;
}

const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    pelikon_fuzz::UseWorkFolder("/tmp/pelikon-report-file-fuzz");
    return std::filesystem::path(std::getenv("PELIKON_TEMP_DIR")).parent_path();
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::filesystem::path input = Folder() / "in.rpt", again = Folder() / "again.rpt";
  if (pelikon::WriteFileAtomically(input, std::string_view(reinterpret_cast<const char*>(data), size))) std::abort();
  pelikon::Report first("fuzz");
  pelikon::SavedReportTail tail;
  if (!pelikon::ReadReportFile(input, first, tail)) return 0;
  if (!pelikon::SaveReportFile(first, tail, again)) std::abort();
  pelikon::Report second("fuzz");
  pelikon::SavedReportTail tail_again;
  if (!pelikon::ReadReportFile(again, second, tail_again) || Dump(first) != Dump(second) ||
      tail.format_name != tail_again.format_name || tail.section != tail_again.section)
    std::abort();

  pelikon::TextReportInput layout;
  layout.report = &first;
  layout.used = pelikon::CollectReportFields(first.First());
  layout.options.totals_depth = layout.used.size() > 2 ? 2 : 0;
  if (!layout.used.empty() &&
      pelikon::WriteTextReport(layout, Folder() / "report.txt") != pelikon::TextReportResult::kWritten)
    std::abort();
  return 0;
}
