#include "app/file_ops/file_operations.h"

#include <filesystem>
#include <system_error>

#include "link/progress/progress_scope.h"
#include "link/transfer/received_file.h"
#include "platform/catalogue.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace pelikon {

namespace {

constexpr int kCueFailure = 0;
const char* const kOnlyEmptyFolders = N_("Couldn't remove folder. Only empty folders can be removed");
// Why a command failed, for the status line.
const char* const kMakeDirExists = N_("Make dir failed: \"%s\" already exists");
const char* const kMakeDirFailed = N_("Make dir failed: \"%s\" could not be created");
const char* const kRenameExists = N_("Rename failed: \"%s\" already exists");
const char* const kRenameFailed = N_("Rename failed: \"%s\" could not be renamed");
const char* const kPathMissing = N_("Set Path failed: folder \"%s\" not found");
const char* const kPathNotOpened = N_("Set Path failed: folder \"%s\" could not be opened");
const char* const kFolderNotRemoved =
    N_("Delete failed: folder \"%s\" was not removed (only empty folders can be removed)");
const char* const kFileNotDeleted = N_("Delete failed: \"%s\" could not be deleted");

// The parent row is a way up, not a folder of this one: it is never
// deleted or renamed.
bool IsParentRow(const DirEntry& entry) {
  return entry.name == "..";
}

// Beyond what a received name may hold, a typed name may not hold a
// wildcard (the rename field often still shows the mask) nor "|", which
// would keep the file out of every listing.
bool IsPlainLocalName(const std::string& name) {
  return SafeReceivedName(name) == name && name.find_first_of("*?\"<>|") == std::string::npos;
}

}  // namespace

// The answer of one kind of question during a Delete run: asked for every
// entry until the user answers "Yes All" or "No All".
class FileOperations::RunningAnswer {
 public:
  // "Yes All" and "No All" are offered only when more than one entry may be asked about.
  explicit RunningAnswer(bool offer_all)
      : flags_(offer_all ? kQuestionIcon | kOfferYesAll | kOfferNoAll : kQuestionIcon) {}

  // True when the entry may go: asks unless an answer for all was given.
  bool Allows(Ui& ui, const std::string& question, const std::string& caption) {
    if (answer_ != kAnswerYesAll && answer_ != kAnswerNoAll) answer_ = ui.AskYesNo(question, caption, flags_);
    // Only a yes deletes: a dismissed question keeps the file.
    return answer_ == kAnswerYes || answer_ == kAnswerYesAll;
  }

 private:
  int flags_;
  int answer_ = -1;
};

FileOperations::FileOperations(PanesController& panes, std::string& shared_text)
    : panes_(panes), shared_text_(shared_text) {}

bool FileOperations::AnyTagged() const {
  for (PaneSide side : {PaneSide::kLocal, PaneSide::kRemote})
    for (const DirEntry& entry : panes_.List(side).entries)
      if (entry.tagged) return true;
  return false;
}

int FileOperations::TaggedToDelete() const {
  int count = 0;
  for (PaneSide side : {PaneSide::kLocal, PaneSide::kRemote})
    for (const DirEntry& entry : panes_.List(side).entries)
      if (entry.tagged && !IsParentRow(entry)) ++count;
  return count;
}

void FileOperations::Delete() {
  if (!AnyTagged()) return;
  const bool connected = panes_.CheckLink();
  const bool several = TaggedToDelete() > 1;
  RunningAnswer confirm(several);
  RunningAnswer protect(several);
  bool refill_remote = false;
  if (DeleteLocalEntries(confirm) && connected) refill_remote = DeleteRemoteEntries(confirm, protect);
  Finish(refill_remote);
}

bool FileOperations::DeleteLocalEntries(RunningAnswer& confirm) {
  const bool ask = panes_.Settings().confirm_delete;
  Ui& ui = panes_.UserInterface();
  for (DirEntry& entry : panes_.Entries(PaneSide::kLocal).entries) {
    if (!entry.tagged) continue;
    if (IsParentRow(entry)) {
      entry.tagged = false;
      continue;
    }
    const std::filesystem::path path = panes_.LocalFolder() / entry.name;
    std::error_code error;
    if (entry.is_folder) {
      if (ask && !confirm.Allows(ui, Tr("OK to remove LOCAL ") + entry.name + Tr(" folder?"), Tr("Delete Folder"))) {
        entry.tagged = false;
        continue;
      }
      // Removes the folder only when it is empty (a link to one goes itself).
      if (!std::filesystem::remove(path, error)) {
        Trace("cannot remove local folder %s: %s", path.string().c_str(), error.message().c_str());
        ui.ShowCaptioned(Tr(kOnlyEmptyFolders), Tr("Error"), true);
        return false;
      }
      continue;
    }
    if (ask && !confirm.Allows(ui, Tr("OK to delete LOCAL file ") + entry.name + " ?", Tr("Delete File"))) {
      entry.tagged = false;
      continue;
    }
    if (!std::filesystem::remove(path, error)) {
      Trace("cannot delete local file %s: %s", path.string().c_str(), error.message().c_str());
      Fail(kFileNotDeleted, entry.name, false);
    }
  }
  return true;
}

