// The serial driver's waiting costs, over a pseudo-terminal pair:
//  1. CPU used while waiting 5 s for a reply that never comes (goal: under
//     2% of a core);
//  2. the latency of a command line and its reply line, with a peer process
//     answering at once (goal: median under 2 ms), against the same
//     exchange written with plain blocking read/write on the same tty.
//
// usage: serial_bench [EXCHANGES]
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "link/serial/serial_port.h"

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds() {
  struct timespec t {};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The collector's part: answers every line ending in LF with "ACK\r\n".
pid_t StartAnsweringPeer(int master) {
  const pid_t child = ::fork();
  if (child != 0) return child;
  char buffer[256];
  for (;;) {
    struct pollfd entry {
      master, POLLIN, 0
    };
    if (::poll(&entry, 1, -1) < 0) ::_exit(0);
    const ssize_t n = ::read(master, buffer, sizeof buffer);
    if (n <= 0) {
      if (n < 0 && errno == EAGAIN) continue;
      ::_exit(0);
    }
    for (ssize_t i = 0; i < n; ++i)
      if (buffer[i] == '\n' && ::write(master, "ACK\r\n", 5) != 5) ::_exit(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int exchanges = argc > 1 ? std::atoi(argv[1]) : 2000;
  int master = -1, slave = -1;
  char name[256] = {};
  struct termios raw {};
  ::cfmakeraw(&raw);
  if (::openpty(&master, &slave, name, &raw, nullptr) != 0) return 1;

  pelikon::SerialPortHandle port = pelikon::OpenSerialLink(0, 115200, name);
  if (port->Status() != 0) {
    std::fprintf(stderr, "cannot open %s: %d\n", name, port->Status());
    return 1;
  }

  // 1. A reply that never comes.
  std::string line;
  const double cpu_before = CpuSeconds();
  const auto wait_start = Clock::now();
  const int waited = port->GetLine(line, 256, pelikon::kTerminatorCrLf, 5000);
  const double wall = std::chrono::duration<double>(Clock::now() - wait_start).count();
  const double cpu = CpuSeconds() - cpu_before;
  std::printf("idle wait: result %d after %.2f s, CPU %.3f s = %.2f%% of a core (goal < 2%%)\n", waited, wall, cpu,
              100.0 * cpu / wall);

  // 2. Line exchanges with a peer that answers at once.
  const pid_t peer = StartAnsweringPeer(master);
  std::vector<double> ours, plain;
  for (int i = 0; i < exchanges; ++i) {
    const auto start = Clock::now();
    if (port->PutLine("ARE YOU THERE?", pelikon::kTerminatorCrLf, 1000) != 0 ||
        port->GetLine(line, 256, pelikon::kTerminatorCrLf, 1000) != 0 || line != "ACK") {
      std::fprintf(stderr, "exchange %d failed\n", i);
      return 1;
    }
    ours.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  port.reset();

  // The same exchange with blocking calls on the same tty: the floor.
  const int fd = ::open(name, O_RDWR | O_NOCTTY);
  ::tcsetattr(fd, TCSANOW, &raw);
  for (int i = 0; i < exchanges; ++i) {
    const auto start = Clock::now();
    if (::write(fd, "ARE YOU THERE?\r\n", 16) != 16) return 1;
    std::string got;
    char c;
    while (got.size() < 5 && ::read(fd, &c, 1) == 1) got += c;
    plain.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  ::close(fd);
  ::kill(peer, SIGTERM);
  ::waitpid(peer, nullptr, 0);

  const double ours_ms = Median(ours), plain_ms = Median(plain);
  std::printf("line exchange: median %.3f ms (goal < 2 ms), blocking read/write %.3f ms, ratio %.2f (%d exchanges)\n",
              ours_ms, plain_ms, ours_ms / plain_ms, exchanges);
  return 0;
}
