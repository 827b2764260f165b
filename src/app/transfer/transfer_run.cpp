#include "app/transfer/transfer_run.h"

#include <algorithm>
#include <set>
#include <system_error>
#include <vector>

#include "app/transfer/staging.h"
#include "link/convert/converter.h"
#include "platform/catalogue.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace pelikon {

namespace {

constexpr int kQuestionWithAll = kQuestionIcon | kOfferYesAll | kOfferNoAll;
constexpr int kPcDatabaseForFieldBook = 900;  // sent as ".TDB"
constexpr int kPcDatabaseForRoadBook = 901;   // sent as ".RDB"

bool IsAll(int answer) {
  return answer == kAnswerYesAll || answer == kAnswerNoAll;
}
bool Skips(int answer) {
  return answer == kAnswerNo || answer == kAnswerNoAll;
}
bool HasExtension(const std::string& name, const char* extension) {
  return EqualsNoCase(Extension(name), extension);
}

std::string OverwriteQuestion(const std::string& name) {
  return Tr("OK to overwrite ") + name + " ?";
}

// A file replaced only once its new content is complete.
bool ReplaceWith(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::error_code error;
  std::filesystem::rename(from, to, error);
  if (!error) return true;
  // Another file system: copy, then drop the source.
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
  if (error) {
    Trace("cannot replace %s: %s", to.c_str(), error.message().c_str());
    return false;
  }
  std::filesystem::remove(from, error);
  return true;
}

void RemoveQuietly(const std::filesystem::path& file) {
  std::error_code ignored;
  std::filesystem::remove(file, ignored);
}

}  // namespace

TransferRun::TransferRun(PanesController& panes, Converter* converter)
    : panes_(panes), converter_(converter && converter->Available() ? converter : nullptr) {}

bool TransferRun::Converting() const {
  return converter_ != nullptr;
}

bool TransferRun::Listed(PaneSide side, const std::string& name) const {
  for (const DirEntry& entry : panes_.List(side).entries)
    if (EqualsNoCase(entry.name, name)) return true;
  return false;
}

void TransferRun::Start() {
  answer_ = -1;
  transferred_ = 0;
  last_result_ = 0;
  Ui& ui = panes_.UserInterface();
  if (!panes_.CheckLink()) {
    panes_.Link().ShowNotConnectedHelp();
    panes_.Progress().ShowCommError(Tr("No Connection"));
    return;
  }
  const auto tagged = [](const DirList& list) {
    return std::any_of(list.entries.begin(), list.entries.end(), [](const DirEntry& e) { return e.tagged; });
  };
  if (!tagged(panes_.List(PaneSide::kLocal)) && !tagged(panes_.List(PaneSide::kRemote))) return;

  IncludeJobCompanions();
  Walk walk = Upload();
  if (walk == Walk::kGoOn) walk = Download();
  if (walk != Walk::kEndQuietly && last_result_ == 1) {
    ui.ShowMessage(Tr("File Transfer"), Tr("Complete"));
    panes_.Progress().Sound().PlaySound(1);
  }

  panes_.Progress().OpenProgress();
  if (transferred_ > 0) {
    panes_.FillRemote(false);
    panes_.FillLocal();
  }
  panes_.ClearAllTags();
  panes_.Progress().CloseProgress();
}

bool TransferRun::IncludeJobCompanions() {
  if (panes_.Settings().mask != "*.*") return false;
  std::set<std::string> jobs[2];
  for (const PaneSide side : {PaneSide::kLocal, PaneSide::kRemote})
    for (const DirEntry& entry : panes_.List(side).entries)
      if (entry.tagged && !entry.is_folder && HasExtension(entry.name, "crd"))
        jobs[static_cast<int>(side)].insert(AsciiUpper(BaseName(entry.name)));
  if (jobs[0].empty() && jobs[1].empty()) return false;
  if (panes_.UserInterface().AskYesNo(Tr("Would you like to also include all files by the same job name(s)?"),
                                      Tr("Additional Files"), kQuestionIcon) != kAnswerYes)
    return false;
  for (const PaneSide side : {PaneSide::kLocal, PaneSide::kRemote})
    for (DirEntry& entry : panes_.Entries(side).entries)
      if (!entry.tagged && !entry.is_folder && jobs[static_cast<int>(side)].count(AsciiUpper(BaseName(entry.name))))
        entry.tagged = true;
  return true;
}

