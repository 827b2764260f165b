// An unattended run of a batch file: each entry uploads one file, downloads
// one file, or saves the listing of a collector folder, then the exit code
// records its outcome. Failures are reported with the caption "Error" and
// the run goes on with the next entry; at the end the collector is back in
// the folder it started in, and unless silent a summary says how many
// files moved.
//
// A remote path is a collector path: an entry whose file part is not a
// bare name (a "/", "..", a control character) is refused before anything
// is written, here or on the collector.
#pragma once

#include <filesystem>
#include <string>

#include "app/exit_code.h"
#include "app/panes/panes_controller.h"
#include "app/transfer/file_mover.h"
#include "platform/catalogue.h"
#include "records/ov_uni_record.h"

namespace pelikon {

// The caption of the question whether to make a missing collector folder.
inline constexpr const char* kCreateFolderCaption = N_("Create folder?");

class BatchRun {
 public:
  BatchRun(PanesController& panes, ExitCode& exit_code, bool silent);

  void Run(const std::filesystem::path& batch_file);
  // Makes `path` the collector's current folder, walking (and with `create`
  // making, after asking) one folder at a time. 1 when it is current at the
  // end, else 0.
  int EnsureRemoteFolder(const std::string& path, bool create);

  int FilesMoved() const { return moved_; }
  int EntriesProcessed() const { return processed_; }

 private:
  bool RunEntry(const OvUniRecord& entry);
  bool Upload(const std::string& local, const std::string& folder, const std::string& name, bool more_follow);
  bool Download(const std::string& local, const std::string& folder, const std::string& name, bool more_follow);
  bool SaveListing(const std::string& local);
  // The folder and the name of a collector path, relative ones below the
  // folder current at the start. False when the path is refused: the name
  // must be a bare file name and no part may hold a control character.
  bool SplitRemote(const std::string& remote, std::string& folder, std::string& name) const;
  void Error(const std::string& text);
  bool RemoteListed(const std::string& name, bool folder) const;

  PanesController& panes_;
  ExitCode& exit_code_;
  bool silent_;
  FileMover mover_;
  std::string home_;
  int processed_ = 0;
  int moved_ = 0;
};

}  // namespace pelikon
