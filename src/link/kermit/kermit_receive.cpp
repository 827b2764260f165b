// The receiving side of Kermit.
#include <ctime>

#include "link/kermit/kermit.h"
#include "link/kermit/kermit_session.h"
#include "link/transfer/received_file.h"
#include "platform/text.h"

namespace pelikon {

namespace {

using namespace kermit;

class Receiver {
 public:
  Receiver(Session& session, std::filesystem::path folder)
      : s_(session), t_(session.transfer), link_(session.link), folder_(std::move(folder)) {}

  void Run();

 private:
  enum class State { kInit, kFileHeader, kData, kDone };

  void Answer(char type, std::string_view data = {}) {
    if (SendPacket(t_, link_, type, expected_, data) == 0 && type == 'Y') {
      last_answer_ = std::string(data);
      previous_ = expected_;
      expected_ = (expected_ + 1) % 64;
      link_.sequence = expected_;  // what an error packet at the end carries
    }
  }
  // A packet the sender sent again because our answer was lost: once the
  // line has been quiet for a second, answer it again.
  bool AnswerAgain(const Packet& packet, const std::string& answer);
  // A packet that did not come, or came damaged: ask for it again.
  bool NakAndTry(const char* text) {
    t_.Log(text);
    SendPacket(t_, link_, 'N', expected_, "");
    return s_.CountTry();
  }
  bool Fail(int error, const char* text) {
    t_.Log(text);
    t_.error = error;
    return false;
  }
  bool OnInit(const Packet& p);
  bool OnFileHeader(const Packet& p);
  bool OnData(const Packet& p);
  void ReadAttributes(std::string_view data);

