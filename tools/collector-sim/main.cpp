// collector-sim: plays the data collector's side of the serial command
// dialogue on a pseudo-terminal, serving a folder as the collector's store.
//
// collector-sim --root DIR [--link PATH | --device TTY] [--log FILE] [--answer-only-at BAUD]
//               [--refuse-baud] [--rename-reply TEXT] [--no-program-folder]
//               [--silent] [--verbose] [--third-party] [--parent PID]
//
// It prints the terminal's device on standard output and, with --link,
// makes PATH a link to it; point Pelikon's COM port there (settings value
// port<n>=PATH). It serves until it is stopped, or until process PID ends
// when --parent names the process that started it; its link goes with it.
// --third-party moves files with lrzsz and gkermit instead of Pelikon's own
// engines.
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "link/serial/serial_port.h"
#include "platform/catalogue.h"
#include "platform/temp_folder.h"
#include "platform/text.h"
#include "session.h"
#include "tool_usage.h"

namespace {

using pelikon::StrPrintf;
using pelikon::Tr;

const pelikon_tools::ToolUsage kUsage(
    "collector-sim",
    N_("usage: collector-sim --root DIR [--link PATH | --device TTY] [--log FILE] [--parent PID]\n"
       "                     [--answer-only-at BAUD] [--refuse-baud] [--rename-reply TEXT]\n"
       "                     [--no-program-folder] [--silent] [--verbose] [--third-party]\n"),
    N_("Plays the data collector's side of the serial dialogue on a new pseudo-terminal\n"
       "(or on the terminal --device names), serving the folder DIR as its store, and\n"
       "prints the terminal's path.\n"
       "  --link PATH            makes PATH a link to the terminal (replacing only such a\n"
       "                         link, never another file); it is removed at the end\n"
       "  --log FILE             every line heard (\"< \") and said (\"> \")\n"
       "  --parent PID           ends when process PID, which started it, ends\n"
       "  --answer-only-at BAUD  answers nothing unless the line runs at BAUD\n"
       "  --refuse-baud          answers BAUD with ERROR\n"
       "  --rename-reply TEXT    answers RENAME with TEXT\n"
       "  --no-program-folder    answers PWD with ERROR\n"
       "  --silent               answers nothing at all\n"
       "  --verbose              logs the engines' messages too\n"
       "  --third-party          moves files with lrzsz and gkermit\n"
       "It serves until it is stopped. Exit status: 1 it could not start, 2 a wrong argument.\n"));

// What the end of the process tidies: the link it made, and a third-party
// program on the line. Plain buffers, for a signal handler to read.
char g_link[PATH_MAX];
char g_device[PATH_MAX];

// True when `path` is a symbolic link to a pseudo-terminal: a link this
// program made (on an earlier run, perhaps), which may be replaced.
bool IsTerminalLink(const char* path) {
  struct stat info {};
  if (::lstat(path, &info) != 0 || !S_ISLNK(info.st_mode)) return false;
  char target[PATH_MAX];
  const ssize_t n = ::readlink(path, target, sizeof target - 1);
  if (n <= 0) return false;
  target[n] = '\0';
  return std::strncmp(target, "/dev/pts/", 9) == 0;
}

void EndNow(int) {
  if (const pid_t program = collector_sim::RunningProgram(); program > 0) ::kill(program, SIGTERM);
  if (g_link[0] != '\0') {
    char target[PATH_MAX];
    const ssize_t n = ::readlink(g_link, target, sizeof target - 1);
    if (n > 0 && static_cast<size_t>(n) == std::strlen(g_device) && std::strncmp(target, g_device, n) == 0)
      ::unlink(g_link);
  }
  ::_exit(0);
}

void EndOnSignals() {
  struct sigaction action {};
  action.sa_handler = EndNow;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

struct Arguments {
  std::string root, link, log_path, existing_device;
  long parent = 0;
  collector_sim::Knobs knobs;
};

// Reads and checks the arguments; an empty result, or what is wrong.
std::string Parse(int argc, char** argv, Arguments& args) {
  pelikon_tools::ArgumentReader reader(argc, argv, 1);
  while (!reader.Done()) {
    const std::string arg = reader.Next();
    bool ok = true;
    long baud = 0;
    if (arg == "--root") {
      ok = reader.Value(arg, args.root);
    } else if (arg == "--link") {
      ok = reader.Value(arg, args.link);
    } else if (arg == "--device") {
      ok = reader.Value(arg, args.existing_device);
    } else if (arg == "--log") {
      ok = reader.Value(arg, args.log_path);
    } else if (arg == "--parent") {
      ok = reader.Number(arg, 1, INT_MAX, args.parent);
    } else if (arg == "--answer-only-at") {
      ok = reader.Number(arg, 1, 4000000, baud);
      args.knobs.answer_only_at_baud = static_cast<int>(baud);
    } else if (arg == "--rename-reply") {
      ok = reader.Value(arg, args.knobs.rename_reply);
    } else if (arg == "--refuse-baud") {
      args.knobs.refuse_baud = true;
    } else if (arg == "--no-program-folder") {
      args.knobs.no_program_folder = true;
    } else if (arg == "--silent") {
      args.knobs.silent = true;
    } else if (arg == "--verbose") {
      args.knobs.verbose = true;
    } else if (arg == "--third-party") {
      args.knobs.third_party = true;
    } else {
      return StrPrintf(Tr("unknown argument \"%s\""), arg.c_str());
    }
    if (!ok) return reader.Error();
  }
  std::error_code error;
  if (args.root.empty()) return Tr("--root names the folder to serve");
  if (!std::filesystem::is_directory(args.root, error))
    return StrPrintf(Tr("--root %s: there is no such folder"), args.root.c_str());
  struct stat there {};
  if (!args.link.empty() && ::lstat(args.link.c_str(), &there) == 0 && !IsTerminalLink(args.link.c_str()))
    return StrPrintf(Tr("--link %s: something that is not a link to a terminal is there; it is left alone"),
                     args.link.c_str());
  if (args.link.size() >= sizeof g_link) return Tr("--link: the path is too long");
  return {};
}

// Makes `link` a link to `device`, replacing only a link to a terminal.
bool MakeLink(const std::string& link, const std::string& device) {
  if (IsTerminalLink(link.c_str())) ::unlink(link.c_str());
  // An existing name of any other kind makes this fail rather than go.
  if (::symlink(device.c_str(), link.c_str()) != 0) return false;
  std::snprintf(g_link, sizeof g_link, "%s", link.c_str());
  std::snprintf(g_device, sizeof g_device, "%s", device.c_str());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (pelikon_tools::ToolUsage::HelpAsked(argc, argv)) return kUsage.Help();
  Arguments args;
  if (const std::string wrong = Parse(argc, argv, args); !wrong.empty()) return kUsage.Wrong(wrong);
  EndOnSignals();
  if (args.parent != 0) {
    // The end of the starter ends this process too, even when it is
    // killed; a starter gone before this line counts as ended.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != static_cast<pid_t>(args.parent)) return kUsage.Fail(Tr("the starting process has ended"));
  }

  // Either a terminal that exists (the end of a relay that paces the line)
  // or a new pseudo-terminal whose other end the PC opens.
  const std::string& existing = args.existing_device;
  const int master = existing.empty() ? ::posix_openpt(O_RDWR | O_NOCTTY) : ::open(existing.c_str(), O_RDWR | O_NOCTTY);
  if (master < 0 || (existing.empty() && (::grantpt(master) != 0 || ::unlockpt(master) != 0)))
    return kUsage.Fail(StrPrintf(Tr("terminal: %s"), std::strerror(errno)));
  const std::string device = existing.empty() ? ::ptsname(master) : existing;
  // Keep the line's own end open, so that the PC closing and opening it
  // again never hangs the line up; it also tells the line's speed.
  const int line_fd = existing.empty() ? ::open(device.c_str(), O_RDWR | O_NOCTTY) : master;
  struct termios raw {};
  if (line_fd < 0 || ::tcgetattr(line_fd, &raw) != 0)
    return kUsage.Fail(StrPrintf(Tr("terminal %s: %s"), device.c_str(), std::strerror(errno)));
  ::cfmakeraw(&raw);
  ::tcsetattr(line_fd, TCSANOW, &raw);
  std::FILE* log = nullptr;
  if (!args.log_path.empty() && !(log = std::fopen(args.log_path.c_str(), "w")))
    return kUsage.Fail(StrPrintf(Tr("log %s: %s"), args.log_path.c_str(), std::strerror(errno)));
  const std::filesystem::path work = pelikon::TempFolder();
  if (work.empty()) return kUsage.Fail(Tr("no private working folder"));
  std::error_code error;
  std::filesystem::create_directories(work / "collector-sim", error);
  pelikon::SerialPortHandle port = pelikon::OpenSerialStreams(0, master, master, 115200);
  if (port->Status() != 0) {
    const char* text = pelikon::SerialErrorText(port->Status());
    return kUsage.Fail(StrPrintf(Tr("cannot use the line: error %d: %s"), port->Status(), text ? Tr(text) : ""));
  }
  // The link comes last: nothing that can fail follows it.
  if (!args.link.empty() && !MakeLink(args.link, device))
    return kUsage.Fail(StrPrintf(Tr("link %s: %s"), args.link.c_str(), std::strerror(errno)));
  std::printf("%s\n", device.c_str());
  std::fflush(stdout);
  collector_sim::Store store(args.root);
  collector_sim::Session session(*port, master, store, args.knobs, log, line_fd, work / "collector-sim");
  session.Run();
  return 0;
}
