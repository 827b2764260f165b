// What every tool does with its command line. "--help" (or "-h") anywhere
// prints the usage and the details to standard output and ends with 0. A
// wrong argument prints "tool: " and what was wrong, then the usage, to
// standard error and ends with 2. A failure of the work itself prints
// "tool: " and the reason and ends with 1. Every text goes through the
// message catalogue.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pelikon_tools {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitWrongArgument = 2;

class ToolUsage {
 public:
  // `usage`: the usage lines, each ending in a line feed; `details`: what
  // only --help adds (may be empty).
  ToolUsage(std::string program, std::string usage, std::string details = {});

  const std::string& Program() const { return program_; }
  // True when an argument asks for help.
  static bool HelpAsked(int argc, char** argv);
  // Usage and details on standard output; returns 0.
  int Help() const;
  // "program: reason" and the usage on standard error; returns 2.
  int Wrong(const std::string& reason) const;
  // "program: reason" on standard error; returns 1.
  int Fail(const std::string& reason) const;

 private:
  std::string program_;
  std::string usage_;
  std::string details_;
};

// The arguments after the tool's name (or its command), read one at a time.
// A value-taking option that lacks its value, or whose value is not what it
// must be, leaves the reason in `Error()`.
class ArgumentReader {
 public:
  ArgumentReader(int argc, char** argv, int first);
  bool Done() const { return next_ >= arguments_.size(); }
  const std::string& Next() { return arguments_[next_++]; }
  // The value that follows `option`.
  bool Value(std::string_view option, std::string& value);
  // The same, a whole number from `lowest` to `highest`.
  bool Number(std::string_view option, long lowest, long highest, long& value);
  const std::string& Error() const { return error_; }

 private:
  std::vector<std::string> arguments_;
  size_t next_ = 0;
  std::string error_;
};

// `text` as a whole decimal number from `lowest` to `highest`.
bool ParseWholeNumber(std::string_view text, long lowest, long highest, long& value);

}  // namespace pelikon_tools
