// adjust FILE
//
// Adjusts a levelling network by least squares and prints one line per
// unknown point: its name, adjusted height and standard deviation.
//
// Exit status 0 on success, 1 with the reason (and the line at fault) on
// standard error, 2 for a wrong argument.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "levelling_adjustment.h"
#include "levelling_network.h"
#include "platform/atomic_file.h"
#include "platform/catalogue.h"
#include "platform/text.h"
#include "tool_usage.h"

namespace {

using pelikon::StrPrintf;
using pelikon::Tr;
using pelikon_tools::kExitFailure;
using pelikon_tools::kExitOk;

const pelikon_tools::ToolUsage kUsage(
    "adjust", N_("usage: adjust FILE\n"),
    N_("Adjusts a levelling network by least squares. FILE holds one record a line:\n"
       "  FIX <name> <height>                      a fixed benchmark\n"
       "  OBS <from> <to> <difference> <std.dev.>  an observed height difference,\n"
       "                                           the height of <to> minus <from>\n"
       "\"#\" starts a comment. Prints one line per unknown point: its name, adjusted\n"
       "height and standard deviation, in the units of FILE. The standard deviations\n"
       "are a posteriori when there are more observations than unknown points, else\n"
       "a priori. Every unknown point must be tied to a fixed point by observations.\n"
       "Exit status: 0 done, 1 failed (the reason on standard error), 2 a wrong\n"
       "argument.\n"));

int Fail(const std::string& file, const pelikon_tools::NetworkError& error) {
  if (error.line == 0) return kUsage.Fail(StrPrintf("%s: %s", file.c_str(), error.message.c_str()));
  return kUsage.Fail(StrPrintf("%s:%zu: %s", file.c_str(), error.line, error.message.c_str()));
}

int Adjust(const std::string& file) {
  std::string text;
  if (!pelikon::ReadWholeFile(file, text)) {
    const int reason = errno;
    return kUsage.Fail(StrPrintf(Tr("cannot read %s: %s"), file.c_str(), std::strerror(reason)));
  }
  pelikon_tools::LevellingNetwork network;
  pelikon_tools::LevellingAdjustment adjustment;
  pelikon_tools::NetworkError error;
  if (!pelikon_tools::ParseLevellingNetwork(text, network, error) ||
      !pelikon_tools::AdjustLevellingNetwork(network, adjustment, error))
    return Fail(file, error);
  for (const pelikon_tools::AdjustedPoint& point : adjustment.points)
    std::printf("%s %.4f %.4f\n", point.name.c_str(), point.height, point.deviation);
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

}  // namespace

int main(int argc, char** argv) {
  if (pelikon_tools::ToolUsage::HelpAsked(argc, argv)) return kUsage.Help();
  pelikon_tools::ArgumentReader arguments(argc, argv, 1);
  std::optional<std::string> file;
  while (!arguments.Done()) {
    const std::string& argument = arguments.Next();
    if (argument.size() > 1 && argument.front() == '-')
      return kUsage.Wrong(StrPrintf(Tr("unknown option %s"), argument.c_str()));
    if (file) return kUsage.Wrong(StrPrintf(Tr("unexpected argument \"%s\""), argument.c_str()));
    file = argument;
  }
  if (!file) return kUsage.Wrong(Tr("no FILE given"));
  return Adjust(*file);
}
