#include "app/batch/batch_run.h"

#include <system_error>

#include "app/batch/batch_file.h"
#include "app/transfer/file_conflict.h"
#include "app/transfer/staging.h"
#include "link/listing/dir_listing.h"
#include "platform/catalogue.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace pelikon {

namespace {

bool IsAll(int answer) {
  return answer == kAnswerYesAll || answer == kAnswerNoAll;
}

std::string Value(const OvUniRecord& entry, const char* key) {
  std::string value;
  entry.GetText(key, value);
  return value;
}

// "\A\B\" and "\A\B" are one folder; the root stays "\".
std::string WithoutTrailingSeparator(std::string folder) {
  while (folder.size() > 1 && folder.back() == '\\') folder.pop_back();
  return folder;
}

}  // namespace

BatchRun::BatchRun(PanesController& panes, ExitCode& exit_code, bool silent)
    : panes_(panes), exit_code_(exit_code), silent_(silent) {}

void BatchRun::Error(const std::string& text) {
  panes_.UserInterface().ShowCaptioned(text, Tr("Error"), true);
}

bool BatchRun::RemoteListed(const std::string& name, bool folder) const {
  for (const DirEntry& entry : panes_.List(PaneSide::kRemote).entries)
    if (EqualsNoCase(entry.name, name) && entry.is_folder == folder) return true;
  return false;
}

void BatchRun::Run(const std::filesystem::path& batch_file) {
  RemoteLink& link = panes_.Link();
  if (!panes_.CheckLink()) {
    link.ShowNotConnectedHelp();
    Error(Tr("No connection to remote device."));
    return;
  }
  link.QueryDir(home_);
  std::unique_ptr<OvUniRecord> entries;
  if (!ReadBatchFile(batch_file, entries)) {
    Error(Tr("Unable to open batch file specified."));
    Error(batch_file.string());
  }
  for (const OvUniRecord* entry = entries.get(); entry; entry = entry->Next()) {
    ++processed_;
    exit_code_.RecordEntry(RunEntry(*entry));
  }
  link.ChangeDir(home_);
  if (processed_ > 0 && !silent_)
    panes_.UserInterface().ShowCaptioned(StrPrintf(Tr("Transfered %d of %d files successfully."), moved_, processed_),
                                         Tr("Transfer Completed"), false);
}

bool BatchRun::RunEntry(const OvUniRecord& entry) {
  const std::string local = Value(entry, "local");
  const std::string remote = Value(entry, "remote");
  const std::string upload = Value(entry, "upload");
  const bool more_follow = entry.Next() != nullptr;
  if (local.empty()) {
    Error(Tr("Missing file name"));
    return false;
  }
  if (!remote.empty()) {
    const bool up = upload.empty() || LenientInt32(upload) == 1;
    return up ? Upload(local, remote, more_follow) : Download(local, remote, more_follow);
  }
  if (!Value(entry, "remotedir").empty()) return SaveListing(local);
  return false;
}

void BatchRun::SplitRemote(const std::string& remote, std::string& folder, std::string& name) const {
  const size_t cut = remote.rfind('\\');
  name = cut == std::string::npos ? remote : remote.substr(cut + 1);
  const std::string part = cut == std::string::npos ? std::string() : remote.substr(0, cut);
  if (!remote.empty() && remote[0] == '\\') {
    folder = part.empty() ? "\\" : part;
    return;
  }
  folder = home_;
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  folder = WithoutTrailingSeparator(folder + part);
}

bool BatchRun::Upload(const std::string& local, const std::string& remote, bool more_follow) {
  const std::filesystem::path local_path(local);
  std::error_code error;
  if (!std::filesystem::is_regular_file(local_path, error)) {
    Error(StrPrintf(Tr("Local file '%s' is not found"), local.c_str()));
    return false;
  }
  std::string folder, target;
  SplitRemote(remote, folder, target);
  if (target.empty() || !EnsureRemoteFolder(folder, true)) {
    Error(Tr("Unable to set remote directory"));
    panes_.Link().ChangeDir(home_);
    return false;
  }

  const std::string local_name = local_path.filename().string();
  std::filesystem::path staged;
  while (RemoteListed(target, false) && panes_.Settings().confirm_overwrite) {
    if (!IsAll(answer_)) {
      const ConflictContext context = MakeConflictContext(TransferDirection::kUpload, more_follow, panes_.TempFolder(),
                                                          local_path.parent_path(), local_name);
      answer_ = ResolveFileConflict(panes_.UserInterface(), context, target, staged);
    }
    if (answer_ == kAnswerNo || answer_ == kAnswerNoAll || answer_ == kAnswerStagingFailed) return false;
    if (answer_ != kAnswerRename) break;
  }

  // The collector names a received file after the file sent: a file to be
  // stored under another name travels as a copy of that name.
  std::filesystem::path send_path = staged.empty() ? local_path : staged;
  if (send_path.filename().string() != target) {
    const std::filesystem::path folder_for_copy = StagingFolder(panes_.TempFolder());
    const std::filesystem::path copy = folder_for_copy / target;
    std::filesystem::copy_file(local_path, copy, std::filesystem::copy_options::overwrite_existing, error);
    if (folder_for_copy.empty() || error || std::filesystem::path(target).filename() != target) {
      Error(StrPrintf(Tr("Unable to read local file '%s'"), local.c_str()));
      return false;
    }
    send_path = copy;
  }
  panes_.Progress().SetTotal(static_cast<int64_t>(std::filesystem::file_size(send_path, error)));
  panes_.Progress().OpenProgress();
  const int result = panes_.Link().PutFile(send_path.string());
  panes_.Progress().CloseProgress();
  if (send_path != local_path) std::filesystem::remove(send_path, error);
  if (result != 1) return false;
  ++moved_;
  return true;
}

