// The sending side of Zmodem.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "link/transfer/file_source.h"
#include "link/transfer/received_file.h"
#include "link/transfer/timed_io.h"
#include "link/zmodem/zmodem.h"
#include "link/zmodem/zmodem_session.h"
#include "platform/text.h"

namespace pelikon {

namespace {

using namespace zmodem;

// How long a sender waits for the receiver's acknowledgement before it
// counts a retry.
constexpr uint32_t kAckPeriodMs = 1500;
// A ZRINIT this long after ZFILE means the receiver never got it.
constexpr uint64_t kStaleRinitMs = 2000;
// A receiver that owes an answer and stays silent this long lost what it
// should answer, or its answer was lost: the sender asks again. Longer
// than a receiver waits for resent data before it asks for it again, so
// that such a receiver speaks first.
constexpr int kAnswerSilenceSeconds = 3;
constexpr int kGarbageCharsPerFrame = 52;

class Sender {
 public:
  explicit Sender(Session& session) : s_(session), t_(session.transfer), wire_(session.wire) {}

  int OpenLink();
  // 1 sent, 0 skipped, negative: the run ends.
  int SendFile(const std::filesystem::path& path);
  int CloseLink();

 private:
  enum class Outcome { kContinue, kFileDone, kFailed };

  int SendFileHeader(const std::string& info, int64_t& start);
  int SendFileData(int64_t start);

  // The data phase of a file, state by state; each state returns the next.
  enum class Step {
    kNextFrame,      // take in what the receiver said, then open a frame
    kStream,         // a ZDATA frame is open: send subpackets
    kWaitForWindow,  // streaming with the window full: take in ZACKs
    kRecover,        // an empty ZCRCW frame the receiver must acknowledge
    kAwaitAnswer,    // the receiver owes an answer: read its header
    kAnswer,         // act on the receiver's header in header_
    kEndFile,        // the whole file is confirmed: ZEOF
    kDone,
    kFailed,
  };
  Step Run(Step step);
  Step NextFrame();
  Step Stream();
  Step WaitForWindow();
  Step Recover();
  Step AwaitAnswer();
  Step AnswerHeader();
  Step EndFile();
  // Sends a ZDATA header at the position and starts the frame's counts.
  bool OpenFrame();
  // When the receiver's answer did not come: ends any open frame and sends
  // the recovery frame at the last acknowledged position, so that the
  // receiver either takes it or says where it stands. Never further on:
  // a receiver may keep an early subpacket for later, and an empty one can
  // stall it once it gets there.
  Step AskWhereReceiverIs();
  // Handles a header between frames; kFileDone when the file is through.
  Outcome Answer(const Header& header);
  // Looks at what the receiver sent back while data streams out: nothing,
  // a header in header_ (its type -1 when it came damaged), garbage that
  // made the sender close the frame, or a failure.
  enum class BackTalk { kQuiet, kHeader, kFrameClosed, kFailed };
  BackTalk CheckBackChannel(bool in_frame);
  int ReadFileAt(int64_t position, size_t& length);
  bool Failed() const { return t_.error != 0; }

