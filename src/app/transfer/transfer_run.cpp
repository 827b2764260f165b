#include "app/transfer/transfer_run.h"

#include <algorithm>
#include <set>
#include <system_error>
#include <vector>

#include "app/transfer/staging.h"
#include "link/convert/converter.h"
#include "link/progress/progress_scope.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

constexpr int kPcDatabaseForFieldBook = 900;  // sent as ".TDB"
constexpr int kPcDatabaseForRoadBook = 901;   // sent as ".RDB"

std::string OverwriteQuestion(const std::string& name) {
  return Tr("OK to overwrite ") + name + " ?";
}

}  // namespace

TransferRun::TransferRun(PanesController& panes, Converter* converter)
    : panes_(panes), converter_(converter && converter->Available() ? converter : nullptr), mover_(panes) {}

bool TransferRun::Converting() const {
  return converter_ != nullptr;
}

bool TransferRun::Listed(PaneSide side, const std::string& name) const {
  for (const DirEntry& entry : panes_.List(side).entries)
    if (EqualsNoCase(entry.name, name)) return true;
  return false;
}

void TransferRun::Start() {
  mover_.Reset();
  transferred_ = 0;
  if (!panes_.RequireLink()) return;
  const auto tagged = [](const DirList& list) {
    return std::any_of(list.entries.begin(), list.entries.end(), [](const DirEntry& e) { return e.tagged; });
  };
  if (!tagged(panes_.List(PaneSide::kLocal)) && !tagged(panes_.List(PaneSide::kRemote))) return;

  IncludeJobCompanions();
  // Answers for all files make sense only when more than one file moves.
  int files = 0;
  for (const PaneSide side : {PaneSide::kLocal, PaneSide::kRemote})
    files += static_cast<int>(std::count_if(panes_.List(side).entries.begin(), panes_.List(side).entries.end(),
                                            [](const DirEntry& e) { return e.tagged && !e.is_folder; }));
  offer_all_ = files > 1;
  Walk walk = WalkTagged(PaneSide::kLocal, &TransferRun::UploadEntry);
  if (walk == Walk::kGoOn) walk = WalkTagged(PaneSide::kRemote, &TransferRun::DownloadEntry);
  if (walk != Walk::kEndQuietly && mover_.LastResult() == 1) {
    panes_.Progress().ShowMessage(Tr("File Transfer"), Tr("Complete"));
  }

  const ProgressScope shown(panes_.Progress());
  if (transferred_ > 0) {
    panes_.FillRemote(false);
    panes_.FillLocal();
  }
  panes_.ClearAllTags();
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
                                      Tr("Additional Files"), kQuestionIcon | kDefaultYes) != kAnswerYes)
    return false;
  for (const PaneSide side : {PaneSide::kLocal, PaneSide::kRemote})
    for (DirEntry& entry : panes_.Entries(side).entries)
      if (!entry.tagged && !entry.is_folder && jobs[static_cast<int>(side)].count(AsciiUpper(BaseName(entry.name))))
        entry.tagged = true;
  return true;
}

void TransferRun::ShowConverterFailure(const std::string& message) {
  panes_.UserInterface().ShowMessageBox(message.empty() ? std::string(Tr("Conversion failed")) : message);
}

TransferRun::Walk TransferRun::WalkTagged(PaneSide side, Walk (TransferRun::*move)(DirEntry&)) {
  std::vector<DirEntry>& entries = panes_.Entries(side).entries;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].is_folder || !entries[i].tagged) continue;
    const Walk walk = (this->*move)(entries[i]);
    if (walk != Walk::kGoOn) return walk;
  }
  return Walk::kGoOn;
}

bool TransferRun::Settled(ConflictOutcome outcome, DirEntry& entry, Walk& walk) {
  if (outcome == ConflictOutcome::kGoOn) return false;
  // A skipped file is untagged; a rename that could not be staged ends the run.
  if (outcome == ConflictOutcome::kSkip) entry.tagged = false;
  walk = outcome == ConflictOutcome::kSkip ? Walk::kGoOn : Walk::kEndAfterCompletion;
  return true;
}

