// The program's merge window as the transfers see it (MergeWindowPort):
// "Merge Points Manager" over the session, its "History" button showing the
// point's history in the incoming file, its "Report" button sending the
// merge report to the report library.
#pragma once

#include <functional>

#include <wx/window.h>

#include "app/merge/merge_points.h"
#include "app/report/report_library.h"

namespace pelikon {

class WxMergeWindow final : public MergeWindowPort {
 public:
  // `reports` gives the run's report library when a report is asked for.
  WxMergeWindow(wxWindow* parent, std::function<ReportLibrary&()> reports)
      : parent_(parent), reports_(std::move(reports)) {}

  int Run(MergeSession& session, const std::filesystem::path& source_path, const std::string& source_name,
          const std::string& target_name) override;

 private:
  wxWindow* parent_;
  std::function<ReportLibrary&()> reports_;
};

}  // namespace pelikon
