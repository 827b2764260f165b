#include "support/fake_collector.h"

#include <set>

namespace pelikon::testing {

namespace {

// Commands followed by argument lines, and how many.
size_t ArgumentCount(const std::string& command) {
  static const std::set<std::string> one = {"CD", "GET", "CLRATTR", "DEL", "MKDIR", "RMDIR", "HIDDEN", "MASK",
                                            "PROTOCAL", "BAUD"};
  if (command == "RENAME") return 2;
  return one.count(command) ? 1 : 0;
}

}  // namespace

SerialPortHandle FakeCollector::Open(FakeClock& clock, int port_index, int baud) {
  auto* port = new MemorySerialPort(clock);
  (void)port_index;
  port->SetParameters(baud, 'N', 8, 1);
  port->OnWrite([this, port](std::string_view written) { Hear(*port, written); });
  partial_.clear();
  return SerialPortHandle(port);
}

void FakeCollector::Hear(MemorySerialPort& port, std::string_view bytes) {
  partial_ += bytes;
  size_t end;
  while ((end = partial_.find("\r\n")) != std::string::npos) {
    const std::string line = partial_.substr(0, end);
    partial_.erase(0, end + 2);
    heard_.push_back(line);
    Answer(port, line);
  }
}

void FakeCollector::Answer(MemorySerialPort& port, const std::string& line) {
  const bool hears = !silent && (answer_only_at_baud == 0 || port.Baud() == answer_only_at_baud);
  if (!command_.empty()) {
    arguments_.push_back(line);
    if (arguments_.size() < ArgumentCount(command_)) return;
    const std::string command = command_;
    command_.clear();
    if (!hears) return;
    if (command == "BAUD") port.Feed(refuse_baud ? "ERROR\r\n" : "ACK\r\n");
    else if (command == "RENAME") port.Feed(rename_reply + "\r\n");
    else port.Feed("ACK\r\n");
    return;
  }
  if (ArgumentCount(line) > 0) {
    command_ = line;
    arguments_.clear();
    return;
  }
  if (!hears) return;
  auto query = [&](const std::string& answer) {
    if (missing_answers > 0) {
      --missing_answers;
      port.Feed("ACK\r\nACK\r\n");
    } else {
      port.Feed(answer + "\r\nACK\r\n");
    }
  };
  if (line == "HELLO") port.Feed("ACK\r\n");
  else if (line == "ARE YOU THERE?") port.Feed("YES\r\n");
  else if (line == "CWD") query(folder);
  else if (line == "PWD") query(home);
  else if (line == "FREE DISK") query(free_bytes);
}

}  // namespace pelikon::testing
