#include "app/send_range/send_range.h"

#include <system_error>

#include "app/transfer/file_mover.h"
#include "coord/crd/crd_file.h"
#include "coord/crd/crd_range_copy.h"
#include "coord/merge/merge_apply.h"
#include "link/progress/progress_scope.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

void ShowError(Ui& ui, const char* text) {
  ui.ShowCaptioned(Tr(text), Tr("Error"), true);
}

}  // namespace

bool TakeLocalCoordinateFile(SendRangeFields& fields, const std::filesystem::path& file, Ui& ui) {
  fields.local_file = file;
  if (fields.remote_name.empty()) fields.remote_name = file.filename().string().substr(0, kSendRangeNameLimit);
  CrdFile crd;
  std::string error;
  if (!OpenExistingCrd(crd, file, error)) {
    ShowError(ui, N_("Failed to open specified coordinate file."));
    return false;
  }
  // A file without points has no ends to offer: the range is left to the user.
  const std::string lowest = crd.Lowest(), highest = crd.Highest();
  fields.range = lowest.empty() ? std::string() : (lowest + "-" + highest).substr(0, kSendRangeRangeLimit);
  return true;
}

std::string MissingSendRangeField(const SendRangeFields& fields) {
  if (fields.local_file.empty()) return Tr("Please specify local file to upload");
  if (Trim(fields.remote_name).empty()) return Tr("Please specify remote file name");
  if (Trim(fields.range).empty()) return Tr("Please specify point range");
  return {};
}

std::string ShortenedPath(std::string_view path, size_t limit) {
  if (path.size() < limit) return std::string(path);
  std::string head;
  if (path.substr(0, 2) == "\\\\") {
    head = "\\\\";
  } else if (path.size() > 1 && path[1] == ':') {
    head = AsciiUpper(path.substr(0, 2));
  }
  const size_t tail = limit > 7 ? limit - 7 : 0;
  return head + "..." + std::string(path.substr(path.size() - std::min(tail, path.size())));
}

void RunSendRange(PanesController& panes, SendRangeDialogPort& dialog, SendRangeFields& fields) {
  if (!panes.RequireLink()) return;
  if (!dialog.Ask(fields)) return;
  Ui& ui = panes.UserInterface();
  // The cut-out is named like the file it becomes on the collector.
  const std::string name(Trim(fields.remote_name));
  if (!IsBareName(name)) {
    ShowError(ui, N_("The remote file name must be a file name, without a folder."));
    return;
  }
  const std::filesystem::path cut_out = panes.TempFolder() / name;
  std::error_code error;
  if (std::filesystem::exists(cut_out, error) &&
      ui.AskYesNo(Tr("Temporary file already exists. OK to overwrite ") + name + " ?", Tr("Overwrite File"),
                  kQuestionIcon) != kAnswerYes)
    return;

  switch (CopyPointRange(fields.local_file, cut_out, fields.range).status) {
    case RangeCopyStatus::kCopied:
      break;
    case RangeCopyStatus::kSourceFailed:
      ShowError(ui, N_("Failed to open specified coordinate file."));
      return;
    case RangeCopyStatus::kTargetFailed:
    case RangeCopyStatus::kStoreFailed:
      ShowError(ui, N_("Failed to open coordinate file for saving."));
      RemoveQuietly(cut_out);
      return;
  }

  FileMover mover(panes);
  UploadFile file{cut_out, name, {}};
  // Skipped, or a merge that failed: nothing goes up. Otherwise the
  // cut-out, a renamed copy of it or the merged collector's copy is sent;
  // the mover removes the copies it made.
  if (mover.ResolveUpload(file, false) == ConflictOutcome::kGoOn && mover.Send(file) == 1) {
    const ProgressScope shown(panes.Progress());
    panes.FillRemote(false);
  }
  RemoveQuietly(cut_out);
  panes.UpdateCounters();
}

}  // namespace pelikon