bool FileOperations::DeleteRemoteEntries(RunningAnswer& confirm, RunningAnswer& protect) {
  const TransferSettings& settings = panes_.Settings();
  RemoteLink& link = panes_.Link();
  Ui& ui = panes_.UserInterface();
  bool tagged_any = false;
  for (DirEntry& entry : panes_.Entries(PaneSide::kRemote).entries) {
    if (!entry.tagged) continue;
    tagged_any = true;
    if (IsParentRow(entry)) {
      entry.tagged = false;
      continue;
    }
    int result;
    if (entry.is_folder) {
      if (settings.confirm_delete &&
          !confirm.Allows(ui, Tr("OK to remove REMOTE ") + entry.name + Tr(" folder?"), Tr("Delete Folder"))) {
        entry.tagged = false;
        continue;
      }
      result = link.RemoveDir(entry.name);
    } else {
      // The archive bit marks a file changed since its last download; a
      // listing without attributes marks nothing.
      const bool changed = entry.attributes != -1 && (entry.attributes & kAttrArchive) != 0;
      if (settings.protect_remote && changed &&
          !protect.Allows(
              ui, Tr("This file has not been downloaded since it was last modified. OK to delete ") + entry.name + " ?",
              Tr("Delete File"))) {
        entry.tagged = false;
        continue;
      }
      if (settings.confirm_delete &&
          !confirm.Allows(ui, Tr("OK to delete REMOTE file ") + entry.name + " ?", Tr("Delete File"))) {
        entry.tagged = false;
        continue;
      }
      result = link.DeleteFile(entry.name);
    }
    if (result != 1) {
      // The serial link has said nothing of its own by now; the device
      // link's failures are told in one text for files and folders alike.
      if (link.Settings().use_activesync) ui.ShowCaptioned(Tr(kOnlyEmptyFolders), Tr("Error"), true);
      Fail(entry.is_folder ? kFolderNotRemoved : kFileNotDeleted, entry.name);
      break;
    }
  }
  return tagged_any;
}

void FileOperations::Rename() {
  if (!AnyTagged()) return;
  const bool connected = panes_.CheckLink();
  bool refill_remote = false;
  if (RenameLocalFiles() && connected) refill_remote = RenameRemoteFiles();
  Finish(refill_remote);
}

bool FileOperations::RenameLocalFiles() {
  Ui& ui = panes_.UserInterface();
  for (const DirEntry& entry : panes_.List(PaneSide::kLocal).entries) {
    if (!entry.tagged || entry.is_folder) continue;
    if (!ui.AskNewName(shared_text_)) {
      panes_.Progress().Sound().PlaySound(kCueFailure);
      return false;
    }
    if (!shared_text_.empty() && AcceptLocalName(shared_text_)) RenameLocalFile(entry.name, shared_text_);
  }
  return true;
}

void FileOperations::RenameLocalFile(const std::string& name, const std::string& new_name) {
  const std::filesystem::path from = panes_.LocalFolder() / name;
  const std::filesystem::path to = panes_.LocalFolder() / new_name;
  std::error_code error;
  // Renaming here would silently replace an existing file; only a change
  // of case on a folder that ignores case names the same file.
  if (std::filesystem::exists(std::filesystem::symlink_status(to, error)) &&
      !std::filesystem::equivalent(from, to, error)) {
    Trace("not renaming local %s: %s exists", from.string().c_str(), to.string().c_str());
    Fail(kRenameExists, new_name, false);
    return;
  }
  std::filesystem::rename(from, to, error);
  if (!error) return;
  Trace("cannot rename local %s to %s: %s", from.string().c_str(), to.string().c_str(), error.message().c_str());
  Fail(kRenameFailed, name, false);
}

bool FileOperations::RenameRemoteFiles() {
  RemoteLink& link = panes_.Link();
  Ui& ui = panes_.UserInterface();
  bool tagged_any = false;
  for (const DirEntry& entry : panes_.List(PaneSide::kRemote).entries) {
    if (!entry.tagged) continue;
    tagged_any = true;
    if (entry.is_folder) continue;
    if (!ui.AskNewName(shared_text_)) {
      panes_.Progress().Sound().PlaySound(kCueFailure);
      break;
    }
    if (shared_text_.empty()) continue;
    if (link.Rename(entry.name, shared_text_) != 1) {
      // The collector answers no more than "ERROR"; a name its listing
      // shows already is the likely reason.
      if (RemoteListed(shared_text_) && !EqualsNoCase(shared_text_, entry.name))
        Fail(kRenameExists, shared_text_);
      else
        Fail(kRenameFailed, entry.name);
      break;
    }
  }
  return tagged_any;
}

