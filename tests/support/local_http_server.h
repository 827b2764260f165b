// A small HTTP server on 127.0.0.1 for tests of downloads. It listens on a
// port the system picks, answers each connection on a thread of its own and
// behaves per path as the test scripted it; a path nobody scripted gets a
// 404 page. Every request line received is kept. The destructor ends every
// connection, stalled ones included, and joins the threads.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pelikon::testing {

enum class HttpBehaviour {
  kServe,         // 200 with Content-Length and the body
  kServeUnsized,  // 200 without Content-Length; the body ends with the connection
  kRedirect,      // 302 to the body, taken as a path on this server
  kNotFound,      // 404 with an error page as its body
  kCutHalfway,    // announces the whole body, sends half, then closes
  kStallHalfway,  // announces the whole body, sends half, then sends nothing
  kNeverAnswer,   // reads the request and sends nothing
};

class LocalHttpServer {
 public:
  LocalHttpServer();
  ~LocalHttpServer();
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;

  // How requests for `path` (the part before any "?") are answered.
  void Script(const std::string& path, HttpBehaviour behaviour, std::string body = {});
  // "http://127.0.0.1:<port>" followed by `path`.
  std::string Url(const std::string& path) const;
  // The request lines ("GET /x?rand=5 HTTP/1.1") received so far.
  std::vector<std::string> RequestLines() const;

 private:
  struct Route {
    HttpBehaviour behaviour;
    std::string body;
  };
  void Accept();
  void Answer(int client);
  // Waits until the client hangs up or the server ends.
  void Hold(int client) const;

  int listener_ = -1;
  int stop_pipe_[2] = {-1, -1};
  int port_ = 0;
  mutable std::mutex mutex_;
  std::map<std::string, Route> routes_;
  std::vector<std::string> request_lines_;
  std::vector<std::thread> connections_;
  std::thread acceptor_;
};

}  // namespace pelikon::testing