  Session& s_;
  TransferState& t_;
  Link& link_;
  std::filesystem::path folder_;
  ReceivedFile file_;
  State state_ = State::kInit;
  int expected_ = 0;   // sequence of the packet we wait for
  int previous_ = -1;  // sequence of the last packet we answered
  std::string last_answer_;
  std::string init_answer_;
  std::vector<uint8_t> decoded_;
};

bool Receiver::AnswerAgain(const Packet& packet, const std::string& answer) {
  if (packet.sequence != previous_) return Fail(kXferProtocol, "Protocol error");
  if (DrainUntilQuiet(t_, 1000) != 0) return false;
  return SendPacket(t_, link_, 'Y', previous_, answer) == 0;
}

bool Receiver::OnInit(const Packet& p) {
  switch (p.type) {
    case 'S':
      t_.Log("Received initial S packet");
      expected_ = p.sequence;
      ApplySendInit(p.data, 'Y', link_);
      init_answer_ = SendInitData(link_, false, false, s_.options.repeat);
      // The answer carries what this side does, with the prefix agreed.
      if (link_.repeat == 1) init_answer_[8] = link_.rept;
      Answer('Y', init_answer_);
      state_ = State::kFileHeader;
      return true;
    case kTimedOut:
      return NakAndTry("Timeout waiting for init packet");
    case kBadCheck:
      return NakAndTry("Funny packet");
    default:
      return Fail(kXferProtocol, "Protocol error");
  }
}

bool Receiver::OnFileHeader(const Packet& p) {
  switch (p.type) {
    case 'F': {
      if (p.sequence != expected_) return AnswerAgain(p, last_answer_);
      decoded_.clear();
      DecodeData(link_, p.data, decoded_);
      const std::string sent(decoded_.begin(), decoded_.end());
      if (s_.options.strip_path) t_.Logf("Stripped name: %s", sent.c_str());
      // Whatever the options say, nothing lands outside the receive folder.
      const std::string name = SafeReceivedName(sent);
      if (name.empty()) {
        t_.Logf("Refused unsafe file name \"%s\"", sent.c_str());
        return Fail(kXferOpenFile, "Failed to open file");
      }
      t_.file_name = name;
      t_.file_size = 0;
      t_.position = 0;
      t_.modification_time = -1;
      t_.Logf("Opening file %s", name.c_str());
      if (!file_.Open(folder_, name, false)) return Fail(kXferOpenFile, "Failed to open file");
      Answer('Y');
      state_ = State::kData;
      return true;
    }
    case 'B':
      t_.Log("Received break command");
      Answer('Y');
      state_ = State::kDone;
      return true;
    case 'E':
      return Fail(kXferRemoteAbort, "Aborted from remote end");
    case 'S':
      t_.Log("Received duplicate S-Init packet");
      return AnswerAgain(p, init_answer_);
    case 'Z':
      t_.Log("Received duplicate Z-End-of-file packet");
      return AnswerAgain(p, last_answer_);
    case kTimedOut:
      return NakAndTry("Timeout waiting for B or F packet");
    case kBadCheck:
      return NakAndTry("Funny packet");
    default:
      return Fail(kXferProtocol, "Protocol error");
  }
}

void Receiver::ReadAttributes(std::string_view data) {
  size_t i = 0;
  while (i + 2 <= data.size()) {
    const char tag = data[i];
    const int length = UnChar(data[i + 1]);
    if (length < 0 || i + 2 + static_cast<size_t>(length) > data.size()) break;
    const std::string_view value = data.substr(i + 2, static_cast<size_t>(length));
    if (tag == '#') {
      const int64_t moment = ReadAttributeDate(value);
      if (moment >= 0) t_.modification_time = moment;
    } else if (tag == '1') {
      t_.file_size = LenientInt64(value);
    }
    i += 2 + static_cast<size_t>(length);
  }
}

bool Receiver::OnData(const Packet& p) {
  switch (p.type) {
    case 'D':
      if (p.sequence != expected_) {
        t_.Log("Received duplicate data block");
        return AnswerAgain(p, "");
      }
      t_.LogPacketf("Received block %ld", static_cast<long>(t_.position));
      decoded_.clear();
      DecodeData(link_, p.data, decoded_);
      if (!file_.Write(decoded_.data(), decoded_.size())) return Fail(kXferFileIo, "Error on file I/O");
      t_.position += static_cast<int64_t>(decoded_.size());
      Answer('Y');
      s_.tries = 0;
      t_.retries = 0;
      return true;
    case 'A':
      if (p.sequence != expected_) return AnswerAgain(p, last_answer_);
      t_.Log("Received an 'A' packet");
      ReadAttributes(p.data);
      Answer('Y');
      return true;
    case 'F':
      t_.Log("Received duplicate File Header packet");
      return AnswerAgain(p, last_answer_);
    case 'Z': {
      if (p.sequence != expected_) return AnswerAgain(p, last_answer_);
      t_.Log("Closing file");
      // The attribute date is local time already turned into a moment.
      if (!file_.Commit(t_.modification_time)) return Fail(kXferFileIo, "Error on file I/O");
      ++t_.files_done;
      Answer('Y');
      state_ = State::kFileHeader;
      return true;
    }
    case 'E':
      return Fail(kXferRemoteAbort, "Aborted from remote end");
    case kTimedOut:
      return NakAndTry("Timeout waiting for Data packet");
    case kBadCheck:
      return NakAndTry("Funny packet");
    default:
      return Fail(kXferProtocol, "Protocol error");
  }
}

void Receiver::Run() {
  Packet packet;
  while (state_ != State::kDone && t_.error == 0) {
    const char type = ReadPacket(t_, link_, packet);
    if (type == kAborted || t_.error != 0) {
      if (t_.error == 0) t_.error = kXferUserAbort;
      break;
    }
    bool going = false;
    switch (state_) {
      case State::kInit:
        going = OnInit(packet);
        break;
      case State::kFileHeader:
        going = OnFileHeader(packet);
        break;
      case State::kData:
        going = OnData(packet);
        break;
      case State::kDone:
        break;
    }
    if (!going) break;
  }
  if (t_.error != 0) file_.Discard();
}

}  // namespace

int KermitReceive(SerialPort& port, const std::filesystem::path& folder, TransferMessageHook message_hook,
                  TransferStatusCallback status_callback, const std::vector<int>& options) {
  Session session(port, false, std::move(message_hook), std::move(status_callback));
  if (const int started = session.Start(options); started != 0) return started;
  Receiver receiver(session, folder);
  receiver.Run();
  return session.Finish(session.transfer.files_done);
}

}  // namespace pelikon
