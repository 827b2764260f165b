// Where a CRD file reports the changes of its points while its history is
// enabled. The history file beside a CRD file is written by an
// implementation of this interface; until one is attached a file records
// nothing, whatever its history flag says.
#pragma once

#include <string_view>

namespace pelikon {

class CrdFile;
class CrdPoint;

// The command number that asks for no history at all.
inline constexpr int kNoHistoryCommand = 255;

class CrdHistoryRecorder {
 public:
  virtual ~CrdHistoryRecorder() = default;
  // One change: `after` is absent for a deletion, `before` for a creation.
  virtual void Record(CrdFile& file, const CrdPoint* after, const CrdPoint* before, int command,
                      std::string_view text) = 0;
  // The file is being closed: let go of the history file and forget the
  // last time stamp, text and user written.
  virtual void Close() = 0;
};

}  // namespace pelikon
