// One run of the Transfer command: the tagged files of the local pane go to
// the collector's current folder, the tagged files of the remote pane come
// to the local pane's folder. On the way: the files that share a job name
// with a tagged coordinate file, the conflict question for files that
// exist on the other side (with "all" answers that last for the run), and
// the conversions of the converter library when it is installed (PC
// databases to the collector's formats and back, alignments to centreline
// files and back). The run ends with the completion message when the last
// move succeeded, refreshed panes when anything moved, and no tags.
//
// Each file moves through `FileMover`, as batch entries do; the run adds
// the job companions, the conversions and the refreshed panes. Converted
// and renamed copies are made in the private working folder; a conversion
// never writes beside the user's files, and only the file the conflict
// question covered is ever replaced.
#pragma once

#include <filesystem>
#include <string>

#include "app/panes/panes_controller.h"
#include "app/transfer/file_mover.h"

namespace pelikon {

class Converter;

class TransferRun {
 public:
  // `converter` is null when no converter library is installed.
  TransferRun(PanesController& panes, Converter* converter);

  // The Transfer button (and a double-click on a file).
  void Start();

  // Files moved by the last run.
  int Transferred() const { return transferred_; }

 private:
  enum class Walk { kGoOn, kEndQuietly, kEndAfterCompletion };

  bool IncludeJobCompanions();
  // Moves the tagged files of `side` in pane order until one ends the run.
  Walk WalkTagged(PaneSide side, Walk (TransferRun::*move)(DirEntry&));
  // True when a conflict answer settles `entry` (skipped, or the run
  // stops); `walk` then says how the run goes on.
  bool Settled(ConflictOutcome outcome, DirEntry& entry, Walk& walk);
  Walk UploadEntry(DirEntry& entry);
  Walk DownloadEntry(DirEntry& entry);
  // A PC database converted for the collector into the staging folder;
  // the copy to send, or empty when the conversion failed (reported).
  std::filesystem::path ConvertDatabase(const std::filesystem::path& source, const std::string& target,
                                        int database_type);
  int SendAlignment(const std::filesystem::path& aln_path);
  bool MakeAlignment(bool include_all);
  bool Listed(PaneSide side, const std::string& name) const;
  bool Converting() const;
  void ShowConverterFailure(const std::string& message);

  PanesController& panes_;
  Converter* converter_;
  FileMover mover_;
  int transferred_ = 0;
  bool offer_all_ = true;  // more than one file is tagged
};

}  // namespace pelikon
