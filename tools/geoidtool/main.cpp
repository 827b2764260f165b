// geoidtool: works with geoid grid files from the command line.
//
//   geoidtool download URL DEST [--rand N]   fetches URL into DEST, replacing
//                                            a file there only when the whole
//                                            file arrived; prints DEST
//   geoidtool subgrid FOLDER LAT N|S LON E|W SIZE miles|km|deg NAME [...]
//                                            cuts a sub-grid as the program's
//                                            Geoid command does; prints its path
//   geoidtool resolve CODE FOLDER LAT LON    the grid file a model uses there
//   geoidtool import MODEL_FILE OUT.grd      a model GDAL reads as ".grd"
//
// Exit status 0 on success, 1 with the reason on standard error, 2 for a
// wrong argument.
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "geoid/download/grid_download.h"
#include "platform/catalogue.h"
#include "platform/program_files.h"
#include "platform/text.h"
#include "subgrid_command.h"
#include "tool_usage.h"

namespace {

using pelikon::StrPrintf;
using pelikon::Tr;
using pelikon_tools::ArgumentReader;
using pelikon_tools::kExitFailure;
using pelikon_tools::kExitOk;

const pelikon_tools::ToolUsage kUsage(
    "geoidtool",
    N_("usage: geoidtool download URL DEST [--rand N]\n"
       "       geoidtool subgrid FOLDER LAT N|S LON E|W SIZE miles|km|deg NAME\n"
       "                 [--model CODE] [--out-dir DIR] [--server URL] [--memory MIB]\n"
       "       geoidtool resolve CODE FOLDER LAT LON\n"
       "       geoidtool import MODEL_FILE OUT.grd\n"),
    N_("Works with geoid grid files.\n"
       "  download  fetches URL (http or https) into the file DEST and prints DEST.\n"
       "            A file already at DEST is replaced only when the whole file\n"
       "            arrived; a transfer that receives nothing for 15 seconds is\n"
       "            stopped. --rand N adds the query \"rand=N\" (against caches\n"
       "            on the way); 0, the default, asks for the plain URL\n"
       "  subgrid   cuts the sub-grid NAME.gsf (SIZE square around LAT/LON, given\n"
       "            as dd.mmss) out of the model CODE (default 1, GEOID99) whose\n"
       "            grid files lie in FOLDER, with the checks and texts of the\n"
       "            program's \"Set Geoid Area\" dialog; writes it into DIR\n"
       "            (default FOLDER, else beside the tool, else the working\n"
       "            folder) and prints its path. --server URL fetches a missing\n"
       "            model from URL/GeoidGrids/. --memory MIB plans the model's\n"
       "            storage as if only MIB were free (the swap file takes over)\n"
       "  resolve   prints the grid file model CODE uses at LAT LON (decimal\n"
       "            degrees, east positive), or the model's message\n"
       "  import    writes a geoid model that GDAL reads (GTX, GeoTIFF, ...;\n"
       "            PROJ's data has egm96_15.gtx) as the .grd text: southern row\n"
       "            first, a global model from 0 to 360 east\n"
       "Exit status: 0 done, 1 failed (the reason on standard error), 2 a wrong\n"
       "argument. PELIKON_TRACE=1 shows the course of a download.\n"));

// Ctrl-C or a termination request ends a download the way the program's
// Cancel button does, so that no half file stays behind.
volatile std::sig_atomic_t interrupted = 0;
void OnInterrupt(int) {
  interrupted = 1;
}

int Download(ArgumentReader& arguments) {
  std::string url;
  std::string destination;
  long random = 0;
  while (!arguments.Done()) {
    const std::string argument = arguments.Next();
    if (argument == "--rand") {
      if (!arguments.Number(argument, 0, INT_MAX, random)) return kUsage.Wrong(arguments.Error());
    } else if (argument.size() > 1 && argument[0] == '-') {
      return kUsage.Wrong(StrPrintf(Tr("download: unknown option %s"), argument.c_str()));
    } else if (url.empty()) {
      url = argument;
    } else if (destination.empty()) {
      destination = argument;
    } else {
      return kUsage.Wrong(StrPrintf(Tr("download: unexpected argument \"%s\""), argument.c_str()));
    }
  }
  if (destination.empty()) return kUsage.Wrong(Tr("download: URL and DEST are needed"));
  pelikon::DownloadHooks hooks;
  hooks.show_message = [](const std::string& text) { kUsage.Fail(text); };
  hooks.cancelled = [] { return interrupted != 0; };
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  if (!pelikon::DownloadGridFile(url, destination, static_cast<int>(random), hooks))
    return kUsage.Fail(StrPrintf(Tr("cannot download %s into %s"), url.c_str(), destination.c_str()));
  std::printf("%s\n", destination.c_str());
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

struct Command {
  const char* name;
  int (*run)(ArgumentReader& arguments);  // given the arguments after the command
};
int SubGrid(ArgumentReader& arguments) {
  return pelikon_tools::RunSubGrid(kUsage, arguments);
}

int Resolve(ArgumentReader& arguments) {
  return pelikon_tools::RunResolve(kUsage, arguments);
}

// The import runs in geoid-import, beside this tool: only it loads GDAL.
int Import(ArgumentReader& arguments) {
  std::vector<std::string> words;
  while (!arguments.Done()) words.push_back(arguments.Next());
  if (words.size() != 2) return kUsage.Wrong(Tr("import: MODEL_FILE and OUT.grd are needed"));
  const std::string helper = pelikon::FindPrivateFile(pelikon::ProgramFolder(), "geoid-import").string();
  std::vector<char*> argv = {const_cast<char*>(helper.c_str()), words[0].data(), words[1].data(), nullptr};
  ::execv(helper.c_str(), argv.data());
  return kUsage.Fail(StrPrintf(Tr("cannot run %s"), helper.c_str()));
}

constexpr Command kCommands[] = {
    {"download", Download}, {"subgrid", SubGrid}, {"resolve", Resolve}, {"import", Import}};

}  // namespace

int main(int argc, char** argv) {
  if (pelikon_tools::ToolUsage::HelpAsked(argc, argv)) return kUsage.Help();
  if (argc < 2) return kUsage.Wrong(Tr("no command given"));
  const std::string command = argv[1];
  for (const Command& known : kCommands) {
    if (command != known.name) continue;
    ArgumentReader arguments(argc, argv, 2);
    return known.run(arguments);
  }
  return kUsage.Wrong(StrPrintf(Tr("unknown command \"%s\""), command.c_str()));
}
