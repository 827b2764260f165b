// The program's switches, taken from its arguments — never from its own
// name, so a renamed program or a link to it behaves the same:
//
//   /BATCH FILE [/S]   run a batch file, then end (/S: no summary)
//   /GEOID, /F2F       the geoid and code table jobs
//   --no-gui           run the job without any window
//   --create-folders   with --no-gui: make missing collector folders
//   --overwrite        with --no-gui: replace files that exist
//   --demo [--docked], --screenshot FILE, --help, --version
//
// Switches that start with "/" are found without regard to case. The batch
// file is the argument after "/BATCH", in its own case (file systems here
// tell case apart); arguments after it that are no switch continue its
// name, so a name with blanks typed without quotes still works. Anything
// else is refused with the reason.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace pelikon {

enum class CommandLineJob { kNone, kBatch, kGeoid, kFieldToFinish };

struct CommandLineRequest {
  CommandLineJob job = CommandLineJob::kNone;
  bool silent = false;     // "/S": no summary after a batch run
  std::string batch_file;  // for kBatch
  bool no_gui = false;
  // Unattended answers: Yes to "Create now?", Overwrite All to a file that exists.
  bool create_folders = false;
  bool overwrite = false;
  bool demo = false;
  bool docked = false;     // with --demo: the sample collector as a docked device folder
  std::string screenshot;  // where the started window's picture goes
  bool help = false;
  bool version = false;
  // Why the arguments were refused, in one line; empty when they were not.
  std::string error;
};

// `arguments` are the program's arguments without its own path.
CommandLineRequest ParseArguments(const std::vector<std::string>& arguments);
// The same from `main`'s arguments (argv[0] is the program and is skipped).
CommandLineRequest ParseArguments(int argc, const char* const* argv);

// What --help prints.
std::string UsageText();

// Answers a request that ends before anything starts: the usage (to `out`,
// status 0), the version (to `out`, 0) or the reason it was refused (to
// `err` in one line, 2). Returns that status, or kStartProgram when the program runs.
inline constexpr int kStartProgram = -1;
int AnswerWithoutStarting(const CommandLineRequest& request, std::FILE* out, std::FILE* err);

}  // namespace pelikon
