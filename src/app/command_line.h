// The switches that run one job without the user: "/BATCH <file>",
// "/GEOID" and "/F2F", plus " /S " for a silent batch run.
//
// The command line is read as one text (the program's own path, then the
// arguments, separated by blanks). Switches are found without regard to
// case and only after the program's name "PELIKON"; the batch file name is
// the rest of the line after "/BATCH", in its own case — file systems here
// tell case apart — except a closing " /S", which is the silent switch.
#pragma once

#include <string>
#include <string_view>

namespace pelikon {

enum class CommandLineJob { kNone, kBatch, kGeoid, kFieldToFinish };

struct CommandLineRequest {
  CommandLineJob job = CommandLineJob::kNone;
  bool silent = false;     // " /S " present: no completion message
  std::string batch_file;  // for kBatch
};

CommandLineRequest ParseCommandLine(std::string_view command_line);

// The command line as one text: the arguments joined by single blanks, as
// a user typed them (no quotes are added, so a batch file name with blanks
// survives as the rest of the line).
std::string JoinCommandLine(int argc, const char* const* argv);

}  // namespace pelikon