void FileOperations::MakeDir() {
  const bool remote_allowed = panes_.CheckLink();
  folder_local_ = true;
  if (!panes_.UserInterface().AskFolderName(Tr("Enter directory to create"), remote_allowed, folder_text_,
                                            folder_local_) ||
      folder_text_.empty())
    return;
  if (folder_local_ || !remote_allowed) {
    MakeLocalFolder(folder_text_);
    panes_.FillLocal();
  } else {
    if (panes_.Link().MakeDir(folder_text_) != 1)
      Fail(RemoteListed(folder_text_) ? kMakeDirExists : kMakeDirFailed, folder_text_);
    RefillRemote();
  }
  panes_.ClearAllTags();
  ShowFailure();
}

void FileOperations::MakeLocalFolder(const std::string& name) {
  if (!AcceptLocalName(name)) return;
  const std::filesystem::path folder = panes_.LocalFolder() / name;
  std::error_code error;
  if (std::filesystem::create_directory(folder, error)) return;
  Trace("cannot create local folder %s: %s", folder.string().c_str(), error ? error.message().c_str() : "it exists");
  std::error_code ignored;
  Fail(std::filesystem::exists(std::filesystem::symlink_status(folder, ignored)) ? kMakeDirExists : kMakeDirFailed,
       name, false);
}

void FileOperations::SetPath() {
  const bool remote_allowed = panes_.CheckLink();
  // The remote side cannot be chosen while the collector does not answer.
  folder_local_ = panes_.Counters().local_has_focus || !remote_allowed;
  folder_text_.clear();
  if (folder_local_)
    folder_text_ = panes_.LocalFolder().string();
  else
    panes_.Link().QueryDir(folder_text_);
  if (!panes_.UserInterface().AskPath(Tr("Enter path"), remote_allowed, folder_text_, folder_local_) ||
      folder_text_.empty())
    return;
  if (folder_local_ || !remote_allowed)
    SetLocalPath(folder_text_);
  else
    SetRemotePath(folder_text_);
  panes_.ClearAllTags();
  ShowFailure();
}

void FileOperations::SetLocalPath(const std::string& path) {
  // A relative path starts from the pane's folder; an absolute one replaces it.
  const std::filesystem::path target = panes_.LocalFolder() / path;
  if (!panes_.SetLocalFolder(target)) {
    Trace("cannot open local folder %s", target.string().c_str());
    std::error_code error;
    Fail(std::filesystem::exists(target, error) ? kPathNotOpened : kPathMissing, path, false);
    return;
  }
  panes_.FillLocal();
}

void FileOperations::SetRemotePath(const std::string& path) {
  if (panes_.Link().ChangeDir(path) != 1) {
    Fail(kPathMissing, path);
    return;
  }
  RefillRemote();
}

void FileOperations::Finish(bool refill_remote) {
  if (refill_remote && panes_.Link().Connected()) RefillRemote();
  panes_.FillLocal();
  panes_.ClearAllTags();
  ShowFailure();
}

void FileOperations::Fail(const char* reason, const std::string& name, bool sound) {
  // The first failure is what the user needs to know; a command stops at it anyway.
  if (failure_.empty()) failure_ = Tr("Status: ") + StrPrintf(Tr(reason), name.c_str());
  if (sound) panes_.Progress().Sound().PlaySound(kCueFailure);
}

void FileOperations::ShowFailure() {
  // After the refills, which put the connection state in the status line.
  if (failure_.empty()) return;
  panes_.UserInterface().SetMainStatus(failure_);
  failure_.clear();
}

bool FileOperations::RemoteListed(const std::string& name) const {
  for (const DirEntry& entry : panes_.List(PaneSide::kRemote).entries)
    if (EqualsNoCase(entry.name, name)) return true;
  return false;
}

void FileOperations::RefillRemote() {
  const ProgressScope shown(panes_.Progress(), 0);
  panes_.FillRemote(false);
}

bool FileOperations::AcceptLocalName(const std::string& name) {
  if (IsPlainLocalName(name)) return true;
  Trace("refused local name \"%s\"", name.c_str());
  panes_.UserInterface().ShowMessageBox(
      StrPrintf(Tr("\"%s\" is not a plain name: a name may not be \".\" or \"..\" nor hold any of / \\ : * ? \" < > |"),
                name.c_str()));
  return false;
}

}  // namespace pelikon
