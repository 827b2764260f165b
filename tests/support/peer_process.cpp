#include "support/peer_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>

namespace pelikon::testing {

PeerProcess::PeerProcess(const std::vector<std::string>& argv, const std::string& device,
                         const std::filesystem::path& folder, const std::filesystem::path& log) {
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    ::setsid();
    const int tty = ::open(device.c_str(), O_RDWR | O_NOCTTY);
    if (tty < 0) ::_exit(126);
    // Some peers talk to their controlling terminal: make it this one.
    ::ioctl(tty, TIOCSCTTY, 0);
    struct termios raw {};
    if (::tcgetattr(tty, &raw) == 0) {
      ::cfmakeraw(&raw);
      ::tcsetattr(tty, TCSANOW, &raw);
    }
    ::dup2(tty, 0);
    ::dup2(tty, 1);
    const int err =
        log.empty() ? ::open("/dev/null", O_WRONLY) : ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (err >= 0) ::dup2(err, 2);
    if (::chdir(folder.c_str()) != 0) ::_exit(126);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
}

PeerProcess::~PeerProcess() {
  Kill();
}

void PeerProcess::Collect(int status, const struct rusage& usage) {
  status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  cpu_seconds_ = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                 static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  pid_ = -1;
}

void PeerProcess::Kill() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  int status = 0;
  struct rusage usage {};
  if (::wait4(pid_, &status, 0, &usage) == pid_) Collect(status, usage);
  pid_ = -1;
}

bool PeerProcess::Running() {
  if (pid_ <= 0) return false;
  int status = 0;
  struct rusage usage {};
  if (::wait4(pid_, &status, WNOHANG, &usage) == pid_) {
    Collect(status, usage);
    return false;
  }
  return true;
}

int PeerProcess::Wait(int timeout_ms) {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (Running()) {
    if (std::chrono::steady_clock::now() >= limit) {
      Kill();
      return status_ = -1;
    }
    ::usleep(2000);
  }
  return status_;
}

bool ProgramAvailable(const std::string& name) {
  const std::string command = "command -v " + name + " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

}  // namespace pelikon::testing
