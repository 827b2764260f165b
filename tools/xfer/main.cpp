// xfer send|receive [--protocol zmodem|kermit] [--dir D] [--overwrite]
//      [--device PATH [--baud N]] [--verbose] [--option CODE[=VALUE]]... [FILE...]
//
// Sends FILEs or receives into D (default: the current folder) over
// standard input and output (raw mode when they are a terminal), or over a
// serial device. A received file never replaces one that is there unless
// --overwrite is given. Exit status 0 on success; 1 with the reason (an
// engine's or port's code with its words) on standard error; 2 for a wrong
// argument.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "landing.h"
#include "link/kermit/kermit.h"
#include "link/serial/serial_port.h"
#include "link/transfer/file_source.h"
#include "link/transfer/start_options.h"
#include "link/transfer/transfer_errors.h"
#include "link/transfer/transfer_state.h"
#include "link/zmodem/zmodem.h"
#include "platform/catalogue.h"
#include "platform/text.h"
#include "tool_usage.h"

namespace {

using pelikon::StrPrintf;
using pelikon::Tr;
using pelikon_tools::kExitFailure;
using pelikon_tools::kExitOk;

// The start options, as --help lists them; which engine and direction takes
// each is asked of the engines' own option reader.
struct OptionHelp {
  int code;
  const char* value;  // the value's name, or nullptr when it takes none
  const char* meaning;
};
constexpr OptionHelp kOptionHelp[] = {
    {pelikon::kOptNoEffect, nullptr, N_("no effect")},
    {pelikon::kOptEighthBitPrefix, nullptr, N_("propose eighth-bit prefixing")},
    {pelikon::kOptSevenBit, nullptr, N_("strip bit 7 of the file's bytes")},
    {pelikon::kOptNoRepeat, nullptr, N_("no repeat compression")},
    {pelikon::kOptKeepPath, nullptr, N_("keep the folders in file names")},
    {pelikon::kOptCarrierCheck, nullptr, N_("end with -618 when the carrier drops")},
    {pelikon::kOptAbortKey, "KEY", N_("abort key (recorded only)")},
    {pelikon::kOptSubfolders, nullptr, N_("patterns search subfolders too")},
    {pelikon::kOptResume, nullptr, N_("continue interrupted files (received in place)")},
    {pelikon::kOptReceiverFlag, nullptr, N_("receiver flag")},
    {pelikon::kOptNoStreaming, nullptr, N_("wait for each acknowledgement")},
    {pelikon::kOptManageNewLine, nullptr, N_("ask the receiver to convert line ends")},
    {pelikon::kOptManageAppend, nullptr, N_("ask the receiver to append")},
    {pelikon::kOptManageClobber, nullptr, N_("ask the receiver to replace")},
    {pelikon::kOptManageDifferent, nullptr, N_("ask the receiver to replace when different")},
    {pelikon::kOptManageProtect, nullptr, N_("ask the receiver to keep its file")},
    {pelikon::kOptManageNewer, nullptr, N_("ask the receiver to replace when newer")},
    {pelikon::kOptStored, "VALUE", N_("a value kept only")},
    {pelikon::kOptRetryLimit, "N", N_("retries before giving up (default 10)")},
    {pelikon::kOptWindow, "BYTES", N_("bytes sent ahead of acknowledgements (default 4096)")},
};

const char* const kUsageText =
    N_("usage: xfer send [--protocol zmodem|kermit] [OPTIONS] FILE...\n"
       "       xfer receive [--protocol zmodem|kermit] [--dir FOLDER] [--overwrite] [OPTIONS]\n"
       "options: [--device PATH [--baud N]] [--verbose] [--option CODE[=VALUE]]...\n");

struct Engine {
  const char* name;
  pelikon::TransferEngine engine;
  bool sending;
};
constexpr Engine kEngines[] = {{"zmodem send", pelikon::TransferEngine::kZmodem, true},
                               {"zmodem receive", pelikon::TransferEngine::kZmodem, false},
                               {"kermit send", pelikon::TransferEngine::kKermit, true},
                               {"kermit receive", pelikon::TransferEngine::kKermit, false}};

std::vector<int> OptionCodes(const OptionHelp& option) {
  return option.value ? std::vector<int>{option.code, 1} : std::vector<int>{option.code};
}

bool Takes(const Engine& engine, const std::vector<int>& codes) {
  pelikon::StartOptions ignored;
  return pelikon::ParseStartOptions(codes, engine.engine, engine.sending, ignored) == 0;
}

std::string HelpDetails() {
  std::string text =
      Tr("Moves files like sz/rz and kermit over standard input and output, or over a\n"
         "serial device with --device (at --baud bit/s, default 115200).\n"
         "  --dir FOLDER   receive into FOLDER (default: the current folder)\n"
         "  --overwrite    a received file replaces one of its name; without it the\n"
         "                 file there is kept and the run ends with status 1\n"
         "  --verbose      the engine's diagnostics on standard error\n"
         "\n"
         "Start options (--option CODE, or --option CODE=VALUE):\n");
  for (const OptionHelp& option : kOptionHelp) {
    std::string takers;
    for (const Engine& engine : kEngines) {
      if (!Takes(engine, OptionCodes(option))) continue;
      if (!takers.empty()) takers += ", ";
      takers += engine.name;
    }
    const std::string code = option.value ? StrPrintf("%d=%s", option.code, option.value) : std::to_string(option.code);
    text += StrPrintf("  %-10s %s (%s)\n", code.c_str(), Tr(option.meaning), takers.c_str());
  }
  text +=
      Tr("\nExit status: 0 done; 1 failed, with the engine's or the port's code and its\n"
         "words on standard error (for example \"error -610: Exceeded protocol error limit\");\n"
         "2 a wrong argument.\n");
  return text;
}

// The words for any code xfer can report: an engine's or a port's. The
// engines' own table stops at -619, as the program's error window shows
// them; the codes past it can reach a command line all the same.
std::string ResultText(int code) {
  const char* text = pelikon::TransferErrorText(code);
  if (!text && code == pelikon::kXferSkipFile) text = N_("File skipped");
  if (!text && code == pelikon::kXferFileSource) text = N_("Folder of the files to send cannot be read");
  if (!text) text = pelikon::SerialErrorText(code);
  return StrPrintf("error %d: %s", code, text ? Tr(text) : Tr("unknown error"));
}

struct Arguments {
  bool sending = false;
  std::string protocol = "zmodem";
  std::string folder = ".";
  std::string device;
  long baud = 115200;
  bool verbose = false;
  bool overwrite = false;
  std::vector<std::string> options;  // as given: "CODE" or "CODE=VALUE"
  std::vector<std::string> files;
};

// Reads the arguments; an empty result, or the reason they are wrong.
std::string Parse(int argc, char** argv, Arguments& args) {
  if (argc < 2) return Tr("send or receive?");
  const std::string command = argv[1];
  if (command != "send" && command != "receive") return StrPrintf(Tr("unknown command \"%s\""), command.c_str());
  args.sending = command == "send";
  pelikon_tools::ArgumentReader reader(argc, argv, 2);
  while (!reader.Done()) {
    const std::string arg = reader.Next();
    bool ok = true;
    if (arg == "--protocol") {
      ok = reader.Value(arg, args.protocol);
    } else if (arg == "--dir") {
      ok = reader.Value(arg, args.folder);
    } else if (arg == "--device") {
      ok = reader.Value(arg, args.device);
    } else if (arg == "--baud") {
      ok = reader.Number(arg, 1, 4000000, args.baud);
    } else if (arg == "--option") {
      std::string option;
      ok = reader.Value(arg, option);
      if (ok) args.options.push_back(option);
    } else if (arg == "--verbose") {
      args.verbose = true;
    } else if (arg == "--overwrite") {
      args.overwrite = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return StrPrintf(Tr("unknown option %s"), arg.c_str());
    } else {
      args.files.push_back(arg);
    }
    if (!ok) return reader.Error();
  }
  if (args.protocol != "zmodem" && args.protocol != "kermit")
    return StrPrintf(Tr("unknown protocol \"%s\" (zmodem or kermit)"), args.protocol.c_str());
  if (args.sending && args.files.empty()) return Tr("send: no FILE given");
  if (!args.sending && !args.files.empty())
    return StrPrintf(Tr("receive takes no FILE (\"%s\"); --dir names the folder"), args.files[0].c_str());
  if (args.sending && args.overwrite) return Tr("--overwrite is for receive");
  return {};
}

// The start option codes of the arguments, each checked against the engine
// and direction of the run; an empty `error` when all are taken.
std::vector<int> StartCodes(const Arguments& args, std::string& error) {
  const Engine& engine = kEngines[(args.protocol == "kermit" ? 2 : 0) + (args.sending ? 0 : 1)];
  std::vector<int> codes;
  for (const std::string& given : args.options) {
    const size_t equals = given.find('=');
    long code = 0, value = 0;
    const bool has_value = equals != std::string::npos;
    if (!pelikon_tools::ParseWholeNumber(given.substr(0, equals), 0, INT32_MAX, code) ||
        (has_value && !pelikon_tools::ParseWholeNumber(given.substr(equals + 1), INT32_MIN, INT32_MAX, value))) {
      error = StrPrintf(Tr("--option takes CODE or CODE=VALUE, not \"%s\""), given.c_str());
      return {};
    }
    const OptionHelp* known = nullptr;
    for (const OptionHelp& option : kOptionHelp)
      if (option.code == code) known = &option;
    if (!known) {
      error = StrPrintf(Tr("unknown start option %ld (xfer --help lists them)"), code);
      return {};
    }
    if ((known->value != nullptr) != has_value) {
      error = known->value ? StrPrintf(Tr("--option %ld takes a value: --option %ld=%s"), code, code, known->value)
                           : StrPrintf(Tr("--option %ld takes no value"), code);
      return {};
    }
    std::vector<int> group = {static_cast<int>(code)};
    if (has_value) group.push_back(static_cast<int>(value));
    if (!Takes(engine, group)) {
      error = Takes(engine, OptionCodes(*known))
                  ? StrPrintf(Tr("--option %s: the value is out of range"), given.c_str())
                  : StrPrintf(Tr("--option %ld is not taken by %s"), code, engine.name);
      return {};
    }
    codes.insert(codes.end(), group.begin(), group.end());
  }
  return codes;
}

// Every file the specs name can be read, and every pattern names some; the
// reason for the first that fails.
std::string UnsendableFile(const std::vector<std::string>& specs, bool search_subfolders) {
  for (const std::string& spec : specs) {
    pelikon::FileSource source({spec}, search_subfolders);
    std::filesystem::path file;
    int found = 0;
    for (int next; (next = source.Next(file)) != 0; ++found) {
      if (next < 0) return StrPrintf(Tr("cannot send %s: the folder cannot be read"), spec.c_str());
      const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
      struct stat info {};
      const bool readable = fd >= 0 && ::fstat(fd, &info) == 0;
      const int error = fd < 0 ? errno : 0;
      if (fd >= 0) ::close(fd);
      if (!readable) return StrPrintf(Tr("cannot send %s: %s"), file.c_str(), std::strerror(error));
      if (!S_ISREG(info.st_mode)) return StrPrintf(Tr("cannot send %s: not a file"), file.c_str());
    }
    if (found == 0) return StrPrintf(Tr("cannot send %s: no file matches"), spec.c_str());
  }
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  const pelikon_tools::ToolUsage usage("xfer", kUsageText);
  if (pelikon_tools::ToolUsage::HelpAsked(argc, argv)) {
    const pelikon_tools::ToolUsage help("xfer", kUsageText, HelpDetails());
    return help.Help();
  }
  Arguments args;
  if (const std::string wrong = Parse(argc, argv, args); !wrong.empty()) return usage.Wrong(wrong);
  std::string wrong;
  const std::vector<int> options = StartCodes(args, wrong);
  if (!wrong.empty()) return usage.Wrong(wrong);
  const bool kermit = args.protocol == "kermit";
  const bool resume = std::find(options.begin(), options.end(), pelikon::kOptResume) != options.end();
  const bool subfolders = std::find(options.begin(), options.end(), pelikon::kOptSubfolders) != options.end();

  if (args.sending) {
    if (const std::string reason = UnsendableFile(args.files, subfolders); !reason.empty()) return usage.Fail(reason);
  } else if (!std::filesystem::is_directory(args.folder)) {
    return usage.Fail(StrPrintf(Tr("cannot receive into %s: not a folder"), args.folder.c_str()));
  }
  // Without --overwrite the engine receives beside the folder, and only
  // files that replace nothing move in. Continuing an interrupted file
  // needs it in place.
  pelikon_tools::Landing landing;
  const bool landed = !args.sending && !args.overwrite && !resume;
  std::filesystem::path receive_into = args.folder;
  if (landed) {
    std::string error;
    if (!landing.Prepare(args.folder, error))
      return usage.Fail(StrPrintf(Tr("cannot receive into %s: %s"), args.folder.c_str(), error.c_str()));
    receive_into = landing.Staging();
  }

  pelikon::SerialPortHandle port =
      args.device.empty() ? pelikon::OpenSerialStreams(0, STDIN_FILENO, STDOUT_FILENO, static_cast<int>(args.baud))
                          : pelikon::OpenSerialLink(0, static_cast<int>(args.baud), args.device);
  if (port->Status() != 0) {
    const std::string line = args.device.empty() ? Tr("standard input and output") : args.device;
    return usage.Fail(StrPrintf(Tr("cannot open %s: %s"), line.c_str(), ResultText(port->Status()).c_str()));
  }
  pelikon::TransferMessageHook hook;
  if (args.verbose) hook = [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); };
  int result;
  if (args.sending) {
    result = kermit ? pelikon::KermitSend(*port, args.files, hook, nullptr, options)
                    : pelikon::ZmodemSend(*port, args.files, hook, nullptr, options);
  } else {
    result = kermit ? pelikon::KermitReceive(*port, receive_into, hook, nullptr, options)
                    : pelikon::ZmodemReceive(*port, receive_into, hook, nullptr, options);
  }
  port.reset();

  int status = kExitOk;
  if (result == 0)
    status = usage.Fail(Tr("no file arrived"));
  else if (result < 0)
    status = usage.Fail(ResultText(result));
  if (!landed) return status;
  const pelikon_tools::Landing::Outcome outcome = landing.Finish();
  for (const std::string& name : outcome.kept)
    status = usage.Fail(
        StrPrintf(Tr("%s exists already in %s: kept it (--overwrite replaces it)"), name.c_str(), args.folder.c_str()));
  for (const std::string& name : outcome.failed)
    status = usage.Fail(StrPrintf(Tr("%s could not be moved into %s; it is in %s"), name.c_str(), args.folder.c_str(),
                                  outcome.left_in.c_str()));
  return status;
}