int TransferRun::AskAboutConflict(TransferDirection direction, const std::string& source_name, std::string& target,
                                  std::filesystem::path& staging_path) {
  const ConflictContext context =
      MakeConflictContext(direction, true, panes_.TempFolder(), panes_.LocalFolder(), source_name);
  return ResolveFileConflict(panes_.UserInterface(), context, target, staging_path);
}

int TransferRun::Put(const std::filesystem::path& file, int64_t size) {
  panes_.Progress().SetTotal(size);
  panes_.Progress().OpenProgress();
  last_result_ = panes_.Link().PutFile(file.string());
  panes_.Progress().CloseProgress();
  return last_result_;
}

int TransferRun::Get(const std::filesystem::path& file, int64_t size) {
  panes_.Progress().SetTotal(size);
  panes_.Progress().OpenProgress();
  last_result_ = panes_.Link().GetFile(file.string());
  panes_.Progress().CloseProgress();
  return last_result_;
}

void TransferRun::ShowConverterFailure(const std::string& message) {
  panes_.UserInterface().ShowMessageBox(message.empty() ? std::string(Tr("Conversion failed")) : message);
}

TransferRun::Walk TransferRun::Upload() {
  std::vector<DirEntry>& entries = panes_.Entries(PaneSide::kLocal).entries;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].is_folder || !entries[i].tagged) continue;
    const Walk walk = UploadFile(entries[i]);
    if (walk != Walk::kGoOn) return walk;
  }
  return Walk::kGoOn;
}

TransferRun::Walk TransferRun::UploadFile(DirEntry& entry) {
  // A collector that lists short names addresses files by them.
  const std::string source = panes_.RemoteLongNames() ? entry.name : entry.short_name;
  const std::filesystem::path source_path = panes_.LocalFolder() / source;
  std::string target = source;
  int database_type = 0;
  if (Converting() && HasExtension(source, "mdb")) {
    std::string message;
    panes_.Progress().SetTotal(0);
    panes_.Progress().OpenProgress();
    const int found = converter_->GetMdbType(source_path.string(), database_type, message);
    panes_.Progress().CloseProgress();
    if (found == 1 && database_type == kPcDatabaseForFieldBook) target = WithExtension(target, "TDB");
    if (found == 1 && database_type == kPcDatabaseForRoadBook) target = WithExtension(target, "RDB");
    if (found != 1) database_type = 0;
  }

  std::filesystem::path staged;
  while (Listed(PaneSide::kRemote, target) && panes_.Settings().confirm_overwrite) {
    if (!IsAll(answer_)) {
      const std::filesystem::path earlier = staged;
      answer_ = AskAboutConflict(TransferDirection::kUpload, source, target, staged);
      if (!earlier.empty() && earlier != staged) RemoveQuietly(earlier);
    }
    if (Skips(answer_) || answer_ == kAnswerStagingFailed) RemoveQuietly(staged);
    if (Skips(answer_)) {
      entry.tagged = false;
      return Walk::kGoOn;
    }
    if (answer_ == kAnswerStagingFailed) return Walk::kEndAfterCompletion;
    if (answer_ != kAnswerRename) break;
  }

  if (Converting() && HasExtension(source, "aln")) {
    transferred_ += SendAlignment(source_path);
    entry.tagged = false;
    return Walk::kGoOn;
  }

  std::filesystem::path send_path = staged.empty() ? source_path : staged;
  if (database_type == kPcDatabaseForFieldBook || database_type == kPcDatabaseForRoadBook) {
    // The converted copy is made in the staging folder under the target's name.
    const std::filesystem::path folder = StagingFolder(panes_.TempFolder());
    if (folder.empty()) return Walk::kGoOn;
    const std::filesystem::path converted = folder / target;
    RemoveQuietly(converted);
    std::string message;
    panes_.Progress().SetTotal(0);
    panes_.Progress().OpenProgress();
    // Converted from the user's own file; a renamed copy is not needed.
    if (!staged.empty() && staged != converted) RemoveQuietly(staged);
    const int done =
        converter_->MdbToDb(source_path.string(), converted.string(), database_type, message, &panes_.Progress());
    panes_.Progress().CloseProgress();
    if (done != 1) {
      ShowConverterFailure(message);
      return Walk::kGoOn;
    }
    send_path = converted;
  }

  std::error_code error;
  const bool copy = send_path != source_path;
  const int64_t size =
      copy ? static_cast<int64_t>(std::filesystem::file_size(send_path, error)) : static_cast<uint32_t>(entry.size);
  const int result = Put(send_path, error ? 0 : size);
  // Copies under another name live in the staging folder and go with the run.
  if (copy) RemoveQuietly(send_path);
  if (result != 1) return Walk::kEndQuietly;
  ++transferred_;
  return Walk::kGoOn;
}

