// Send Pnts: part of a local CRD file uploaded to the collector. The user
// picks the local file, names the file to create in the collector's
// current folder and types a range; the points the range selects are
// copied into a cut-out file of the same variant in the private working
// folder, which goes up the way the Transfer command sends a file (with
// its conflict question, "Merge Points" included) and is removed again,
// whatever happened.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "app/panes/panes_controller.h"

namespace pelikon {

// The dialog's fields; the program keeps them between uses within a run.
struct SendRangeFields {
  std::filesystem::path local_file;
  std::string remote_name;
  std::string range;
};

class SendRangeDialogPort {
 public:
  virtual ~SendRangeDialogPort() = default;
  // Lets the user edit `fields`; true on OK (with every field filled).
  virtual bool Ask(SendRangeFields& fields) = 0;
};

inline constexpr size_t kSendRangeNameLimit = 256;
inline constexpr size_t kSendRangeRangeLimit = 50;
inline constexpr size_t kSendRangePathShown = 40;

// What the "Select" button does with the chosen `file`: it becomes the
// local file, an empty remote name takes its file name, and the range
// becomes the file's lowest to highest identifier. False, with "Failed to
// open specified coordinate file." shown, when it is no CRD file (the
// local file is still taken; the range stays).
bool TakeLocalCoordinateFile(SendRangeFields& fields, const std::filesystem::path& file, Ui& ui);

// The "Please specify ..." text the OK button shows for the first empty
// field, or empty when every field is filled.
std::string MissingSendRangeField(const SendRangeFields& fields);

// `path` as a label shows it within `limit` characters: whole when it is
// shorter, else "..." and its end, after the drive ("C:") or the "\\" of
// a network path when it has one.
std::string ShortenedPath(std::string_view path, size_t limit);

// The command: checks the link, asks through `dialog`, makes the cut-out
// and sends it. Messages go through the panes' Ui.
void RunSendRange(PanesController& panes, SendRangeDialogPort& dialog, SendRangeFields& fields);

}  // namespace pelikon
