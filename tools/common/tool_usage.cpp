#include "tool_usage.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon_tools {

using pelikon::StrPrintf;
using pelikon::Tr;

ToolUsage::ToolUsage(std::string program, std::string usage, std::string details)
    : program_(std::move(program)), usage_(std::move(usage)), details_(std::move(details)) {}

bool ToolUsage::HelpAsked(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return true;
  return false;
}

int ToolUsage::Help() const {
  std::fputs(Tr(usage_).c_str(), stdout);
  if (!details_.empty()) {
    std::fputs("\n", stdout);
    std::fputs(Tr(details_).c_str(), stdout);
  }
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

int ToolUsage::Wrong(const std::string& reason) const {
  std::fprintf(stderr, "%s: %s\n%s", program_.c_str(), reason.c_str(), Tr(usage_).c_str());
  return kExitWrongArgument;
}

int ToolUsage::Fail(const std::string& reason) const {
  std::fprintf(stderr, "%s: %s\n", program_.c_str(), reason.c_str());
  return kExitFailure;
}

ArgumentReader::ArgumentReader(int argc, char** argv, int first) {
  for (int i = first; i < argc; ++i) arguments_.emplace_back(argv[i]);
}

bool ArgumentReader::Value(std::string_view option, std::string& value) {
  if (Done()) {
    error_ = StrPrintf(Tr("%s needs a value"), std::string(option).c_str());
    return false;
  }
  value = Next();
  return true;
}

bool ArgumentReader::Number(std::string_view option, long lowest, long highest, long& value) {
  std::string text;
  if (!Value(option, text)) return false;
  if (ParseWholeNumber(text, lowest, highest, value)) return true;
  error_ = StrPrintf(Tr("%s takes a whole number from %ld to %ld, not \"%s\""), std::string(option).c_str(), lowest,
                     highest, text.c_str());
  return false;
}

bool ParseWholeNumber(std::string_view text, long lowest, long highest, long& value) {
  const std::string terminated(text);
  if (terminated.empty() || terminated.find_first_not_of("+-0123456789") != std::string::npos) return false;
  errno = 0;
  char* end = nullptr;
  const long parsed = std::strtol(terminated.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || parsed < lowest || parsed > highest) return false;
  value = parsed;
  return true;
}

}  // namespace pelikon_tools
