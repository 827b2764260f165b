// The collector's half of the serial command dialogue: reads the PC's
// command lines, answers them, and moves files with the transfer engines
// when asked for a listing, a file, or to receive one.
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "link/serial/serial_port.h"
#include "store.h"

namespace collector_sim {

// The third-party program running on the line just now (0 when none), so
// that the simulator's end can end it too. Safe to read in a signal handler.
pid_t RunningProgram();

// Ways to misbehave, for the link's awkward cases.
struct Knobs {
  int answer_only_at_baud = 0;  // answer nothing unless the line runs at this speed
  bool refuse_baud = false;     // answer "BAUD" with "ERROR"
  std::string rename_reply = "ACK";
  bool no_program_folder = false;  // answer "PWD" with "ERROR"
  bool silent = false;             // answer nothing at all
  bool verbose = false;            // log the engines' messages too
  bool third_party = false;        // move files with lrzsz and gkermit instead of our engines
};

class Session {
 public:
  // `port` is the simulator's end of the line (`line_descriptor` the same
  // line as a descriptor, for third-party programs); `line_fd` is the PC's
  // end, kept open to read the line's speed;
  // `work` holds the listing file while it is sent.
  Session(pelikon::SerialPort& port, int line_descriptor, Store& store, Knobs knobs, std::FILE* log, int line_fd,
          std::filesystem::path work);
  // Serves commands until the process is stopped.
  void Run();

 private:
  void Handle(const std::string& command);
  bool NextLine(std::string& line);
  // One line within `timeout_ms`, as GetLine answers.
  int ReadLine(std::string& line, int timeout_ms);
  void Reply(const std::string& line);
  void Log(const char* direction, const std::string& text);
  int LineSpeed() const;
  int SendFile(const std::filesystem::path& file);
  int ReceiveFiles();
  // Runs a third-party transfer program on the line; its exit status.
  int RunOnLine(const std::vector<std::string>& argv, const std::filesystem::path& folder);

  pelikon::SerialPort& port_;
  int line_descriptor_;
  Store& store_;
  Knobs knobs_;
  std::FILE* log_;
  int line_fd_;
  std::filesystem::path work_;
  bool show_hidden_ = false;
  std::string mask_ = "*.*";
  bool kermit_ = true;
};

}  // namespace collector_sim
