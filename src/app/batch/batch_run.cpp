#include "app/batch/batch_run.h"

#include <optional>
#include <string_view>
#include <system_error>

#include "app/batch/batch_file.h"
#include "link/listing/dir_listing.h"
#include "link/progress/progress_scope.h"
#include "link/transfer/received_file.h"
#include "platform/catalogue.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace pelikon {

namespace {

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

bool HoldsControlCharacter(std::string_view text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) < 32 || c == 127) return true;
  return false;
}

// A text from the batch file as it may be shown: control characters as "?".
std::string Printable(std::string text) {
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 32 || c == 127) c = '?';
  return text;
}

}  // namespace

BatchRun::BatchRun(PanesController& panes, ExitCode& exit_code, bool silent)
    : panes_(panes), exit_code_(exit_code), silent_(silent), mover_(panes) {}

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
  mover_.Reset();
  link.QueryDir(home_);
  std::unique_ptr<OvUniRecord> entries;
  if (!ReadBatchFile(batch_file, entries)) {
    Error(Tr("Unable to open batch file specified."));
    Error(batch_file.string());
  } else if (!entries) {
    Error(StrPrintf(Tr("The batch file '%s' holds no entry: each entry starts with a line local=<file>."),
                    batch_file.string().c_str()));
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
    std::string folder, name;
    if (!SplitRemote(remote, folder, name)) {
      Error(StrPrintf(Tr("Remote file '%s' is not a plain file name"), Printable(remote).c_str()));
      return false;
    }
    const bool up = upload.empty() || LenientInt32(upload) == 1;
    return up ? Upload(local, folder, name, more_follow) : Download(local, folder, name, more_follow);
  }
  if (!Value(entry, "remotedir").empty()) return SaveListing(local);
  Error(StrPrintf(Tr("Nothing to do for '%s': the entry needs a line remote=<file> or remotedir=1"),
                  Printable(local).c_str()));
  return false;
}

bool BatchRun::SplitRemote(const std::string& remote, std::string& folder, std::string& name) const {
  const size_t cut = remote.rfind('\\');
  name = cut == std::string::npos ? remote : remote.substr(cut + 1);
  if (HoldsControlCharacter(remote) || SafeReceivedName(name) != name) return false;
  const std::string part = cut == std::string::npos ? std::string() : remote.substr(0, cut);
  if (!remote.empty() && remote[0] == '\\') {
    folder = part.empty() ? "\\" : part;
    return true;
  }
  folder = home_;
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  folder = WithoutTrailingSeparator(folder + part);
  return true;
}

bool BatchRun::Upload(const std::string& local, const std::string& folder, const std::string& name, bool more_follow) {
  const std::filesystem::path local_path(local);
  std::error_code error;
  if (!std::filesystem::is_regular_file(local_path, error)) {
    Error(StrPrintf(Tr("Local file '%s' is not found"), local.c_str()));
    return false;
  }
  if (!EnsureRemoteFolder(folder, true)) {
    Error(Tr("Unable to set remote directory"));
    panes_.Link().ChangeDir(home_);
    return false;
  }
  UploadFile file{local_path, name, {}};
  if (mover_.ResolveUpload(file, more_follow) != ConflictOutcome::kGoOn) return false;
  if (mover_.Send(file) != 1) return false;
  ++moved_;
  return true;
}

bool BatchRun::Download(const std::string& local, const std::string& folder, const std::string& name,
                        bool more_follow) {
  std::filesystem::path folder_part = std::filesystem::path(local).parent_path();
  if (folder_part.empty()) folder_part = ".";
  if (!panes_.SetLocalFolder(folder_part)) {
    Error(StrPrintf(Tr("Local folder '%s' is not found"), folder_part.string().c_str()));
    panes_.Link().ChangeDir(home_);
    return false;
  }
  panes_.FillLocal();
  if (!EnsureRemoteFolder(folder, false)) {
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
  // The file keeps the collector's name; the local path gives its folder.
  DownloadFile file{listed->name, listed->name, static_cast<int64_t>(EntryBytes(*listed)), panes_.LocalFolder(), {}};
  if (mover_.ResolveDownload(file, more_follow, false) != ConflictOutcome::kGoOn) return false;
  if (mover_.Fetch(file) != 1) return false;
  ++moved_;
  return true;
}

bool BatchRun::SaveListing(const std::string& local) {
  if (panes_.Link().ListRemote() != 1) return false;
  std::error_code error;
  {
    const ProgressScope shown(panes_.Progress());
    std::filesystem::copy_file(panes_.TempFolder() / kRemoteListingName, local,
                               std::filesystem::copy_options::overwrite_existing, error);
  }
  if (error) {
    Trace("cannot save the listing to %s: %s", local.c_str(), error.message().c_str());
    return false;
  }
  ++moved_;
  return true;
}

int BatchRun::EnsureRemoteFolder(const std::string& wanted, bool create) {
  RemoteLink& link = panes_.Link();
  // Hidden while the user is asked whether to make a folder.
  std::optional<ProgressScope> shown(std::in_place, panes_.Progress());
  std::string current;
  link.QueryDir(current);
  panes_.FillRemote(true);
  const std::string path = WithoutTrailingSeparator(wanted);
  current = WithoutTrailingSeparator(current);
  if (EqualsNoCase(path, current)) return 1;
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
  // Nothing to walk: the wanted folder holds the current one (the root
  // does), and is one step away.
  if (next >= path.size()) {
    if (link.ChangeDir(path) != 1) return 0;
    panes_.FillRemote(true);
    return 1;
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
      if (!create) return 0;
      shown.reset();
      const int answer = panes_.UserInterface().AskYesNo(
          StrPrintf(Tr("Remote folder '%s' does not exist. Create now?"), through.c_str()), Tr(kCreateFolderCaption),
          kQuestionIcon | kDefaultYes);
      if (answer != kAnswerYes) return 0;
      shown.emplace(panes_.Progress());
      if (link.MakeDir(component) != 1) return 0;
    }
    if (link.ChangeDir(through) != 1) return 0;
    panes_.FillRemote(true);
    current = through;
  }
  return 1;
}

}  // namespace pelikon