  Session& s_;
  TransferState& t_;
  Wire& wire_;
  bool crc32_ = false;
  int receiver_flags_ = 0;
  int64_t receiver_buffer_ = 0;
  bool streaming_ = true;
  std::FILE* file_ = nullptr;
  int64_t size_ = 0;
  int64_t file_position_ = 0;  // where the next read from the file starts
  int64_t position_ = 0;       // next byte to send
  int64_t acked_ = 0;          // bytes the receiver confirmed
  bool recovering_ = false;
  int64_t since_wait_ = 0;  // bytes of the frame since its last wait point
  int garbage_chars_ = 0;
  Header header_;
  std::vector<uint8_t> data_;
};

int Sender::OpenLink() {
  streaming_ = s_.options.streaming;
  for (;;) {
    if (wire_.SendHexHeader(kZrqinit, {0, 0, 0, 0}) != 0) {
      t_.Log("OpenLink: Error sending ZRQINIT");
      return t_.error;
    }
    for (;;) {
      const int type = wire_.ReadHeader(header_);
      if (Failed()) return t_.error;
      if (type == kWireNoHeader) break;  // ask again
      if (type == kZrinit) {
        t_.Log("OpenLink: Got ZRINIT");
        receiver_buffer_ = header_.data[0] | (header_.data[1] << 8);
        receiver_flags_ = header_.data[3];
        crc32_ = (receiver_flags_ & kCanCrc32) != 0;
        if (!(receiver_flags_ & kCanFullDuplex)) streaming_ = false;
        t_.retries = 0;
        return 0;
      }
      t_.Logf("OpenLink: got %d instead of ZRINIT", type);
      wire_.CountRetry();
      if (Failed()) return t_.error;
    }
  }
}

int Sender::ReadFileAt(int64_t position, size_t& length) {
  data_.resize(kMaxSubpacket);
  if (file_position_ != position) {
    if (std::fseek(file_, position, SEEK_SET) != 0) return t_.error = kXferFileIo;
    file_position_ = position;
  }
  length = std::fread(data_.data(), 1, kMaxSubpacket, file_);
  if (std::ferror(file_)) return t_.error = kXferFileIo;
  file_position_ += static_cast<int64_t>(length);
  return 0;
}

int Sender::SendFile(const std::filesystem::path& path) {
  t_.file_name = path.string();
  t_.Logf("Opening file %s", path.c_str());
  file_ = std::fopen(path.c_str(), "rb");
  struct stat info {};
  if (!file_ || ::fstat(::fileno(file_), &info) != 0 || !S_ISREG(info.st_mode)) {
    t_.Log("Failed to open file");
    if (file_) std::fclose(file_);
    file_ = nullptr;
    return t_.error = kXferOpenFile;
  }
  size_ = info.st_size;
  file_position_ = 0;
  t_.file_size = size_;
  t_.position = 0;
  t_.modification_time = EpochToLocalStamp(info.st_mtime);
  t_.Log("SendFile: sending filename & size");

  std::string name = path.string();
  if (s_.options.strip_path) {
    // The collector's separators, and this system's.
    const size_t cut = name.find_last_of("\\:/");
    if (cut != std::string::npos) name.erase(0, cut + 1);
    t_.Logf("Stripped filename: %s", name.c_str());
  }
  std::string info_text = name;
  info_text += '\0';
  info_text += StrPrintf("%ld %lo 0", static_cast<long>(size_), static_cast<unsigned long>(t_.modification_time));
  info_text += '\0';

  int64_t start = 0;
  int result = SendFileHeader(info_text, start);
  if (result == 1) result = SendFileData(start);
  std::fclose(file_);
  file_ = nullptr;
  return result;
}

int Sender::SendFileHeader(const std::string& info, int64_t& start) {
  HeaderData flags{0, 0, 0, 0};
  if (s_.options.resume || s_.options.management != 0) {
    flags[2] = static_cast<uint8_t>(s_.options.management);
    if (s_.options.resume) flags[3] = kZf0Resume;
  }
  Clock& clock = t_.port->GetClock();
  bool announced = false;
  for (;;) {
    if (crc32_ && !announced) t_.Log("Sending with CRC-32");
    announced = true;
    std::vector<uint8_t> frame;
    AppendBinaryHeader(frame, kZfile, flags, crc32_);
    AppendSubpacket(frame, reinterpret_cast<const uint8_t*>(info.data()), info.size(), kZcrcw, crc32_);
    if (wire_.SendBytes(frame) != 0) return t_.error;
    const uint64_t sent_at = clock.NowMs();
    for (;;) {
      const int type = wire_.ReadAnswer(header_, kAnswerSilenceSeconds);
      if (Failed()) return t_.error;
      if (type == kZskip) {
        t_.Log("SendFile: received a ZSKIP frame");
        return 0;
      }
      if (type == kZrpos) {
        start = DataPosition(header_.data);
        t_.retries = 0;
        return 1;
      }
      // A ZRINIT right after ZFILE answers our ZRQINIT; a later one (or a
      // ZNAK, or silence) says the receiver did not get the file header.
      if (type == kZrinit && clock.NowMs() - sent_at < kStaleRinitMs) continue;
      if (type == kZrinit || type == kZnak || type < 0) {
        if (type >= 0) wire_.CountRetry();
        if (Failed()) return t_.error;
        break;  // send ZFILE again
      }
      t_.Logf("SendFile: read frame type %d", type);
      wire_.CountRetry();
      if (Failed()) return t_.error;
    }
  }
}

Sender::BackTalk Sender::CheckBackChannel(bool in_frame) {
  SerialPort& port = *t_.port;
  for (;;) {
    const int c = port.ReadChar();
    if (c == kSerialNoData) return BackTalk::kQuiet;
    if (c < 0) {
      t_.error = kXferCharRead;
      return BackTalk::kFailed;
    }
    if ((c & 0x7F) == kXon || (c & 0x7F) == kXoff) continue;
    if (c == kZdle || c == kZpad) {
      wire_.Unread(c);
      if (!streaming_ && in_frame) {
        t_.Log("BackChannel: backtalk ZCAN/ZPAD");
        if (wire_.SendSubpacket(nullptr, 0, kZcrce, crc32_) != 0) return BackTalk::kFailed;
      }
      wire_.ReadHeader(header_);
      return Failed() ? BackTalk::kFailed : BackTalk::kHeader;
    }
    t_.garbage_count += 2;
    ++garbage_chars_;
    if (garbage_chars_ % 8 == 1) t_.Log("BackChannel: garbage detected");
    if (garbage_chars_ >= kGarbageCharsPerFrame && in_frame) {
      t_.Log("BackChannel: exceeded garbage count");
      if (wire_.SendSubpacket(nullptr, 0, kZcrce, crc32_) != 0) return BackTalk::kFailed;
      return BackTalk::kFrameClosed;
    }
  }
}

Sender::Outcome Sender::Answer(const Header& header) {
  switch (header.type) {
    case kZrpos: {
      const int64_t at = DataPosition(header.data);
      t_.Logf("SendFileData: ZRPOS location %ld", static_cast<long>(at));
      position_ = at;
      acked_ = at;
      t_.position = at;
      t_.port->ClearTx();
      recovering_ = true;
      wire_.CountRetry();
      return Failed() ? Outcome::kFailed : Outcome::kContinue;
    }
    case kZack: {
      t_.LogPacketf("SendFile: received an ACK frame");
      t_.retries = 0;
      recovering_ = false;
      if (position_ >= size_) {
        if (DataPosition(header.data) != size_) {
          t_.error = kXferProtocol;
          return Outcome::kFailed;
        }
        t_.port->FlushRx();
        return Outcome::kFileDone;
      }
      return Outcome::kContinue;
    }
    case kZrinit:
    case kZskip:
      t_.error = kXferRemoteAbort;
      return Outcome::kFailed;
    default:
      t_.Logf("SendFile: frame type %d", header.type);
      return Outcome::kContinue;
  }
}

int Sender::SendFileData(int64_t start) {
  position_ = start;
  acked_ = start;
  t_.position = start;
  recovering_ = false;
  Step step = Step::kNextFrame;
  while (step != Step::kDone) {
    if (step == Step::kFailed || Failed()) return t_.error != 0 ? t_.error : kXferUnexpected;
    step = Run(step);
  }
  return 1;
}

Sender::Step Sender::Run(Step step) {
  switch (step) {
    case Step::kNextFrame:
      return NextFrame();
    case Step::kStream:
      return Stream();
    case Step::kWaitForWindow:
      return WaitForWindow();
    case Step::kRecover:
      return Recover();
    case Step::kAwaitAnswer:
      return AwaitAnswer();
    case Step::kAnswer:
      return AnswerHeader();
    case Step::kEndFile:
      return EndFile();
    case Step::kDone:
    case Step::kFailed:
      break;
  }
  return step;
}

Sender::Step Sender::NextFrame() {
  // The receiver may be talking before a frame starts: late
  // acknowledgements are taken in, anything else is answered first.
  switch (CheckBackChannel(false)) {
    case BackTalk::kFailed:
      return Step::kFailed;
    case BackTalk::kHeader:
      if (header_.type == kZack) {
        acked_ = std::max(acked_, DataPosition(header_.data));
        return Step::kNextFrame;
      }
      t_.Log("BackChannel: backtalk ZCAN/ZPAD");
      return Step::kAnswer;
    case BackTalk::kFrameClosed:  // only inside a frame
    case BackTalk::kQuiet:
      break;
  }
  if (recovering_) return Step::kRecover;
  // Nothing (more) to send: an empty file goes straight to its end.
  if (position_ >= size_) return Step::kEndFile;
  return OpenFrame() ? Step::kStream : Step::kFailed;
}

bool Sender::OpenFrame() {
  if (wire_.SendBinaryHeader(kZdata, PositionData(position_), crc32_) != 0) return false;
  since_wait_ = 0;
  t_.garbage_count = 0;
  garbage_chars_ = 0;
  return true;
}

Sender::Step Sender::Stream() {
  for (;;) {
    size_t length = 0;
    if (ReadFileAt(position_, length) != 0) return Step::kFailed;
    const auto bytes = static_cast<int64_t>(length);
    const bool at_end = position_ + bytes >= size_;
    const bool wait_point = at_end || (receiver_buffer_ > 0 && since_wait_ + bytes >= receiver_buffer_) ||
                            !(receiver_flags_ & kCanOverlapIo);
    const int end = wait_point ? kZcrcw : (streaming_ ? kZcrcq : kZcrcg);
    t_.LogPacketf("SendDataFrame: sending @%ld", static_cast<long>(position_));
    if (wire_.SendSubpacket(data_.data(), length, end, crc32_) != 0) return Step::kFailed;
    position_ += bytes;
    since_wait_ = wait_point ? 0 : since_wait_ + bytes;
    t_.position = position_;
    if (end == kZcrcw) return Step::kAwaitAnswer;  // the receiver answers before more is sent
    if (streaming_) {
      // The receiver's answers are looked at only when the window is full.
      if (position_ - acked_ >= s_.options.window) return Step::kWaitForWindow;
      continue;
    }
    switch (CheckBackChannel(true)) {
      case BackTalk::kFailed:
        return Step::kFailed;
      case BackTalk::kHeader:
        return Step::kAnswer;
      case BackTalk::kFrameClosed:
        return Step::kAwaitAnswer;
      case BackTalk::kQuiet:
        break;
    }
  }
}

Sender::Step Sender::WaitForWindow() {
  int empty_periods = 0;
  while (position_ - acked_ >= s_.options.window) {
    const BackTalk talk = CheckBackChannel(true);
    if (talk == BackTalk::kFailed) return Step::kFailed;
    if (talk == BackTalk::kFrameClosed) return Step::kAwaitAnswer;
    if (talk == BackTalk::kHeader) {
      // A damaged header was most likely a ZACK, which the next one covers.
      if (header_.type < 0) continue;
      if (header_.type != kZack) return Step::kAnswer;
      acked_ = std::max(acked_, DataPosition(header_.data));
      t_.retries = 0;
      continue;
    }
    // Nothing yet: wait a while for the receiver. A receiver that stays
    // silent lost its request for data or all its acknowledgements.
    const int c = ReadCharTimed(t_, kAckPeriodMs);
    if (c == kSerialNoData) {
      wire_.CountRetry();
      if (Failed()) return Step::kFailed;
      if (++empty_periods * kAckPeriodMs >= kAnswerSilenceSeconds * 1000u) return AskWhereReceiverIs();
      continue;
    }
    empty_periods = 0;
    if (c < 0) {
      if (t_.error == 0) t_.error = kXferCharRead;
      return Step::kFailed;
    }
    wire_.Unread(c);
  }
  return Step::kStream;  // the same frame goes on
}

Sender::Step Sender::AskWhereReceiverIs() {
  t_.Log("SendFileData: no answer, sending ZDATA again");
  if (wire_.SendSubpacket(nullptr, 0, kZcrce, crc32_) != 0) return Step::kFailed;
  position_ = acked_;
  t_.position = acked_;
  recovering_ = true;
  return Step::kRecover;
}

Sender::Step Sender::Recover() {
  if (!OpenFrame() || wire_.SendSubpacket(nullptr, 0, kZcrcw, crc32_) != 0) return Step::kFailed;
  return Step::kAwaitAnswer;
}

Sender::Step Sender::AwaitAnswer() {
  const int type = wire_.ReadAnswer(header_, kAnswerSilenceSeconds);
  if (Failed()) return Step::kFailed;
  // The wait point, the recovery frame, or the answer to it was lost.
  return type >= 0 ? Step::kAnswer : AskWhereReceiverIs();
}

Sender::Step Sender::AnswerHeader() {
  if (header_.type == kZack) {
    const int64_t at = DataPosition(header_.data);
    if (position_ >= size_ && at == size_) t_.Log("SendDataFrame: Received a ZACK at EOF");
    if (at < position_) {
      // A late acknowledgement of an earlier subpacket: the answer to the
      // wait point is still to come.
      acked_ = std::max(acked_, at);
      return Step::kAwaitAnswer;
    }
  }
  switch (Answer(header_)) {
    case Outcome::kFailed:
      return Step::kFailed;
    case Outcome::kFileDone:
      return Step::kEndFile;
    case Outcome::kContinue:
      break;
  }
  return header_.type == kZrpos || header_.type == kZack ? Step::kNextFrame : Step::kAwaitAnswer;
}

Sender::Step Sender::EndFile() {
  ++t_.files_done;
  for (;;) {
    if (wire_.SendBinaryHeader(kZeof, PositionData(size_), crc32_) != 0) return Step::kFailed;
    int type = wire_.ReadAnswer(header_, kAnswerSilenceSeconds);
    // Late acknowledgements of the data are passed over; a receiver that
    // sends nothing else runs into the retry limit.
    while (type == kZack && !Failed()) {
      wire_.CountRetry();
      if (!Failed()) type = wire_.ReadAnswer(header_, kAnswerSilenceSeconds);
    }
    if (Failed()) return Step::kFailed;
    if (type == kZrpos) {
      // The receiver lost data after all: go back to where it says.
      --t_.files_done;
      return Answer(header_) == Outcome::kFailed ? Step::kFailed : Step::kNextFrame;
    }
    if (type >= 0) return Step::kDone;
    t_.Log("SendFile: no answer to ZEOF");
  }
}

int Sender::CloseLink() {
  for (bool again = false;; again = true) {
    if (wire_.SendHexHeader(kZfin, {0, 0, 0, 0}) != 0) {
      t_.Log("Error sending ZFIN frame");
      return t_.error;
    }
    int type = wire_.ReadAnswer(header_, kAnswerSilenceSeconds);
    if (Failed()) return t_.error;
    if (type == kZrinit || type == kZferr) {
      type = wire_.ReadAnswer(header_, kAnswerSilenceSeconds);
      if (Failed()) return t_.error;
    }
    if (type == kZfin) {
      static const uint8_t kOverAndOut[] = {'O', 'O'};
      return WriteBufferTimed(t_, kOverAndOut, 2);
    }
    if (type == kWireTimeout && again) {
      // Silence after a repeated ZFIN: the receiver answered the first (the
      // answer was lost) and has ended. Every file was confirmed already.
      t_.Log("CloseLink: no answer to ZFIN, the receiver has ended");
      return 0;
    }
    t_.Logf("CloseLink: got %d instead of ZFIN", type);
    if (type >= 0) wire_.CountRetry();  // the hunt counted the others
    if (Failed()) return t_.error;
  }
}

}  // namespace

int ZmodemSend(SerialPort& port, const std::vector<std::string>& file_specs, TransferMessageHook message_hook,
               TransferStatusCallback status_callback, const std::vector<int>& options) {
  Session session(port, true, std::move(message_hook), std::move(status_callback));
  if (const int started = session.Start(options); started != 0) return started;
  TransferState& t = session.transfer;
  FileSource source(file_specs, session.options.search_subfolders);
  Sender sender(session);
  if (sender.OpenLink() == 0) {
    SendEachFile(source, t, [&](const std::filesystem::path& file) { return sender.SendFile(file); });
    if (t.error == 0) sender.CloseLink();
  }
  if (t.error == 0 && t.files_done == 0) return session.Finish(kXferNoFiles);
  return session.Finish(t.files_done);
}

}  // namespace pelikon