TransferRun::Walk TransferRun::Download() {
  std::vector<DirEntry>& entries = panes_.Entries(PaneSide::kRemote).entries;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].is_folder || !entries[i].tagged) continue;
    const Walk walk = DownloadFile(entries[i]);
    if (walk != Walk::kGoOn) return walk;
  }
  return Walk::kGoOn;
}

TransferRun::Walk TransferRun::DownloadFile(DirEntry& entry) {
  Ui& ui = panes_.UserInterface();
  const std::string source = entry.name;
  const bool database = Converting() && HasExtension(source, "rdb");
  std::string target = database ? WithExtension(source, "mdb") : source;
  // A collector database is received into the staging folder and converted
  // from there, so that no file beside the user's own is touched.
  std::filesystem::path receive_path = panes_.LocalFolder() / source;
  if (database) {
    const std::filesystem::path folder = StagingFolder(panes_.TempFolder());
    if (folder.empty()) return Walk::kGoOn;
    receive_path = folder / source;
  }

  const bool exists = Listed(PaneSide::kLocal, target) && panes_.Settings().confirm_overwrite;
  if (exists) {
    std::filesystem::path staged;
    if (!IsAll(answer_)) answer_ = AskAboutConflict(TransferDirection::kDownload, source, target, staged);
    if (Skips(answer_)) {
      entry.tagged = false;
      return Walk::kGoOn;
    }
    if (answer_ == kAnswerStagingFailed) return Walk::kEndAfterCompletion;
    if (!staged.empty()) receive_path = staged;
  }
  const std::filesystem::path keep_path = panes_.LocalFolder() / target;
  if (Listed(PaneSide::kLocal, target) && panes_.Settings().confirm_overwrite && !IsAll(answer_)) {
    answer_ = ui.AskYesNo(OverwriteQuestion(target), Tr("Overwrite File"), kQuestionWithAll);
    if (Skips(answer_)) {
      entry.tagged = false;
      return Walk::kGoOn;
    }
  }

  if (Converting() && HasExtension(source, "cl")) {
    const bool include_all = ui.AskYesNo(Tr("Would you like to include all .CL files in the same folder?"),
                                         Tr("Include All CL Files"), kQuestionIcon) == kAnswerYes;
    return MakeAlignment(include_all) ? Walk::kGoOn : Walk::kEndQuietly;
  }

  if (Get(receive_path, static_cast<uint32_t>(entry.size)) != 1) return Walk::kEndQuietly;

  if (database) {
    const std::filesystem::path converted = receive_path.parent_path() / ("converted-" + target);
    RemoveQuietly(converted);
    std::string message;
    panes_.Progress().SetTotal(0);
    panes_.Progress().OpenProgress();
    const int done = converter_->DbToMdb(receive_path.string(), converted.string(), message, &panes_.Progress());
    panes_.Progress().CloseProgress();
    if (done != 1 || !ReplaceWith(converted, keep_path)) {
      ShowConverterFailure(message);
      RemoveQuietly(converted);
      return Walk::kGoOn;
    }
    RemoveQuietly(receive_path);
    ++transferred_;
    return Walk::kGoOn;
  }
  if (receive_path != keep_path && !ReplaceWith(receive_path, keep_path)) return Walk::kGoOn;
  ++transferred_;
  return Walk::kGoOn;
}

