#include "app/transfer/file_conflict.h"

#include <system_error>

#include "app/transfer/staging.h"
#include "link/transfer/received_file.h"
#include "platform/trace.h"

namespace pelikon {

int ResolveFileConflict(Ui& ui, const ConflictContext& context, std::string& target_name,
                        std::filesystem::path& staging_path) {
  std::string new_name;
  int answer = ui.AskFileConflict(target_name, context.offer_all, context.offer_merge, new_name);
  switch (answer) {
    case kAnswerYes:
    case kAnswerNo:
      return answer;
    case kAnswerYesAll:
    case kAnswerNoAll:
      return context.offer_all ? answer : kAnswerNo;
    case kAnswerRename:
      break;
    case kAnswerMerge:
      if (context.offer_merge) break;
      return kAnswerNo;
    default:
      // Closed without an answer, or an answer that was not offered: leave
      // the existing file alone.
      return kAnswerNo;
  }

  const std::filesystem::path staging = StagingFolder(context.temp_folder);
  if (answer == kAnswerMerge) {
    if (staging.empty()) return kAnswerStagingFailed;
    // Download: the incoming file; upload: the collector's copy to merge into.
    staging_path = staging / (context.direction == TransferDirection::kDownload ? context.source_name : target_name);
    return answer;
  }
  if (staging.empty() || SafeReceivedName(new_name) != new_name) {
    Trace("cannot stage \"%s\" as \"%s\"", target_name.c_str(), new_name.c_str());
    return kAnswerStagingFailed;
  }
  if (context.direction == TransferDirection::kDownload) {
    // Received under its own name into the staging folder, moved to the new name afterwards.
    staging_path = staging / context.source_name;
  } else {
    staging_path = staging / new_name;
    std::error_code error;
    std::filesystem::copy_file(context.local_folder / context.source_name, staging_path,
                               std::filesystem::copy_options::overwrite_existing, error);
    if (error) {
      Trace("cannot stage %s: %s", staging_path.c_str(), error.message().c_str());
      return kAnswerStagingFailed;
    }
  }
  target_name = new_name;
  return answer;
}

}  // namespace pelikon
