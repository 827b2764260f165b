#include "app/merge/merge_points.h"

#include <optional>

#include "app/report/report_library.h"
#include "coord/crd/crd_file.h"
#include "coord/merge/merge_apply.h"
#include "coord/merge/merge_report.h"
#include "platform/catalogue.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace pelikon {

int MergePoints(const std::filesystem::path& source, const std::filesystem::path& target, MergeWindowPort& window,
                Ui& ui) {
  std::optional<MergeSession> session;
  {
    CrdFile source_file;
    CrdFile target_file;
    std::string error;
    if (!OpenExistingCrd(source_file, source, error) || !OpenExistingCrd(target_file, target, error)) {
      Trace("merge of %s into %s: %s", source.c_str(), target.c_str(), error.c_str());
      return 0;
    }
    session.emplace(ReadAllPoints(source_file), ReadAllPoints(target_file), target_file.Format() == kCrdNumeric, true);
  }
  if (window.Run(*session, source, source.filename().string(), target.filename().string()) != 1) return 0;
  const MergeApplyResult result = ApplyMerge(*session, source, target);
  if (!result.ok) {
    ui.ShowCaptioned(
        StrPrintf(Tr("The points could not be merged into %s: %s"), target.filename().c_str(), result.error.c_str()),
        Tr("Merge Points"), true);
    return 0;
  }
  Trace("merged %d points of %s into %s", result.stored, source.c_str(), target.c_str());
  return 1;
}

bool SendMergeReport(const MergeSession& session, ReportLibrary& reports) {
  if (!reports.StartReport(Tr(kMergeReportTitle))) return false;
  for (const MergeReportEntry& entry : MergeReportEntries(session)) {
    reports.StartEntry();
    for (const MergeReportToken& token : entry) {
      if (token.is_number)
        reports.AddReal(token.key, Tr(token.caption), token.number, kMergeReportPlaces);
      else
        reports.AddString(token.key, Tr(token.caption), token.text);
    }
    reports.FinishEntry();
  }
  return reports.Finish(kMergeReportTable);
}

}  // namespace pelikon
