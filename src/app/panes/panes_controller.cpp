#include "app/panes/panes_controller.h"

#include <system_error>
#include <utility>

#include "link/listing/dir_listing.h"
#include "link/progress/progress_scope.h"
#include "platform/catalogue.h"
#include "platform/file_info.h"
#include "platform/trace.h"

namespace pelikon {

PanesController::PanesController(TransferSettings& settings, RemoteLink& link, TransferProgress& progress, Ui& ui,
                                 PanesView& view, std::filesystem::path temp_folder)
    : settings_(settings),
      link_(link),
      progress_(progress),
      ui_(ui),
      view_(view),
      temp_folder_(std::move(temp_folder)) {}

bool PanesController::SetLocalFolder(const std::filesystem::path& folder) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(folder, error).lexically_normal();
  if (error || !std::filesystem::is_directory(absolute, error)) return false;
  // "/a/b/" and "/a/b" are one folder; keep the form without the separator.
  std::filesystem::path clean = absolute;
  if (!clean.has_filename() && clean != clean.root_path()) clean = clean.parent_path();
  local_folder_ = clean;
  // Received files land in the folder the local pane shows.
  LinkSettings link_settings = link_.Settings();
  link_settings.local_folder = local_folder_;
  link_.SetSettings(link_settings);
  return true;
}

int PanesController::FillLocal() {
  const std::filesystem::path listing = temp_folder_ / kLocalListingName;
  int result = WriteLocalListing(local_folder_, settings_.mask, listing, settings_.show_special, ui_);
  if (result == 1) {
    ListingContents contents;
    if (ReadPaneListing(PaneSide::kLocal, listing, contents)) {
      local_ = DirListFrom(local_folder_.string(), static_cast<double>(FreeBytes(local_folder_)), std::move(contents));
      SortEntries(local_.entries, settings_.sort);
      ShowNewEntries(PaneSide::kLocal);
    } else {
      result = 0;
    }
  }
  std::error_code ignored;
  std::filesystem::remove(listing, ignored);
  ShowConnectionStatus();
  ShowLocalPath();
  UpdateCounters();
  return result;
}

int PanesController::FillRemote(bool quiet) {
  if (link_.ListRemote() != 1) {
    remote_ = DirList{};
    remote_.path = "????";
    remote_exists_ = true;
    link_.SetConnected(false);
    ShowNewEntries(PaneSide::kRemote);
    view_.EnableRemoteList(false);
    UpdateCounters();
    return 0;
  }
  if (!quiet) progress_.Sound().PlaySound(1);
  std::string folder;
  link_.QueryDir(folder);
  const std::filesystem::path listing = temp_folder_ / kRemoteListingName;
  ListingContents contents;
  if (ReadPaneListing(PaneSide::kRemote, listing, contents)) {
    remote_long_names_ = contents.long_names;
    remote_ = DirListFrom(folder, 0, std::move(contents));
    remote_exists_ = true;
    SortEntries(remote_.entries, settings_.sort);
    view_.ShowRemoteList();
    ShowNewEntries(PaneSide::kRemote);
  }
  std::error_code ignored;
  std::filesystem::remove(listing, ignored);
  // One query serves both the free-bytes line and the counters.
  double free_bytes = 0;
  if (link_.FreeSpace(free_bytes) == 1) {
    remote_.free_bytes = free_bytes;
  } else {
    progress_.Sound().PlaySound(0);
  }
  ShowConnectionStatus();
  ShowRemotePath();
  UpdateCounters();
  return 1;
}

void PanesController::Connect() {
  const ProgressScope shown(progress_, 0);
  if (link_.Connect() == 1) {
    FillRemote(false);
    view_.EnableRemoteList(link_.Connected());
    if (!link_.Connected()) progress_.ShowCommError(Tr("Communications Failure"));
  } else {
    progress_.ShowCommError(Tr("Communications Failure"));
    link_.ShowNotConnectedHelp();
  }
  ShowConnectionStatus();
  if (remote_exists_) ShowRemotePath();
  UpdateCounters();
}

bool PanesController::CheckLink() {
  if (!link_.Connected()) return false;
  if (link_.AreYouThere() == 1) return true;
  link_.SetConnected(false);
  ShowConnectionStatus();
  return false;
}

bool PanesController::RequireLink() {
  if (CheckLink()) return true;
  link_.ShowNotConnectedHelp();
  progress_.ShowCommError(Tr("No Connection"));
  return false;
}

