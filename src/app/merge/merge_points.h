// Merging the points of one CRD file (the source) into another (the
// target): both files read and lined up by identifier, the user's
// decisions taken in the merge window, and the chosen points stored into
// the target with their notes. The window is a port: the program's merge
// manager, or a script in tests. A run without a window never merges (its
// conflict question never offers it).
#pragma once

#include <filesystem>
#include <string>

#include "coord/merge/merge_session.h"
#include "platform/ui.h"

namespace pelikon {

class MergeWindowPort {
 public:
  virtual ~MergeWindowPort() = default;
  // Lets the user decide over `session`; 1 when the merge is to be applied
  // as decided, 0 when cancelled. `source_path` is the incoming file (for
  // its points' history).
  virtual int Run(MergeSession& session, const std::filesystem::path& source_path, const std::string& source_name,
                  const std::string& target_name) = 0;
};

// 1 when the target was updated (or had nothing to take), 0 when a file
// cannot be read, the user cancelled, or storing failed (the target is
// then as it was; the reason is shown through `ui`).
int MergePoints(const std::filesystem::path& source, const std::filesystem::path& target, MergeWindowPort& window,
                Ui& ui);

}  // namespace pelikon

namespace pelikon {

class ReportLibrary;

// Sends the "Coordinate Merge Report" of `session` to the report library
// (table "CRDMERGE"); false when the library cannot be used (it has told
// the user).
bool SendMergeReport(const MergeSession& session, ReportLibrary& reports);

}  // namespace pelikon
