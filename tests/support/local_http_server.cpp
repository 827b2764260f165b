#include "support/local_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace pelikon::testing {

namespace {

constexpr size_t kLongestRequestHead = 16 * 1024;

void SendAll(int fd, const std::string& data) {
  size_t sent = 0;
  while (sent < data.size()) {
    const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // the client is gone
    sent += static_cast<size_t>(n);
  }
}

std::string Head(const char* status, const std::string& extra_fields) {
  return std::string("HTTP/1.1 ") + status + "\r\n" + extra_fields + "Connection: close\r\n\r\n";
}

std::string Sized(const std::string& body) {
  return "Content-Length: " + std::to_string(body.size()) + "\r\n";
}

}  // namespace

LocalHttpServer::LocalHttpServer() {
  if (::pipe(stop_pipe_) != 0) throw std::runtime_error("pipe");
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener_, 16) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    throw std::runtime_error(std::string("local HTTP server: ") + std::strerror(errno));
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { Accept(); });
}

LocalHttpServer::~LocalHttpServer() {
  ::close(stop_pipe_[1]);  // wakes every poll on the read end
  acceptor_.join();
  for (std::thread& connection : connections_) connection.join();
  ::close(stop_pipe_[0]);
  ::close(listener_);
}

void LocalHttpServer::Script(const std::string& path, HttpBehaviour behaviour, std::string body) {
  std::lock_guard lock(mutex_);
  routes_[path] = Route{behaviour, std::move(body)};
}

std::string LocalHttpServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> LocalHttpServer::RequestLines() const {
  std::lock_guard lock(mutex_);
  return request_lines_;
}

void LocalHttpServer::Accept() {
  for (;;) {
    pollfd fds[2] = {{listener_, POLLIN, 0}, {stop_pipe_[0], POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[1].revents != 0) return;
    const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    // Only this thread adds to the list; the destructor reads it after
    // joining this thread.
    connections_.emplace_back([this, client] {
      Answer(client);
      ::close(client);
    });
  }
}

void LocalHttpServer::Hold(int client) const {
  pollfd fds[2] = {{client, POLLIN, 0}, {stop_pipe_[0], POLLIN, 0}};
  char scrap[512];
  for (;;) {
    if (::poll(fds, 2, -1) < 0 && errno != EINTR) return;
    if (fds[1].revents != 0) return;
    if (fds[0].revents != 0 && ::recv(client, scrap, sizeof scrap, 0) <= 0) return;
  }
}

void LocalHttpServer::Answer(int client) {
  std::string head;
  char buffer[1024];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < kLongestRequestHead) {
    pollfd fds[2] = {{client, POLLIN, 0}, {stop_pipe_[0], POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0 || fds[1].revents != 0) return;
    const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
    if (n <= 0) return;
    head.append(buffer, static_cast<size_t>(n));
  }
  const std::string line = head.substr(0, head.find("\r\n"));
  // "GET /path?query HTTP/1.1": the path between the blanks, up to any "?".
  const size_t start = line.find(' ') + 1;
  const std::string target = line.substr(start, line.find(' ', start) - start);
  const std::string path = target.substr(0, target.find('?'));
  Route route{HttpBehaviour::kNotFound, "<html><body>404 Not Found</body></html>"};
  {
    std::lock_guard lock(mutex_);
    request_lines_.push_back(line);
    const auto found = routes_.find(path);
    if (found != routes_.end()) route = found->second;
  }
  const std::string& body = route.body;
  const std::string half = body.substr(0, body.size() / 2);
  switch (route.behaviour) {
    case HttpBehaviour::kServe:
      return SendAll(client, Head("200 OK", Sized(body)) + body);
    case HttpBehaviour::kServeUnsized:
      return SendAll(client, Head("200 OK", "") + body);
    case HttpBehaviour::kRedirect:
      return SendAll(client, Head("302 Found", "Location: " + Url(body) + "\r\nContent-Length: 0\r\n"));
    case HttpBehaviour::kNotFound:
      return SendAll(client, Head("404 Not Found", Sized(body)) + body);
    case HttpBehaviour::kCutHalfway:
      return SendAll(client, Head("200 OK", Sized(body)) + half);
    case HttpBehaviour::kStallHalfway:
      SendAll(client, Head("200 OK", Sized(body)) + half);
      return Hold(client);
    case HttpBehaviour::kNeverAnswer:
      return Hold(client);
  }
}

}  // namespace pelikon::testing