TransferRun::Walk TransferRun::UploadEntry(DirEntry& entry) {
  // A collector that lists short names addresses files by them.
  const std::string source = panes_.RemoteLongNames() ? entry.name : entry.short_name;
  UploadFile file{panes_.LocalFolder() / source, source, {}};
  int database_type = 0;
  if (Converting() && HasExtension(source, "mdb")) {
    std::string message;
    int found = 0;
    {
      const ProgressScope shown(panes_.Progress(), 0);
      found = converter_->GetMdbType(file.source.string(), database_type, message);
    }
    if (found == 1 && database_type == kPcDatabaseForFieldBook) file.target = WithExtension(source, "TDB");
    if (found == 1 && database_type == kPcDatabaseForRoadBook) file.target = WithExtension(source, "RDB");
    if (found != 1) database_type = 0;
  }

  Walk walk = Walk::kGoOn;
  if (Settled(mover_.ResolveUpload(file, offer_all_), entry, walk)) return walk;

  if (Converting() && HasExtension(source, "aln")) {
    // The centreline files are made from the user's own file.
    RemoveQuietly(file.staged);
    transferred_ += SendAlignment(file.source);
    entry.tagged = false;
    return Walk::kGoOn;
  }
  if (database_type == kPcDatabaseForFieldBook || database_type == kPcDatabaseForRoadBook) {
    // Converted from the user's own file; a renamed copy is not needed.
    RemoveQuietly(file.staged);
    file.staged = ConvertDatabase(file.source, file.target, database_type);
    if (file.staged.empty()) return Walk::kGoOn;
  }
  if (mover_.Send(file) != 1) return Walk::kEndQuietly;
  ++transferred_;
  return Walk::kGoOn;
}

std::filesystem::path TransferRun::ConvertDatabase(const std::filesystem::path& source, const std::string& target,
                                                   int database_type) {
  // The converted copy is made in the staging folder under the target's name.
  const std::filesystem::path folder = StagingFolder(panes_.TempFolder());
  if (folder.empty()) return {};
  const std::filesystem::path converted = folder / target;
  RemoveQuietly(converted);
  std::string message;
  int done = 0;
  {
    const ProgressScope shown(panes_.Progress(), 0);
    done = converter_->MdbToDb(source.string(), converted.string(), database_type, message, &panes_.Progress());
  }
  if (done == 1) return converted;
  ShowConverterFailure(message);
  RemoveQuietly(converted);
  return {};
}

TransferRun::Walk TransferRun::DownloadEntry(DirEntry& entry) {
  const bool database = Converting() && HasExtension(entry.name, "rdb");
  DownloadFile file{entry.name,
                    database ? WithExtension(entry.name, "mdb") : entry.name,
                    static_cast<int64_t>(EntryBytes(entry)),
                    panes_.LocalFolder(),
                    {}};
  // A collector database is received into the staging folder and converted
  // from there, so that no file beside the user's own is touched.
  if (database) {
    file.receive_folder = StagingFolder(panes_.TempFolder());
    if (file.receive_folder.empty()) return Walk::kGoOn;
  }

  Walk walk = Walk::kGoOn;
  if (Settled(mover_.ResolveDownload(file, offer_all_, true), entry, walk)) return walk;

  if (Converting() && HasExtension(entry.name, "cl")) {
    const bool include_all =
        panes_.UserInterface().AskYesNo(Tr("Would you like to include all .CL files in the same folder?"),
                                        Tr("Include All CL Files"), kQuestionIcon | kDefaultYes) == kAnswerYes;
    return MakeAlignment(include_all) ? Walk::kGoOn : Walk::kEndQuietly;
  }

  if (mover_.Receive(file) != 1) return Walk::kEndQuietly;
  const std::filesystem::path received = file.Received();
  if (database) {
    const std::filesystem::path converted = received.parent_path() / ("converted-" + file.target);
    RemoveQuietly(converted);
    std::string message;
    int done = 0;
    {
      const ProgressScope shown(panes_.Progress(), 0);
      done = converter_->DbToMdb(received.string(), converted.string(), message, &panes_.Progress());
    }
    if (done != 1) {
      ShowConverterFailure(message);
      RemoveQuietly(converted);
      return Walk::kGoOn;
    }
    if (!mover_.Keep(converted, file.target)) return Walk::kGoOn;
    RemoveQuietly(received);
  } else if (!mover_.Settle(file)) {
    return Walk::kGoOn;
  }
  ++transferred_;
  return Walk::kGoOn;
}

int TransferRun::SendAlignment(const std::filesystem::path& aln_path) {
  const std::filesystem::path folder = FreshCenterlineFolder(panes_.TempFolder());
  if (folder.empty()) return 0;
  std::string message;
  int made = 0;
  {
    const ProgressScope shown(panes_.Progress(), 0);
    made = converter_->AlnToCl(aln_path.string(), folder.string(), message);
  }
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
    const bool exists = Listed(PaneSide::kRemote, name) && panes_.Settings().confirm_overwrite;
    if (exists && answer != kAnswerYesAll && answer != kAnswerNoAll)
      answer = panes_.UserInterface().AskYesNo(OverwriteQuestion(name), Tr("Overwrite File"),
                                               kQuestionIcon | kOfferYesAll | kOfferNoAll);
    if (exists && (answer == kAnswerNo || answer == kAnswerNoAll)) continue;
    if (mover_.Put(file) != 1) {
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
    if (mover_.Get(folder / entry.name, static_cast<int64_t>(EntryBytes(entry))) != 1) return false;
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
