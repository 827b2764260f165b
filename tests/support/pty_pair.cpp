#include "support/pty_pair.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>

namespace pelikon::testing {

namespace {

int Waiting(int fd) {
  int count = 0;
  return ::ioctl(fd, FIONREAD, &count) == 0 ? count : 0;
}

}  // namespace

PtyPair::PtyPair() {
  char name[256] = {};
  struct termios raw {};
  ::cfmakeraw(&raw);
  if (::openpty(&master_, &slave_, name, &raw, nullptr) != 0) throw std::runtime_error("openpty failed");
  slave_path_ = name;
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PtyPair::~PtyPair() {
  if (master_ >= 0) ::close(master_);
  if (slave_ >= 0) ::close(slave_);
}

void PtyPair::Send(std::string_view bytes) {
  const int before = Waiting(slave_);
  size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::write(master_, bytes.data() + sent, bytes.size() - sent);
    if (n > 0) {
      sent += static_cast<size_t>(n);
    } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
      throw std::runtime_error("pty write failed");
    } else {
      struct pollfd entry {
        master_, POLLOUT, 0
      };
      ::poll(&entry, 1, 100);
    }
  }
  // Wait (bounded) for the hand-over to the slave side.
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (Waiting(slave_) < before + static_cast<int>(bytes.size()) && std::chrono::steady_clock::now() < limit) {
    struct pollfd entry {
      slave_, POLLIN, 0
    };
    ::poll(&entry, 1, 1);
  }
}

std::string PtyPair::Receive(size_t count, int timeout_ms) {
  std::string out;
  const auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (out.size() < count && std::chrono::steady_clock::now() < limit) {
    char buffer[4096];
    const ssize_t n = ::read(master_, buffer, std::min(sizeof buffer, count - out.size()));
    if (n > 0) {
      out.append(buffer, static_cast<size_t>(n));
      continue;
    }
    struct pollfd entry {
      master_, POLLIN, 0
    };
    ::poll(&entry, 1, 10);
  }
  return out;
}

void PtyPair::HangUp() {
  if (master_ >= 0) ::close(master_);
  master_ = -1;
}

}  // namespace pelikon::testing