int TransferRun::SendAlignment(const std::filesystem::path& aln_path) {
  const std::filesystem::path folder = FreshCenterlineFolder(panes_.TempFolder());
  if (folder.empty()) return 0;
  std::string message;
  panes_.Progress().SetTotal(0);
  panes_.Progress().OpenProgress();
  const int made = converter_->AlnToCl(aln_path.string(), folder.string(), message);
  panes_.Progress().CloseProgress();
  if (made != 1) return 0;

  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& item : std::filesystem::directory_iterator(folder, error))
    if (item.is_regular_file() && HasExtension(item.path().filename().string(), "cl")) files.push_back(item.path());
  std::sort(files.begin(), files.end());

  int sent = 0;
  int answer = -1;
  for (const std::filesystem::path& file : files) {
    const std::string name = file.filename().string();
    if (Listed(PaneSide::kRemote, name) && panes_.Settings().confirm_overwrite && !IsAll(answer))
      answer = panes_.UserInterface().AskYesNo(OverwriteQuestion(name), Tr("Overwrite File"), kQuestionWithAll);
    if (Listed(PaneSide::kRemote, name) && panes_.Settings().confirm_overwrite && Skips(answer)) continue;
    if (Put(file, static_cast<int64_t>(std::filesystem::file_size(file, error))) != 1) {
      panes_.UserInterface().ShowMessageBox(Tr("Transfer failed"));
      break;
    }
    ++sent;
  }
  return sent;
}

bool TransferRun::MakeAlignment(bool include_all) {
  Ui& ui = panes_.UserInterface();
  std::string name;
  if (!ui.AskText(Tr("Name ALN file to create"), Tr("Enter name of ALN file to create"), name)) return false;
  name = std::string(Trim(name));
  if (name.empty() || std::filesystem::path(name).filename() != name || name == "." || name == "..") {
    ui.ShowMessageBox(Tr("Please specify new file name"));
    return false;
  }
  const std::string aln_name = WithExtension(name, "aln");
  const std::filesystem::path aln_path = panes_.LocalFolder() / aln_name;
  if (Listed(PaneSide::kLocal, aln_name) && panes_.Settings().confirm_overwrite &&
      ui.AskYesNo(OverwriteQuestion(aln_name), Tr("Overwrite File"), kQuestionIcon) != kAnswerYes)
    return false;

  const std::filesystem::path folder = FreshCenterlineFolder(panes_.TempFolder());
  if (folder.empty()) return false;
  std::vector<DirEntry>& entries = panes_.Entries(PaneSide::kRemote).entries;
  if (include_all)
    for (DirEntry& entry : entries)
      if (!entry.is_folder && HasExtension(entry.name, "cl")) entry.tagged = true;

  std::vector<std::filesystem::path> received;
  for (DirEntry& entry : entries) {
    if (entry.is_folder || !entry.tagged || !HasExtension(entry.name, "cl")) continue;
    if (Get(folder / entry.name, static_cast<uint32_t>(entry.size)) != 1) return false;
    entry.tagged = false;
    received.push_back(folder / entry.name);
  }
  if (received.empty()) return true;
  std::string message;
  const bool single = received.size() == 1;
  const std::filesystem::path source = single ? received.front() : folder;
  if (converter_->ClToAln(source.string(), aln_path.string(), single, message) == 0) {
    ShowConverterFailure(message);
    return false;
  }
  return true;
}

}  // namespace pelikon
