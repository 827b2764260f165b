// What to do when a file being moved meets a file of the same name on the
// other side: the conflict question, and the staging its answer needs.
//
// Rename on upload copies the local file under the new name into the
// staging folder (that copy is sent); rename or merge on download receives
// into the staging folder first. Any answer the dialog does not offer
// (a closed window) skips the file.
#pragma once

#include <filesystem>
#include <string>

#include "platform/ui.h"

namespace pelikon {

enum class TransferDirection { kDownload, kUpload };

struct ConflictContext {
  TransferDirection direction = TransferDirection::kDownload;
  bool offer_all = true;               // "Overwrite All Existing" and "Skip All Existing"
  std::filesystem::path temp_folder;   // where the staging folder lives
  std::filesystem::path local_folder;  // the local pane's folder
  // The name of the file being moved as it is: upload, the local file's;
  // download, the collector's (a staged download is received under it).
  std::string source_name;
  // "Merge Points" is offered (a coordinate file, and a window to merge in).
  bool offer_merge = false;
};

inline ConflictContext MakeConflictContext(TransferDirection direction, bool offer_all,
                                           std::filesystem::path temp_folder, std::filesystem::path local_folder,
                                           std::string source_name, bool offer_merge = false) {
  return {direction, offer_all, std::move(temp_folder), std::move(local_folder), std::move(source_name), offer_merge};
}

// Asks about `target_name` and stages what the answer needs. Returns the
// answer: 6, 7, 10, 11, 12 (then `target_name` is the new name and
// `staging_path` the staged file), 13 (merge: `staging_path` is where the
// incoming download, or on upload the collector's copy, is received) or
// 14 (staging failed: the run stops).
int ResolveFileConflict(Ui& ui, const ConflictContext& context, std::string& target_name,
                        std::filesystem::path& staging_path);

}  // namespace pelikon
