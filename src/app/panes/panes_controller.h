// The two panes of the main window and what happens to them: filling each
// from its listing, the path lines and counters, tagging by selection and
// focus, opening folders, and the Connect command. Knows nothing of
// windows: it draws through `PanesView` and talks to the user through `Ui`.
//
// The local pane shows a folder of this PC (kept here, not as the process's
// current folder); the remote pane shows the collector's current folder.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "app/panes/dir_list.h"
#include "app/panes/pane_texts.h"
#include "app/panes/tagging.h"
#include "app/transfer_settings.h"
#include "link/progress/transfer_progress.h"
#include "link/remote/remote_link.h"
#include "platform/ui.h"

namespace pelikon {

// The texts of the main window that the panes keep up to date.
enum class PaneLabel {
  kLocalTotalFiles,
  kLocalBytes,
  kLocalFree,
  kLocalPath,
  kRemoteTotalFiles,
  kRemoteBytes,
  kRemoteFree,
  kRemotePath,
  kMask,
  kTaggedCount,
  kTaggedBytes,
};

// What the panes need of the window that shows them.
class PanesView {
 public:
  virtual ~PanesView() = default;
  // The entries of `side` changed: one row per entry, in order, and no
  // row selected.
  virtual void ShowRows(PaneSide side) = 0;
  virtual void SetLabel(PaneLabel label, const std::string& text) = 0;
  // The remote listing replaces the not-connected help.
  virtual void ShowRemoteList() = 0;
  virtual void EnableRemoteList(bool enabled) = 0;
  virtual void DeselectAll(PaneSide side) = 0;
  // Indexes of the selected rows of `side`, ascending.
  virtual std::vector<size_t> SelectedRows(PaneSide side) const = 0;
};

// Panes nobody looks at: unattended runs and tests.
class NoPanesView final : public PanesView {
 public:
  void ShowRows(PaneSide) override {}
  void SetLabel(PaneLabel, const std::string&) override {}
  void ShowRemoteList() override {}
  void EnableRemoteList(bool) override {}
  void DeselectAll(PaneSide) override {}
  std::vector<size_t> SelectedRows(PaneSide) const override { return {}; }
};

// What a double-click asks for.
enum class OpenResult { kNothing, kOpened, kFailed, kTransferFiles };

class MergeWindowPort;
class GeoidAreaDialogPort;

class PanesController {
 public:
  PanesController(TransferSettings& settings, RemoteLink& link, TransferProgress& progress, Ui& ui, PanesView& view,
                  std::filesystem::path temp_folder);

  const DirList& List(PaneSide side) const { return side == PaneSide::kLocal ? local_ : remote_; }
  // The entries of `side` for the commands that tag and untag them.
  DirList& Entries(PaneSide side) { return side == PaneSide::kLocal ? local_ : remote_; }
  RemoteLink& Link() { return link_; }
  Ui& UserInterface() { return ui_; }
  // The merge window, when the program has one (none without windows):
  // conflicts of coordinate files then offer "Merge Points".
  void SetMergeWindow(MergeWindowPort* window) { merge_window_ = window; }
  MergeWindowPort* MergeWindow() const { return merge_window_; }
  // The "Set Geoid Area" dialog, when the program has windows.
  void SetGeoidDialog(GeoidAreaDialogPort* dialog) { geoid_dialog_ = dialog; }
  GeoidAreaDialogPort* GeoidDialog() const { return geoid_dialog_; }
  TransferSettings& Settings() { return settings_; }
  const std::filesystem::path& TempFolder() const { return temp_folder_; }
  const TagCounters& Counters() const { return counters_; }
  TransferProgress& Progress() { return progress_; }
  const std::filesystem::path& LocalFolder() const { return local_folder_; }
  // The remote listing addresses files by their long names.
  bool RemoteLongNames() const { return remote_long_names_; }

  // Makes `folder` the local pane's folder (without filling the pane).
  // False when it is not a folder that can be opened.
  bool SetLocalFolder(const std::filesystem::path& folder);
  // Rewrites the local listing and reloads the local pane. 1, or 0 when the
  // listing could not be written or read (the old rows stay).
  int FillLocal();
  // Fetches the remote listing and reloads the remote pane; a successful
  // fetch sounds cue 1 unless `quiet`. 0 when the fetch failed: the pane is
  // then the empty "????" list and the program is not connected.
  int FillRemote(bool quiet);
  // The Connect button: opens the link and fills the remote pane, with the
  // progress window shown meanwhile.
  void Connect();
  // Checks the link before a command: when connected, asks the collector
  // whether it is there; a silent collector marks the program not
  // connected. True when the remote side may be used.
  bool CheckLink();
  // CheckLink for a command that needs the collector: when it is not
  // there, the not-connected advice and "No Connection" on the status line.
  bool RequireLink();
  // A double-click on row `row` of `side`.
  OpenResult OpenEntry(PaneSide side, size_t row);
  // Opens the folder above `side`'s folder, as a double-click on its
  // "[Up One Level]" row does; nothing when the pane shows none (a root).
  OpenResult OpenParent(PaneSide side);
  // Lists both panes again: the local one always, the remote one when the
  // collector answers (with the progress window shown meanwhile).
  void Refresh();
  // Makes `order` (a SortOrder) the "sort" setting and puts both panes in
  // that order at once, without listing them again; all tags are cleared.
  void SetSortOrder(int order);
  // `side` gained the focus: the other pane loses its tags and selection.
  void FocusChanged(PaneSide side);
  PaneSide FocusedPane() const { return counters_.local_has_focus ? PaneSide::kLocal : PaneSide::kRemote; }
  // The selected rows of either pane may have changed, in whatever way
  // and in whatever order the view reported it: the tags become exactly
  // the selected rows of the focused pane, and rows still selected in the
  // other pane are deselected, since tags live in one pane at a time.
  void SelectionChanged();
  void ClearAllTags();
  // Every counter label and the status line.
  void UpdateCounters();
  // The mask label: "File: " and the mask at start, the mask alone after Options.
  void ShowMask(bool with_prefix);
  // "Status: Connected to remote machine" or "Status: Not connected".
  void ShowConnectionStatus();

 private:
  void ShowLocalPath();
  void ShowRemotePath();
  void LoadRemoteEntries(const std::filesystem::path& listing_file);
  // `side` holds new entries: the view shows them, none selected, and the
  // old entries' tags no longer count.
  void ShowNewEntries(PaneSide side);

  TransferSettings& settings_;
  RemoteLink& link_;
  TransferProgress& progress_;
  Ui& ui_;
  MergeWindowPort* merge_window_ = nullptr;
  GeoidAreaDialogPort* geoid_dialog_ = nullptr;
  PanesView& view_;
  std::filesystem::path temp_folder_;
  std::filesystem::path local_folder_;
  DirList local_;
  DirList remote_;
  bool remote_exists_ = false;
  bool remote_long_names_ = false;
  TagCounters counters_;
};

}  // namespace pelikon
