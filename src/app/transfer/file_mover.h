// Moving one file between the PC and the collector, the way the Transfer
// command and batch entries both move it: the conflict question when the
// target already exists on the other side (its "all" answers last until
// the mover is reset), the staged copy a rename needs, the send or receive
// under the progress window, and the move of a staged download to its
// place. The archive copy of a received raw file is the link's: it follows
// every receive.
//
// Collector names compare without regard to case, as the collector does;
// PC names as the PC's file system compares them (here: exactly). Copies
// made only to be sent live in the staging folder and go once sent.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "app/merge/merge_points.h"
#include "app/panes/panes_controller.h"
#include "app/transfer/file_conflict.h"

namespace pelikon {

// What a conflict answer leaves to do with the file.
enum class ConflictOutcome {
  kGoOn,  // no conflict, or the existing file may be replaced (or a new name was chosen)
  kSkip,  // the user keeps the existing file
  kStop,  // the rename could not be staged: the run stops
};

struct UploadFile {
  std::filesystem::path source;  // the local file
  std::string target;            // its name on the collector
  // A copy to send instead of `source` (a rename's or a conversion's); the
  // mover removes it once it is no longer needed.
  std::filesystem::path staged;
};

struct DownloadFile {
  std::string source;                    // the collector's file, in its current folder
  std::string target;                    // the name it keeps in the local pane's folder
  int64_t size = 0;                      // as listed, for the progress bar
  std::filesystem::path receive_folder;  // where it arrives unless a rename stages it
  std::filesystem::path staged;          // set by a rename or a merge: where it arrives instead
  bool merge = false;                    // its points go into the local file instead of replacing it

  std::filesystem::path Received() const { return staged.empty() ? receive_folder / source : staged; }
};

class FileMover {
 public:
  explicit FileMover(PanesController& panes) : panes_(panes) {}

  // A new run: no answer for all files yet, no move made.
  void Reset();
  // 1 when the last send, receive and keep succeeded, else 0.
  int LastResult() const { return last_result_; }

  // Asks when the collector's folder lists `file.target` (and Confirm
  // Overwrite is on), again for a new name that is listed too. "All"
  // answers are offered when `offer_all`.
  ConflictOutcome ResolveUpload(UploadFile& file, bool offer_all);
  // Sends the file under its target name: the staged copy when there is
  // one, else `source` itself, or a copy of it when it has another name.
  // 1 when the collector has it (the link reports a failure).
  int Send(UploadFile& file);

  // Asks when the local folder holds `file.target` (and Confirm Overwrite
  // is on); with `confirm_twice` an answer to overwrite is asked once more
  // ("OK to overwrite … ?").
  ConflictOutcome ResolveDownload(DownloadFile& file, bool offer_all, bool confirm_twice);
  // Receives the file (into `Received()`); 1 when it arrived.
  int Receive(const DownloadFile& file);
  // Puts a received file in place as `target` in the local folder, when it
  // arrived elsewhere. A failure is reported and counts as a failed move;
  // the received file then stays where it is.
  bool Keep(const std::filesystem::path& received, const std::string& target);
  // Puts a received download in place: Keep, or for a merge its points
  // into the local file (the received copy then goes). False after the
  // failure is reported.
  bool Settle(const DownloadFile& file);
  // Receive, then Settle: 1 when the file is in place.
  int Fetch(const DownloadFile& file);

  // One file each way under the progress window, sized for its bar.
  int Put(const std::filesystem::path& file);
  int Get(const std::filesystem::path& file, int64_t size);

 private:
  int Resolve(TransferDirection direction, const std::filesystem::path& local_folder, const std::string& source_name,
              bool offer_all, std::string& target, std::filesystem::path& staged);
  const DirEntry* RemoteEntry(const std::string& name) const;
  bool RemoteListed(const std::string& name) const;
  // Receives the collector's `target` into `staged` and merges the local
  // `source` into it; false when either fails.
  bool MergeIntoCollectorCopy(const UploadFile& file);
  bool LocalExists(const std::string& name) const;

  PanesController& panes_;
  int answer_ = -1;
  int last_result_ = 0;
};

// Replaces `to` by `from`, whole or not at all: a rename, or across file
// systems a copy beside `to` that then takes its place, after which `from`
// goes. False when `to` could not be replaced (`from` is then untouched).
bool MoveIntoPlace(const std::filesystem::path& from, const std::filesystem::path& to);

// A file name the local side may use as it is: nothing that leaves its folder.
bool IsBareName(const std::string& name);

// Removes a file made for a move; a missing one is no error.
void RemoveQuietly(const std::filesystem::path& file);

}  // namespace pelikon
