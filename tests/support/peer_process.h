// A program run as the other end of a line: its standard input and output
// are a terminal device (raw mode), as lrzsz and the Kermits expect.
#pragma once

#include <sys/resource.h>
#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace pelikon::testing {

class PeerProcess {
 public:
  // Starts `argv` in `folder` on the terminal `device`; its standard error
  // goes to `log` (or nowhere when empty).
  PeerProcess(const std::vector<std::string>& argv, const std::string& device, const std::filesystem::path& folder,
              const std::filesystem::path& log = {});
  ~PeerProcess();
  PeerProcess(const PeerProcess&) = delete;
  PeerProcess& operator=(const PeerProcess&) = delete;

  // Waits up to `timeout_ms` for the exit; the exit status, or -1 when it
  // had to be killed (or died of a signal).
  int Wait(int timeout_ms);
  bool Running();
  // Stops it now (SIGKILL) and collects it.
  void Kill();
  // CPU seconds (user + system) it used; known once it has ended.
  double CpuSeconds() const { return cpu_seconds_; }

 private:
  void Collect(int status, const struct rusage& usage);

  pid_t pid_ = -1;
  int status_ = -1;
  double cpu_seconds_ = 0;
};

// True when a program is on the PATH.
bool ProgramAvailable(const std::string& name);

}  // namespace pelikon::testing
