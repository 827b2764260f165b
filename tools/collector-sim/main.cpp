// collector-sim: plays the data collector's side of the serial command
// dialogue on a pseudo-terminal, serving a folder as the collector's store.
//
// collector-sim --root DIR [--link PATH | --device TTY] [--log FILE] [--answer-only-at BAUD]
//               [--refuse-baud] [--rename-reply TEXT] [--no-program-folder]
//               [--silent] [--verbose] [--third-party]
//
// It prints the terminal's device on standard output and, with --link,
// makes PATH a link to it; point Pelikon's COM port there (settings value
// port<n>=PATH). It serves until it is stopped. --third-party moves files
// with lrzsz and gkermit instead of Pelikon's own engines.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "link/serial/serial_port.h"
#include "platform/temp_folder.h"
#include "session.h"

namespace {

int Usage() {
  std::fprintf(
      stderr,
      "usage: collector-sim --root DIR [--link PATH | --device TTY] [--log FILE] [--answer-only-at BAUD] "
      "[--refuse-baud]\n"
      "                     [--rename-reply TEXT] [--no-program-folder] [--silent] [--verbose] [--third-party]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string root, link, log_path, existing_device;
  collector_sim::Knobs knobs;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string text;
    if (arg == "--root" && value(root)) continue;
    if (arg == "--link" && value(link)) continue;
    if (arg == "--device" && value(existing_device)) continue;
    if (arg == "--log" && value(log_path)) continue;
    if (arg == "--answer-only-at" && value(text)) {
      knobs.answer_only_at_baud = std::atoi(text.c_str());
      continue;
    }
    if (arg == "--rename-reply" && value(knobs.rename_reply)) continue;
    if (arg == "--refuse-baud")
      knobs.refuse_baud = true;
    else if (arg == "--no-program-folder")
      knobs.no_program_folder = true;
    else if (arg == "--silent")
      knobs.silent = true;
    else if (arg == "--verbose")
      knobs.verbose = true;
    else if (arg == "--third-party")
      knobs.third_party = true;
    else
      return Usage();
  }
  if (root.empty()) return Usage();

  // Either a terminal that exists (the end of a relay that paces the line)
  // or a new pseudo-terminal whose other end the PC opens.
  const int master =
      existing_device.empty() ? ::posix_openpt(O_RDWR | O_NOCTTY) : ::open(existing_device.c_str(), O_RDWR | O_NOCTTY);
  if (master < 0 || (existing_device.empty() && (::grantpt(master) != 0 || ::unlockpt(master) != 0))) {
    std::perror("collector-sim: terminal");
    return 1;
  }
  const std::string device = existing_device.empty() ? ::ptsname(master) : existing_device;
  // Keep the line's own end open, so that the PC closing and opening it
  // again never hangs the line up; it also tells the line's speed.
  const int line_fd = existing_device.empty() ? ::open(device.c_str(), O_RDWR | O_NOCTTY) : master;
  struct termios raw {};
  if (line_fd < 0 || ::tcgetattr(line_fd, &raw) != 0) {
    std::perror("collector-sim: terminal");
    return 1;
  }
  ::cfmakeraw(&raw);
  ::tcsetattr(line_fd, TCSANOW, &raw);
  if (!link.empty()) {
    ::unlink(link.c_str());
    if (::symlink(device.c_str(), link.c_str()) != 0) {
      std::perror("collector-sim: link");
      return 1;
    }
  }
  std::FILE* log = log_path.empty() ? nullptr : std::fopen(log_path.c_str(), "w");
  const std::filesystem::path work = pelikon::TempFolder();
  if (work.empty()) {
    std::fprintf(stderr, "collector-sim: no private working folder\n");
    return 1;
  }
  pelikon::SerialPortHandle port = pelikon::OpenSerialStreams(0, master, master, 115200);
  if (port->Status() != 0) {
    std::fprintf(stderr, "collector-sim: cannot use the line: %d\n", port->Status());
    return 1;
  }
  std::printf("%s\n", device.c_str());
  std::fflush(stdout);
  collector_sim::Store store(root);
  collector_sim::Session session(*port, master, store, knobs, log, line_fd, work / "collector-sim");
  std::filesystem::create_directories(work / "collector-sim");
  session.Run();
  return 0;
}
