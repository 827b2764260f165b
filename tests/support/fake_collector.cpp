#include "support/fake_collector.h"

#include <set>

#include "link/kermit/kermit_packet.h"

namespace pelikon::testing {

namespace {

// Commands followed by argument lines, and how many.
size_t ArgumentCount(const std::string& command) {
  static const std::set<std::string> one = {"CD",    "GET",    "CLRATTR", "DEL",      "MKDIR",
                                            "RMDIR", "HIDDEN", "MASK",    "PROTOCAL", "BAUD"};
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
  while (receiving_) {
    const size_t mark = partial_.find('\x01');
    const size_t end = mark == std::string::npos ? std::string::npos : partial_.find('\r', mark);
    if (end == std::string::npos) return;
    const std::string packet = partial_.substr(mark, end - mark);
    partial_.erase(0, end + 1);
    TakeKermitPacket(port, packet);
  }
  // The PC's answers to a file the collector sends are not command lines.
  for (size_t mark; (mark = partial_.find('\x01')) != std::string::npos;) {
    const size_t end = partial_.find('\r', mark);
    if (end == std::string::npos) return;
    partial_.erase(mark, end - mark + 1);
  }
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
    if (command == "GET") {
      const auto found = files.find(arguments_[0]);
      if (found != files.end()) SendByKermit(port, found->first, found->second);
      return;
    }
    if (command == "BAUD")
      port.Feed(refuse_baud ? "ERROR\r\n" : "ACK\r\n");
    else if (command == "RENAME")
      port.Feed(rename_reply + "\r\n");
    else if (const auto reply = replies.find(command); reply != replies.end())
      port.Feed(reply->second + "\r\n");
    else
      port.Feed("ACK\r\n");
    return;
  }
  if (line == "PUT") {
    receiving_ = true;
    receiving_data_.clear();
    return;
  }
  if (line == "LS") {
    std::string listing;
    for (const std::string& name : folders)
      listing += legacy_listing ? name + ",-1,01/05/03,14:07\r\n" : name + "|-1|01/05/03|14:07|-1|" + name + "\r\n";
    for (const auto& [name, content] : files) {
      const std::string size = std::to_string(content.size());
      listing += legacy_listing ? name + "," + size + ",01/05/03,14:07\r\n"
                                : name + "|" + size + "|01/05/03|14:07|32|" + name + "\r\n";
    }
    SendByKermit(port, "dir_zzz.txt", listing);
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
  if (line == "HELLO")
    port.Feed("ACK\r\n");
  else if (line == "ARE YOU THERE?")
    port.Feed("YES\r\n");
  else if (line == "CWD")
    query(folder);
  else if (line == "PWD")
    query(home);
  else if (line == "FREE DISK")
    query(free_bytes);
}

void FakeCollector::SendByKermit(MemorySerialPort& port, const std::string& name, const std::string& content) {
  using namespace kermit;
  Link link;
  link.repeat = 1;
  int seq = 0;
  std::string session = BuildPacket('S', seq++, "~> @-#N1~(", '\r');
  session += BuildPacket('F', seq++, name, '\r');
  if (stall_sends) {
    port.Feed(session);
    return;
  }
  size_t at = 0;
  std::string field;
  while (at < content.size()) {
    at += EncodeData(link, reinterpret_cast<const uint8_t*>(content.data()) + at, content.size() - at, field);
    session += BuildPacket('D', seq++, field, '\r');
  }
  session += BuildPacket('Z', seq++, "", '\r');
  session += BuildPacket('B', seq++, "", '\r');
  port.Feed(session);
}

void FakeCollector::TakeKermitPacket(MemorySerialPort& port, const std::string& packet) {
  using namespace kermit;
  if (packet.size() < 5) return;
  const char type = packet[3];
  const int seq = UnChar(packet[2]);
  const std::string data = packet.substr(4, packet.size() - 5);
  Link link;
  link.repeat = 1;
  std::vector<uint8_t> decoded;
  switch (type) {
    case 'S':
      port.Feed(BuildPacket('Y', seq, "~> @-#Y1~(", '\r'));
      return;
    case 'F':
      DecodeData(link, data, decoded);
      receiving_name_.assign(decoded.begin(), decoded.end());
      break;
    case 'D':
      DecodeData(link, data, decoded);
      receiving_data_.append(decoded.begin(), decoded.end());
      break;
    case 'Z':
      files[receiving_name_] = receiving_data_;
      receiving_data_.clear();
      break;
    case 'B':
      receiving_ = false;
      break;
    default:
      break;
  }
  port.Feed(BuildPacket('Y', seq, "", '\r'));
}

}  // namespace pelikon::testing
