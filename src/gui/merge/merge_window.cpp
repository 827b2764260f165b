#include "gui/merge/merge_window.h"

#include <wx/app.h>

#include "coord/crd/crd_file.h"
#include "coord/history/crd_history.h"
#include "coord/merge/merge_apply.h"
#include "dialogs/wx/plain_message_box.h"
#include "gui/history/point_history_dialog.h"
#include "gui/merge/merge_points_dialog.h"
#include "platform/trace.h"

namespace pelikon {

int WxMergeWindow::Run(MergeSession& session, const std::filesystem::path& source_path, const std::string& source_name,
                       const std::string& target_name) {
  MergeWindowHooks hooks;
  hooks.show_history = [this, source_path](const std::string& identifier) {
    CrdFile file;
    std::string error;
    if (!OpenExistingCrd(file, source_path, error)) {
      Trace("no history for %s: %s", identifier.c_str(), error.c_str());
      return;
    }
    const HistoryList entries = ReadHistory(file, identifier);
    // The incoming file is not changed from here: no undo.
    ShowPointHistory(identifier, file, entries, wxGetActiveWindow() ? wxGetActiveWindow() : parent_, false);
  };
  hooks.report = [this, &session] { SendMergeReport(session, reports_()); };
  return RunMergePointsDialog(parent_, session, source_name, target_name, hooks);
}

}  // namespace pelikon
