// The collector's side of the serial command dialogue, scripted in memory
// for unit tests of the link: it hears each line the PC writes on a
// MemorySerialPort and feeds back the answers, with knobs for the awkward
// cases. Every line it heard is kept in order.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "support/memory_port.h"

namespace pelikon::testing {

class FakeCollector {
 public:
  // Knobs.
  int answer_only_at_baud = 0;  // 0: at any speed
  bool refuse_baud = false;
  std::string rename_reply = "ACK";
  // The reply to other commands with an argument, by command ("DEL",
  // "MKDIR", "CD" …); "ACK" when not given.
  std::map<std::string, std::string> replies;
  // "LS" answers in the older form: "," between fields, no attributes.
  bool legacy_listing = false;
  int missing_answers = 0;  // queries answered "ACK" instead of the answer this often
  bool silent = false;
  std::string folder = "\\Ostrel\\Jobs";
  std::string home = "\\Ostrel";
  std::string free_bytes = "52428800";
  bool stall_sends = false;  // a file being sent stops after its header
  // The collector's store: file name -> content. Files move by Kermit.
  std::map<std::string, std::string> files;
  // Folders listed beside the files.
  std::vector<std::string> folders;

  // A port wired to this collector, as the link's port opener makes it.
  SerialPortHandle Open(FakeClock& clock, int port_index, int baud);
  const std::vector<std::string>& Heard() const { return heard_; }

 private:
  void Hear(MemorySerialPort& port, std::string_view bytes);
  void Answer(MemorySerialPort& port, const std::string& line);
  // Feeds a whole Kermit sending session for one file.
  void SendByKermit(MemorySerialPort& port, const std::string& name, const std::string& content);
  // Answers a Kermit packet the PC sent during "PUT".
  void TakeKermitPacket(MemorySerialPort& port, const std::string& packet);

  std::vector<std::string> heard_;
  std::string partial_;
  std::string command_;  // waiting for its argument(s)
  std::vector<std::string> arguments_;
  bool receiving_ = false;  // between "PUT" and the sender's "B"
  std::string receiving_name_;
  std::string receiving_data_;
};

}  // namespace pelikon::testing
