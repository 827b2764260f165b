// Runs one of the built tools as a user would from a shell: arguments,
// standard input, and what comes out on standard output and error.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/atomic_file.h"
#include "support/temp_dir.h"

namespace pelikon::testing {

struct ToolRun {
  int status;  // the exit status; -1 when it did not exit
  std::string out;
  std::string err;
};

// `text` as one word of a shell command.
inline std::string ShellWord(const std::string& text) {
  std::string word = "'";
  for (char c : text) word += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return word + "'";
}

// Runs `tool` from the build's program folder with `arguments`, feeding it
// `input`; the files it talks through go to `work`. A tool that has not
// ended after a minute is stopped (status 124): none should take so long.
inline ToolRun RunTool(const TempDir& work, const std::string& tool, const std::vector<std::string>& arguments,
                       const std::string& input = {}) {
  const auto in = work.Write("stdin.txt", input);
  std::string command = "timeout 60 " + ShellWord(std::string(PELIKON_BIN_DIR) + "/" + tool);
  for (const std::string& argument : arguments) command += " " + ShellWord(argument);
  command += " <" + ShellWord(in.string()) + " >" + ShellWord((work / "stdout.txt").string()) + " 2>" +
             ShellWord((work / "stderr.txt").string());
  const int raw = std::system(command.c_str());
  ToolRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, {}, {}};
  ReadWholeFile(work / "stdout.txt", run.out);
  ReadWholeFile(work / "stderr.txt", run.err);
  return run;
}

}  // namespace pelikon::testing