OpenResult PanesController::OpenEntry(PaneSide side, size_t row) {
  DirList& list = side == PaneSide::kLocal ? local_ : remote_;
  if (row >= list.entries.size()) return OpenResult::kNothing;
  const DirEntry entry = list.entries[row];
  if (!entry.is_folder) return OpenResult::kTransferFiles;
  ClearTags(list);

  if (side == PaneSide::kLocal) {
    // Drives do not exist here; a drive line (from an old listing) names a folder.
    const std::filesystem::path target =
        entry.is_drive ? std::filesystem::path(entry.name) : local_folder_ / entry.name;
    if (!SetLocalFolder(target)) {
      Trace("cannot open local folder %s", target.string().c_str());
      return OpenResult::kFailed;
    }
    FillLocal();
    return OpenResult::kOpened;
  }

  if (!CheckLink()) {
    link_.ShowNotConnectedHelp();
    return OpenResult::kFailed;
  }
  const ProgressScope shown(progress_, 0);
  std::string target = entry.name;
  if (!entry.is_drive) {
    std::string current;
    link_.QueryDir(current);
    if (!current.empty() && current.back() == '\\') current.pop_back();
    target = current + "\\" + entry.name;
  }
  if (link_.ChangeDir(target) != 1) return OpenResult::kFailed;
  FillRemote(false);
  return OpenResult::kOpened;
}

OpenResult PanesController::OpenParent(PaneSide side) {
  const std::vector<DirEntry>& entries = List(side).entries;
  for (size_t row = 0; row < entries.size(); ++row)
    if (entries[row].is_folder && entries[row].name == "..") return OpenEntry(side, row);
  return OpenResult::kNothing;
}

void PanesController::Refresh() {
  FillLocal();
  if (!CheckLink()) return;
  const ProgressScope shown(progress_, 0);
  FillRemote(false);
}

void PanesController::SetSortOrder(int order) {
  settings_.sort = order;
  ClearAllTags();
  for (const PaneSide side : {PaneSide::kLocal, PaneSide::kRemote}) {
    SortEntries(Entries(side).entries, order);
    view_.ShowRows(side);
  }
}

void PanesController::FocusChanged(PaneSide side) {
  const PaneSide other = side == PaneSide::kLocal ? PaneSide::kRemote : PaneSide::kLocal;
  ClearTags(other == PaneSide::kLocal ? local_ : remote_);
  view_.DeselectAll(other);
  FocusPane(local_, remote_, side, view_.SelectedRows(side), counters_);
  UpdateCounters();
}

void PanesController::SelectionChanged() {
  const PaneSide focused = FocusedPane();
  const PaneSide other = focused == PaneSide::kLocal ? PaneSide::kRemote : PaneSide::kLocal;
  if (!view_.SelectedRows(other).empty()) view_.DeselectAll(other);
  TagSelection(local_, remote_, focused, view_.SelectedRows(focused), counters_);
  UpdateCounters();
}

void PanesController::ShowNewEntries(PaneSide side) {
  ForgetPaneTags(side, counters_);
  view_.ShowRows(side);
}

void PanesController::ClearAllTags() {
  pelikon::ClearAllTags(local_, remote_, counters_);
  view_.DeselectAll(PaneSide::kLocal);
  view_.DeselectAll(PaneSide::kRemote);
  UpdateCounters();
}

void PanesController::UpdateCounters() {
  view_.SetLabel(PaneLabel::kTaggedBytes, TaggedBytesText(counters_));
  view_.SetLabel(PaneLabel::kTaggedCount, TaggedCountText(counters_));
  const PaneCounterTexts local = PaneCounters(local_);
  view_.SetLabel(PaneLabel::kLocalBytes, local.bytes);
  view_.SetLabel(PaneLabel::kLocalTotalFiles, local.total_files);
  view_.SetLabel(PaneLabel::kLocalFree, local.bytes_free);
  const PaneCounterTexts remote = PaneCounters(remote_);
  view_.SetLabel(PaneLabel::kRemoteBytes, remote.bytes);
  view_.SetLabel(PaneLabel::kRemoteTotalFiles, remote.total_files);
  view_.SetLabel(PaneLabel::kRemoteFree, remote.bytes_free);
}

void PanesController::ShowMask(bool with_prefix) {
  view_.SetLabel(PaneLabel::kMask, with_prefix ? Tr("File: ") + settings_.mask : settings_.mask);
}

void PanesController::ShowConnectionStatus() {
  ui_.SetMainStatus(link_.Connected() ? Tr("Status: Connected to remote machine") : Tr("Status: Not connected"));
}

void PanesController::ShowLocalPath() {
  view_.SetLabel(PaneLabel::kLocalPath, Tr("Local Path: ") + ShortenedPath(local_.path, PathStyle::kLocal));
}

void PanesController::ShowRemotePath() {
  view_.SetLabel(PaneLabel::kRemotePath, Tr("Remote Path: ") + ShortenedPath(remote_.path, PathStyle::kCollector));
}

}  // namespace pelikon