bool BatchRun::Download(const std::string& local, const std::string& remote, bool more_follow) {
  std::filesystem::path folder_part = std::filesystem::path(local).parent_path();
  if (folder_part.empty()) folder_part = ".";
  if (!panes_.SetLocalFolder(folder_part)) {
    Error(StrPrintf(Tr("Local folder '%s' is not found"), folder_part.string().c_str()));
    panes_.Link().ChangeDir(home_);
    return false;
  }
  panes_.FillLocal();
  std::string folder, name;
  SplitRemote(remote, folder, name);
  if (name.empty() || !EnsureRemoteFolder(folder, false)) {
    Error(Tr("Unable to set remote directory"));
    panes_.Link().ChangeDir(home_);
    return false;
  }
  const DirEntry* listed = nullptr;
  for (const DirEntry& entry : panes_.List(PaneSide::kRemote).entries)
    if (!entry.is_folder && EqualsNoCase(entry.name, name)) listed = &entry;
  if (!listed) {
    Error(StrPrintf(Tr("Remote file '%s' is not found"), name.c_str()));
    return false;
  }
  const std::string source = listed->name;
  const int64_t size = static_cast<uint32_t>(listed->size);

  std::string target = source;
  std::filesystem::path receive_path = panes_.LocalFolder() / source;
  std::error_code error;
  if (std::filesystem::exists(receive_path, error) && panes_.Settings().confirm_overwrite) {
    if (!IsAll(answer_)) {
      const ConflictContext context = MakeConflictContext(TransferDirection::kDownload, more_follow,
                                                          panes_.TempFolder(), panes_.LocalFolder(), source);
      std::filesystem::path staged;
      answer_ = ResolveFileConflict(panes_.UserInterface(), context, target, staged);
      if (!staged.empty()) receive_path = staged;
    }
    if (answer_ == kAnswerNo || answer_ == kAnswerNoAll || answer_ == kAnswerStagingFailed) return false;
  }
  panes_.Progress().SetTotal(size);
  panes_.Progress().OpenProgress();
  const int result = panes_.Link().GetFile(receive_path.string());
  panes_.Progress().CloseProgress();
  if (result != 1) return false;
  const std::filesystem::path keep_path = panes_.LocalFolder() / target;
  if (receive_path != keep_path) {
    std::filesystem::rename(receive_path, keep_path, error);
    if (error) {
      std::filesystem::copy_file(receive_path, keep_path, std::filesystem::copy_options::overwrite_existing, error);
      if (error) return false;
    }
  }
  ++moved_;
  return true;
}

bool BatchRun::SaveListing(const std::string& local) {
  if (panes_.Link().ListRemote() != 1) return false;
  panes_.Progress().OpenProgress();
  std::error_code error;
  std::filesystem::copy_file(panes_.TempFolder() / kRemoteListingName, local,
                             std::filesystem::copy_options::overwrite_existing, error);
  panes_.Progress().CloseProgress();
  if (error) {
    Trace("cannot save the listing to %s: %s", local.c_str(), error.message().c_str());
    return false;
  }
  ++moved_;
  return true;
}

int BatchRun::EnsureRemoteFolder(const std::string& wanted, bool create) {
  RemoteLink& link = panes_.Link();
  panes_.Progress().OpenProgress();
  const auto done = [&](int result) {
    panes_.Progress().CloseProgress();
    return result;
  };
  std::string current;
  link.QueryDir(current);
  panes_.FillRemote(true);
  const std::string path = WithoutTrailingSeparator(wanted);
  current = WithoutTrailingSeparator(current);
  if (EqualsNoCase(path, current)) return done(1);
  if (current.empty() || current[0] != '\\') current = "\\" + current;

  // The longest leading part of both that ends at a separator.
  const std::string upper_path = AsciiUpper(path);
  const std::string upper_current = AsciiUpper(current);
  size_t same = 0;
  while (same < upper_path.size() && same < upper_current.size() && upper_path[same] == upper_current[same]) ++same;
  size_t next;  // where the first component to walk starts
  if (same == upper_current.size() && same < upper_path.size() && upper_path[same] == '\\') {
    next = same + 1;
  } else {
    const size_t separator = upper_path.rfind('\\', same == 0 ? 0 : same - 1);
    next = separator == std::string::npos ? 0 : separator + 1;
  }

  while (next < path.size()) {
    size_t end = path.find('\\', next);
    if (end == std::string::npos) end = path.size();
    const std::string component = path.substr(next, end - next);
    std::string before = path.substr(0, next);
    before = WithoutTrailingSeparator(before.empty() ? "\\" : before);
    const std::string through = path.substr(0, end);
    next = end + 1;
    if (component.empty()) continue;
    if (!EqualsNoCase(before, current)) {
      link.ChangeDir(before);
      panes_.FillRemote(true);
      current = before;
    }
    if (!RemoteListed(component, true)) {
      if (!create) return done(0);
      panes_.Progress().CloseProgress();
      const int answer = panes_.UserInterface().AskYesNo(
          StrPrintf(Tr("Remote folder '%s' does not exist. Create now?"), through.c_str()), Tr("Create folder?"),
          kQuestionIcon);
      if (answer != kAnswerYes || link.MakeDir(component) != 1) return done(0);
      panes_.Progress().OpenProgress();
    }
    if (link.ChangeDir(through) != 1) return done(0);
    panes_.FillRemote(true);
    current = through;
  }
  return done(1);
}

}  // namespace pelikon
