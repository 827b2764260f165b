// xfer send|receive --protocol zmodem|kermit [--dir D] [--device PATH --baud N]
//      [--verbose] [--option CODE]... [FILE...]
//
// Sends FILEs or receives into D (default: the current folder) over
// standard input and output (raw mode when they are a terminal), or over a
// serial device. Exit status 0 on success; otherwise the engine's error
// code and its text go to standard error and the status is 1.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "link/kermit/kermit.h"
#include "link/serial/serial_port.h"
#include "link/transfer/transfer_errors.h"
#include "link/zmodem/zmodem.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: xfer send|receive --protocol zmodem|kermit [--dir D] [--device PATH --baud N]\n"
               "            [--verbose] [--option CODE]... [FILE...]\n");
  return 2;
}

struct Arguments {
  bool sending = false;
  std::string protocol = "zmodem";
  std::string folder = ".";
  std::string device;
  int baud = 115200;
  bool verbose = false;
  std::vector<int> options;
  std::vector<std::string> files;
};

bool Parse(int argc, char** argv, Arguments& args) {
  if (argc < 2) return false;
  if (std::strcmp(argv[1], "send") == 0)
    args.sending = true;
  else if (std::strcmp(argv[1], "receive") != 0)
    return false;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string text;
    if (arg == "--protocol") {
      if (!value(args.protocol)) return false;
    } else if (arg == "--dir") {
      if (!value(args.folder)) return false;
    } else if (arg == "--device") {
      if (!value(args.device)) return false;
    } else if (arg == "--baud") {
      if (!value(text)) return false;
      args.baud = std::atoi(text.c_str());
    } else if (arg == "--option") {
      if (!value(text)) return false;
      args.options.push_back(std::atoi(text.c_str()));
    } else if (arg == "--verbose") {
      args.verbose = true;
    } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
      return false;
    } else {
      args.files.push_back(arg);
    }
  }
  if (args.protocol != "zmodem" && args.protocol != "kermit") return false;
  return args.sending ? !args.files.empty() : args.files.empty();
}

}  // namespace

int main(int argc, char** argv) {
  Arguments args;
  if (!Parse(argc, argv, args)) return Usage();
  pelikon::SerialPortHandle port = args.device.empty()
                                       ? pelikon::OpenSerialStreams(0, STDIN_FILENO, STDOUT_FILENO, args.baud)
                                       : pelikon::OpenSerialLink(0, args.baud, args.device);
  if (port->Status() != 0) {
    std::fprintf(stderr, "xfer: cannot open %s: error %d\n",
                 args.device.empty() ? "standard input and output" : args.device.c_str(), port->Status());
    return 1;
  }
  pelikon::TransferMessageHook hook;
  if (args.verbose) hook = [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); };
  const bool kermit = args.protocol == "kermit";
  int result;
  if (args.sending) {
    result = kermit ? pelikon::KermitSend(*port, args.files, hook, nullptr, args.options)
                    : pelikon::ZmodemSend(*port, args.files, hook, nullptr, args.options);
  } else {
    result = kermit ? pelikon::KermitReceive(*port, args.folder, hook, nullptr, args.options)
                    : pelikon::ZmodemReceive(*port, args.folder, hook, nullptr, args.options);
  }
  port.reset();
  if (result > 0) return 0;
  const char* text = pelikon::TransferErrorText(result);
  if (text)
    std::fprintf(stderr, "xfer: error %d: %s\n", result, text);
  else
    std::fprintf(stderr, "xfer: error %d\n", result);
  return 1;
}
