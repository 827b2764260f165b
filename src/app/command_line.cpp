#include "app/command_line.h"

#include "app/program_version.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

// The jobs and their switch, as typed in any case.
struct JobSwitch {
  const char* text;
  CommandLineJob job;
};
constexpr JobSwitch kJobSwitches[] = {
    {"/BATCH", CommandLineJob::kBatch},
    {"/GEOID", CommandLineJob::kGeoid},
    {"/F2F", CommandLineJob::kFieldToFinish},
};

CommandLineJob JobOf(const std::string& argument) {
  for (const JobSwitch& entry : kJobSwitches)
    if (EqualsNoCase(argument, entry.text)) return entry.job;
  return CommandLineJob::kNone;
}

bool IsSilentSwitch(const std::string& argument) {
  return EqualsNoCase(argument, "/S");
}

// An argument that is a switch of its own rather than part of a file name.
bool IsSwitch(const std::string& argument) {
  return argument.rfind("-", 0) == 0 || IsSilentSwitch(argument) || JobOf(argument) != CommandLineJob::kNone;
}

// Takes one "--" option (or "-h"); false when it is not one.
bool TakeOption(const std::vector<std::string>& arguments, size_t& i, CommandLineRequest& request) {
  const std::string& option = arguments[i];
  if (option == "--help" || option == "-h") {
    request.help = true;
  } else if (option == "--version") {
    request.version = true;
  } else if (option == "--no-gui") {
    request.no_gui = true;
  } else if (option == "--create-folders") {
    request.create_folders = true;
  } else if (option == "--overwrite") {
    request.overwrite = true;
  } else if (option == "--demo") {
    request.demo = true;
  } else if (option == "--docked") {
    request.docked = true;
  } else if (option == "--screenshot") {
    if (i + 1 >= arguments.size() || IsSwitch(arguments[i + 1])) {
      request.error = Tr("--screenshot needs the name of the picture file");
      return true;
    }
    request.screenshot = arguments[++i];
  } else {
    return false;
  }
  return true;
}

// Refusals of switches that make no sense together.
std::string Inconsistency(const CommandLineRequest& request) {
  if (request.create_folders && !request.no_gui) return Tr("--create-folders works only with --no-gui");
  if (request.overwrite && !request.no_gui) return Tr("--overwrite works only with --no-gui");
  if (request.docked && !request.demo) return Tr("--docked works only with --demo");
  if (request.no_gui && (request.demo || !request.screenshot.empty()))
    return Tr("--demo and --screenshot show the window; they cannot go with --no-gui");
  if (request.no_gui && request.job == CommandLineJob::kNone && !request.help && !request.version)
    return Tr("--no-gui needs a job to run: /BATCH and a batch file");
  return {};
}

}  // namespace

CommandLineRequest ParseArguments(const std::vector<std::string>& arguments) {
  CommandLineRequest request;
  for (size_t i = 0; i < arguments.size() && request.error.empty(); ++i) {
    const std::string& argument = arguments[i];
    if (argument.rfind("-", 0) == 0) {
      if (!TakeOption(arguments, i, request)) request.error = StrPrintf(Tr("unknown option '%s'"), argument.c_str());
      continue;
    }
    if (IsSilentSwitch(argument)) {
      request.silent = true;
      continue;
    }
    const CommandLineJob job = JobOf(argument);
    if (job == CommandLineJob::kNone) {
      request.error = StrPrintf(Tr("unexpected argument '%s'"), argument.c_str());
      continue;
    }
    if (request.job != CommandLineJob::kNone) {
      request.error = Tr("only one job at a time: /BATCH, /GEOID or /F2F");
      continue;
    }
    request.job = job;
    if (job != CommandLineJob::kBatch) continue;
    if (i + 1 >= arguments.size() || IsSwitch(arguments[i + 1])) {
      request.error = Tr("/BATCH needs the name of a batch file");
      continue;
    }
    request.batch_file = arguments[++i];
    while (i + 1 < arguments.size() && !IsSwitch(arguments[i + 1])) request.batch_file += " " + arguments[++i];
  }
  if (request.error.empty()) request.error = Inconsistency(request);
  return request;
}

CommandLineRequest ParseArguments(int argc, const char* const* argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  return ParseArguments(arguments);
}

std::string UsageText() {
  return Tr(
      "usage: pelikon [--demo [--docked] [--screenshot FILE]]\n"
      "       pelikon [--no-gui [--create-folders] [--overwrite]] /BATCH FILE [/S]\n"
      "       pelikon /GEOID | /F2F\n"
      "\n"
      "Moves files between this PC and a field data collector. Without a job the\n"
      "window opens and connects to the collector.\n"
      "\n"
      "  /BATCH FILE        run the transfers listed in FILE, then end; the exit\n"
      "                     status is 0 when every entry succeeded, 1 when some\n"
      "                     failed, 2 when all failed, 255 when none ran\n"
      "  /S                 with /BATCH: no summary at the end\n"
      "  /GEOID             build a geoid sub-grid for the collector and send it, then end\n"
      "  /F2F               convert a field-to-finish code table (.FLD) and send it, then end\n"
      "  --no-gui           run the job without any window (also the way without a\n"
      "                     display); messages go to standard error and every\n"
      "                     question gets its safe answer (No, Skip File)\n"
      "  --create-folders   with --no-gui: answer Yes to \"Create now?\" for a\n"
      "                     collector folder that does not exist\n"
      "  --overwrite        with --no-gui: answer Overwrite All when the target\n"
      "                     file exists\n"
      "  --demo             start against a simulated collector with sample files\n"
      "  --docked           with --demo: the sample collector is a docked device\n"
      "                     (a folder reached through the connector library)\n"
      "  --screenshot FILE  save a picture of the started window, then end\n"
      "  --help             show this help\n"
      "  --version          show the version\n"
      "\n"
      "Switches that start with \"/\" may be written in any case.\n");
}

int AnswerWithoutStarting(const CommandLineRequest& request, std::FILE* out, std::FILE* err) {
  if (!request.error.empty()) {
    std::fprintf(err, "pelikon: %s (%s)\n", request.error.c_str(), Tr("see pelikon --help"));
    return 2;
  }
  if (request.help) {
    std::fputs(UsageText().c_str(), out);
    return 0;
  }
  if (request.version) {
    std::fprintf(out, "%s\n", ProgramTitle().c_str());
    return 0;
  }
  return kStartProgram;
}

}  // namespace pelikon
