#include "app/field_codes/field_code_upload.h"

#include <system_error>

#include "app/transfer/file_mover.h"
#include "coord/fieldcodes/field_code_table.h"
#include "link/progress/progress_scope.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

int RunFieldCodeUpload(PanesController& panes) {
  if (!panes.RequireLink()) return 0;
  Ui& ui = panes.UserInterface();
  std::filesystem::path input;
  if (!ui.AskExistingFile(Tr("Select Existing Field Code Table"), "*.fld", panes.LocalFolder(), input)) return 0;
  std::filesystem::path table;
  // A failed conversion has said why in the trace; the old table, if any, is untouched.
  if (ConvertFieldCodes(input, table) != 1) return 0;
  std::error_code error;
  if (!std::filesystem::is_regular_file(table, error)) {
    ui.ShowCaptioned(Tr("Unable to find the field code table to upload"), Tr("Error"), true);
    return 0;
  }
  const std::string name = table.filename().string();
  bool listed = false;
  for (const DirEntry& entry : panes.List(PaneSide::kRemote).entries) listed |= EqualsNoCase(entry.name, name);
  if (listed && panes.Settings().confirm_overwrite &&
      ui.AskYesNo(Tr("OK to overwrite ") + name + " ?", Tr("Overwrite File"), kQuestionIcon) != kAnswerYes)
    return 0;

  FileMover mover(panes);
  const int sent = mover.Put(table);
  if (sent == 1) {
    const ProgressScope shown(panes.Progress());
    panes.FillRemote(false);
  }
  panes.UpdateCounters();
  return sent;
}

}  // namespace pelikon
