// A helper program run beside this one (the demo's simulated collector, the
// geoid model import), stopped and collected when its owner goes.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace pelikon {

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess() { Stop(); }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts `argv` (argv[0] a path) with standard input and output on
  // /dev/null and standard error on `error_log` (or /dev/null when empty).
  // False when it could not be started.
  bool Start(const std::vector<std::string>& argv, const std::filesystem::path& error_log = {});
  bool Running();
  // Waits for it to end, calling `pump` (when given) every few milliseconds
  // meanwhile; its exit status, or -1 when it was not running or did not
  // exit by itself.
  int Wait(const std::function<void()>& pump = nullptr);
  // Asks it to end, then ends it after a short grace; collects it.
  void Stop();

 private:
  int pid_ = -1;
};

}  // namespace pelikon
