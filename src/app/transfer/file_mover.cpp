#include "app/transfer/file_mover.h"

#include <unistd.h>

#include <system_error>

#include "app/transfer/staging.h"
#include "link/progress/progress_scope.h"
#include "link/transfer/received_file.h"
#include "platform/atomic_file.h"
#include "platform/catalogue.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace pelikon {

namespace {

constexpr int kQuestionWithAll = kQuestionIcon | kOfferYesAll | kOfferNoAll;

bool IsAll(int answer) {
  return answer == kAnswerYesAll || answer == kAnswerNoAll;
}
bool Skips(int answer) {
  return answer == kAnswerNo || answer == kAnswerNoAll;
}

// An empty hidden file beside `target` that no other file can be; empty on failure.
std::filesystem::path MakeTwin(const std::filesystem::path& target) {
  std::string pattern = (target.parent_path() / (".pelikon-" + target.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) return {};
  ::close(fd);
  return pattern;
}

}  // namespace

bool IsBareName(const std::string& name) {
  return SafeReceivedName(name) == name;
}

void RemoveQuietly(const std::filesystem::path& file) {
  if (file.empty()) return;
  std::error_code ignored;
  std::filesystem::remove(file, ignored);
}

bool MoveIntoPlace(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::error_code error;
  std::filesystem::rename(from, to, error);
  if (!error) return true;
  if (error != std::errc::cross_device_link) {
    Trace("cannot move %s to %s: %s", from.c_str(), to.c_str(), error.message().c_str());
    return false;
  }
  // Another file system: the copy is made complete beside the target
  // before it replaces it, and only then does the source go.
  const std::filesystem::path twin = MakeTwin(to);
  if (twin.empty()) {
    Trace("cannot make a copy beside %s", to.c_str());
    return false;
  }
  std::filesystem::copy_file(from, twin, std::filesystem::copy_options::overwrite_existing, error);
  if (!error) error = ReplaceWithTwin(twin, to);
  if (error) {
    Trace("cannot replace %s: %s", to.c_str(), error.message().c_str());
    RemoveQuietly(twin);
    return false;
  }
  std::filesystem::remove(from, error);
  if (error) Trace("cannot remove %s after copying it: %s", from.c_str(), error.message().c_str());
  return true;
}

void FileMover::Reset() {
  answer_ = -1;
  last_result_ = 0;
}

const DirEntry* FileMover::RemoteEntry(const std::string& name) const {
  for (const DirEntry& entry : panes_.List(PaneSide::kRemote).entries)
    if (EqualsNoCase(entry.name, name)) return &entry;
  return nullptr;
}

bool FileMover::RemoteListed(const std::string& name) const {
  return RemoteEntry(name) != nullptr;
}

bool FileMover::LocalExists(const std::string& name) const {
  // A link that points nowhere is still a file that would be replaced.
  std::error_code error;
  return std::filesystem::exists(std::filesystem::symlink_status(panes_.LocalFolder() / name, error));
}

int FileMover::Resolve(TransferDirection direction, const std::filesystem::path& local_folder,
                       const std::string& source_name, bool offer_all, std::string& target,
                       std::filesystem::path& staged) {
  const bool offer_merge = panes_.MergeWindow() && HasExtension(target, "crd");
  const ConflictContext context =
      MakeConflictContext(direction, offer_all, panes_.TempFolder(), local_folder, source_name, offer_merge);
  return ResolveFileConflict(panes_.UserInterface(), context, target, staged);
}

ConflictOutcome FileMover::ResolveUpload(UploadFile& file, bool offer_all) {
  while (panes_.Settings().confirm_overwrite && RemoteListed(file.target)) {
    if (!IsAll(answer_)) {
      const std::filesystem::path earlier = file.staged;
      answer_ = Resolve(TransferDirection::kUpload, file.source.parent_path(), file.source.filename().string(),
                        offer_all, file.target, file.staged);
      // A second rename replaces the first one's copy.
      if (earlier != file.staged) RemoveQuietly(earlier);
    }
    // The merged copy of the collector's file is what is sent.
    if (answer_ == kAnswerMerge && !MergeIntoCollectorCopy(file)) answer_ = kAnswerStagingFailed;
    if (Skips(answer_) || answer_ == kAnswerStagingFailed) {
      RemoveQuietly(file.staged);
      file.staged.clear();
      return Skips(answer_) ? ConflictOutcome::kSkip : ConflictOutcome::kStop;
    }
    if (answer_ != kAnswerRename) break;
  }
  return ConflictOutcome::kGoOn;
}

bool FileMover::MergeIntoCollectorCopy(const UploadFile& file) {
  RemoveQuietly(file.staged);
  const DirEntry* listed = RemoteEntry(file.target);
  if (Get(file.staged, listed ? listed->size : 0) != 1) return false;
  MergeWindowPort* window = panes_.MergeWindow();
  return window && MergePoints(file.source, file.staged, *window, panes_.UserInterface()) == 1;
}

int FileMover::Send(UploadFile& file) {
  std::filesystem::path send = file.staged.empty() ? file.source : file.staged;
  std::filesystem::path copy;
  // The collector names a received file after the file sent: a file to be
  // stored under another name travels as a copy of that name.
  if (send.filename().string() != file.target) {
    const std::filesystem::path folder = StagingFolder(panes_.TempFolder());
    std::error_code error;
    if (!folder.empty() && IsBareName(file.target)) {
      copy = folder / file.target;
      std::filesystem::copy_file(send, copy, std::filesystem::copy_options::overwrite_existing, error);
    }
    if (folder.empty() || !IsBareName(file.target) || error) {
      panes_.UserInterface().ShowCaptioned(
          StrPrintf(Tr("Unable to read local file '%s'"), file.source.string().c_str()), Tr("Error"), true);
      RemoveQuietly(copy);
      RemoveQuietly(file.staged);
      file.staged.clear();
      last_result_ = 0;
      return 0;
    }
    send = copy;
  }
  const int result = Put(send);
  RemoveQuietly(copy);
  RemoveQuietly(file.staged);
  file.staged.clear();
  return result;
}

ConflictOutcome FileMover::ResolveDownload(DownloadFile& file, bool offer_all, bool confirm_twice) {
  const bool confirm = panes_.Settings().confirm_overwrite;
  if (!confirm || !LocalExists(file.target)) return ConflictOutcome::kGoOn;
  if (!IsAll(answer_))
    answer_ =
        Resolve(TransferDirection::kDownload, panes_.LocalFolder(), file.source, offer_all, file.target, file.staged);
  if (Skips(answer_)) return ConflictOutcome::kSkip;
  if (answer_ == kAnswerStagingFailed) return ConflictOutcome::kStop;
  file.merge = answer_ == kAnswerMerge;
  // A merge changes the local file point by point; it replaces nothing.
  if (confirm_twice && !IsAll(answer_) && !file.merge && LocalExists(file.target)) {
    answer_ = panes_.UserInterface().AskYesNo(Tr("OK to overwrite ") + file.target + " ?", Tr("Overwrite File"),
                                              offer_all ? kQuestionWithAll : kQuestionIcon);
    if (Skips(answer_)) return ConflictOutcome::kSkip;
  }
  return ConflictOutcome::kGoOn;
}

int FileMover::Receive(const DownloadFile& file) {
  return Get(file.Received(), file.size);
}

bool FileMover::Keep(const std::filesystem::path& received, const std::string& target) {
  const std::filesystem::path keep = panes_.LocalFolder() / target;
  if (received == keep) return true;
  if (IsBareName(target) && MoveIntoPlace(received, keep)) return true;
  last_result_ = 0;
  panes_.UserInterface().ShowCaptioned(
      StrPrintf(Tr("The received file could not be stored as '%s'; it is kept as '%s'."), keep.string().c_str(),
                received.string().c_str()),
      Tr("Error"), true);
  return false;
}

bool FileMover::Settle(const DownloadFile& file) {
  if (!file.merge) return Keep(file.Received(), file.target);
  MergeWindowPort* window = panes_.MergeWindow();
  const bool merged =
      window && MergePoints(file.Received(), panes_.LocalFolder() / file.target, *window, panes_.UserInterface()) == 1;
  RemoveQuietly(file.Received());
  if (!merged) last_result_ = 0;
  return merged;
}

int FileMover::Fetch(const DownloadFile& file) {
  if (Receive(file) != 1) return 0;
  return Settle(file) ? 1 : 0;
}

int FileMover::Put(const std::filesystem::path& file) {
  std::error_code error;
  const auto size = std::filesystem::file_size(file, error);
  const ProgressScope shown(panes_.Progress(), error ? 0 : static_cast<int64_t>(size));
  last_result_ = panes_.Link().PutFile(file.string());
  return last_result_;
}

int FileMover::Get(const std::filesystem::path& file, int64_t size) {
  const ProgressScope shown(panes_.Progress(), size);
  last_result_ = panes_.Link().GetFile(file.string());
  return last_result_;
}

}  // namespace pelikon
