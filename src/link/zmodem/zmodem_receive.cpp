// The receiving side of Zmodem.
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>

#include "link/transfer/received_file.h"
#include "link/transfer/timed_io.h"
#include "link/zmodem/zmodem.h"
#include "link/zmodem/zmodem_session.h"
#include "platform/text.h"

namespace pelikon {

namespace {

using namespace zmodem;

// What this receiver can do: full duplex, overlapped I/O, break, CRC-32,
// and no limit on its buffer.
const HeaderData kReceiverInit{0, 0, 0, kCanFullDuplex | kCanOverlapIo | kCanBreak | kCanCrc32};

// While the old stream drains after a ZRPOS the line is busy; this long a
// silence means the sender is waiting for something it will never get.
constexpr int kResendSilenceSeconds = 2;
// A sender that keeps streaming this long without coming back to our
// position did not hear the ZRPOS. Well above what a sender can have in
// flight when it hears it.
constexpr uint64_t kResendPatienceMs = 10000;

class Receiver {
 public:
  Receiver(Session& session, std::filesystem::path folder)
      : s_(session), t_(session.transfer), wire_(session.wire), folder_(std::move(folder)) {}

  // Runs until the sender ends the session or the run fails.
  void Run();

 private:
  // One file from its ZFILE data; the run goes on unless the error is set.
  void ReceiveFile(const std::vector<uint8_t>& info, const Header& file_header);
  // Reads data frames until ZEOF. True when the file is complete.
  bool ReceiveData(int64_t start);
  // Stores and acknowledges the subpackets of a ZDATA frame at our
  // position; damage starts a recovery. False when the run must end.
  bool ReceiveFrame(bool crc32);
  // Sends ZRPOS at our position; from then on the data from there is
  // awaited (see AwaitAskedData).
  bool AskForData();
  // After damage or silence: reads away what waits and asks for the data
  // again. The retry is counted here unless the hunt that found the damage
  // counted it already.
  enum class Retry { kCount, kCounted };
  bool AskAgain(Retry retry);
  // After a ZRPOS: passes over what the sender sent before it heard it
  // (frames, subpackets, headers at other positions) without taking any of
  // it for new damage, until the ZDATA or ZEOF at our position, or a ZFILE.
  // Asks again when the line falls silent or the wait runs too long.
  // Returns that header's type, or the run's error.
  int AwaitAskedData();
  bool AtOurPosition(const Header& header) const;
  bool Failed() const { return t_.error != 0; }

  Session& s_;
  TransferState& t_;
  Wire& wire_;
  std::filesystem::path folder_;
  ReceivedFile file_;
  int64_t position_ = 0;        // bytes of the incoming data stored so far
  bool awaiting_data_ = false;  // a ZRPOS went out and its data has not come
  uint64_t asked_at_ms_ = 0;    // when it went out
  Header header_;
  std::vector<uint8_t> data_;
};

void Receiver::Run() {
  bool send_init = true;
  for (;;) {
    if (Failed()) return;
    if (send_init) {
      t_.Log("GetFileName: sending RINIT");
      if (wire_.SendHexHeader(kZrinit, kReceiverInit) != 0) {
        t_.Log("GetFileName: Error sending RINIT");
        return;
      }
    }
    send_init = true;
    const int type = wire_.ReadHeader(header_);
    if (Failed()) return;
    switch (type) {
      case kZsinit: {
        if (wire_.ReadSubpacket(data_, header_.format == 'C') >= 0) {
          t_.Log("GetFileName: good ZSINIT");
          if (wire_.SendHexHeader(kZack, {0, 0, 0, 0}) != 0) return;
          send_init = false;
        } else {
          t_.Log("GetFileName: ZSINIT + bad packet");
          wire_.CountRetry();
        }
        break;
      }
      case kZfile: {
        const Header file_header = header_;
        const int end = wire_.ReadSubpacket(data_, header_.format == 'C');
        if (Failed()) return;
        if (end < 0) {
          // ZNAK has the sender repeat ZFILE at once; a ZRINIT so soon
          // after ZFILE looks to many senders like a late answer to their
          // ZRQINIT, and they wait before they repeat.
          t_.Log("GetFileName: ZFILE + bad packet");
          wire_.CountRetry();
          if (Failed() || wire_.SendHexHeader(kZnak, {0, 0, 0, 0}) != 0) return;
          send_init = false;
          break;
        }
        t_.retries = 0;
        ReceiveFile(data_, file_header);
        break;
      }
      case kZfin: {
        wire_.SendHexHeader(kZfin, {0, 0, 0, 0});
        // The sender's "OO"; not checked.
        const int first = ReadCharTimed(t_, 2000);
        if (first >= 0) ReadCharTimed(t_, 500);
        if (t_.error == kXferUserAbort || t_.error == kXferCarrierLost) return;
        t_.error = 0;
        return;
      }
      case kZrqinit: {
        // Let the rest of the sender's line arrive and drop it. A header
        // that already ended with its LF has nothing left: what follows is
        // the sender's next frame, which must be neither thrown away nor
        // kept waiting.
        if (!header_.ended_with_lf) {
          t_.port->Delay(200);
          for (int i = 0; i < 20; ++i) {
            const int c = t_.port->ReadChar();
            if (c < 0 || (c & 0x7F) == '\n') break;
          }
        }
        break;
      }
      case kWireNoHeader:
        break;
      default:
        t_.Logf("GetFileName: frame_type=%d", type);
        wire_.CountRetry();
        break;
    }
  }
}

void Receiver::ReceiveFile(const std::vector<uint8_t>& info, const Header& file_header) {
  // "name\0size mtime ..." — the text after the name is read up to its end.
  const char* text = reinterpret_cast<const char*>(info.data());
  const size_t name_length = strnlen(text, info.size());
  const std::string sent_name(text, name_length);
  const std::string rest =
      name_length < info.size()
          ? std::string(text + name_length + 1, strnlen(text + name_length + 1, info.size() - name_length - 1))
          : std::string();
  int64_t size = -1;
  int64_t stamp = 0;
  if (!rest.empty()) {
    size = LenientInt64(rest);
    const size_t blank = rest.find(' ');
    if (blank != std::string::npos) stamp = static_cast<int64_t>(std::strtoull(rest.c_str() + blank + 1, nullptr, 8));
  }
  if (s_.options.strip_path) t_.Logf("Stripped filename %s", sent_name.c_str());
  // Whatever the options say, nothing lands outside the receive folder.
  const std::string name = SafeReceivedName(sent_name);
  if (name.empty()) {
    t_.Logf("Refused unsafe file name \"%s\"", sent_name.c_str());
    t_.error = kXferOpenFile;
    return;
  }
  t_.file_name = name;
  t_.file_size = size < 0 ? 0 : size;
  t_.modification_time = stamp > 0 ? stamp : -1;
  t_.position = 0;

  const std::filesystem::path destination = folder_ / name;
  struct stat existing {};
  const bool exists = ::stat(destination.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
  const int zf0 = file_header.data[3];
  const int zf1 = file_header.data[2];
  bool keep_existing = false;
  int64_t start = 0;
  if ((zf0 == kZf0Resume || s_.options.resume) && exists) {
    if (size >= 0 && existing.st_size == size) {
      // Already here whole: skip it, bringing its time in line.
      if (t_.modification_time > 0) {
        const int64_t epoch = LocalStampToEpoch(t_.modification_time);
        if (epoch >= 0 && epoch != existing.st_mtime) {
          const struct timespec times[2] = {{static_cast<time_t>(epoch), 0}, {static_cast<time_t>(epoch), 0}};
          ::utimensat(AT_FDCWD, destination.c_str(), times, 0);
        }
      }
      wire_.SendHexHeader(kZskip, {0, 0, 0, 0});
      return;
    }
    if (size < 0 || existing.st_size < size) {
      keep_existing = true;
      start = existing.st_size;
      t_.Logf("Resuming at offset %ld", static_cast<long>(start));
    }
  } else if (zf1 == kZf1Append && exists) {
    // Appending adds the whole incoming file after the existing one.
    keep_existing = true;
    t_.Logf("Appending at offset %ld", static_cast<long>(existing.st_size));
  }
  t_.Logf("Opening file %s", name.c_str());
  if (!file_.Open(folder_, name, keep_existing)) {
    t_.Log("Failed to open file");
    t_.error = kXferOpenFile;
    return;
  }
  if (ReceiveData(start)) {
    const int64_t epoch = t_.modification_time > 0 ? LocalStampToEpoch(t_.modification_time) : -1;
    if (!file_.Commit(epoch)) {
      t_.error = kXferFileIo;
      return;
    }
    ++t_.files_done;
  } else {
    file_.Discard();
  }
}

bool Receiver::AskForData() {
  awaiting_data_ = true;
  asked_at_ms_ = t_.port->GetClock().NowMs();
  return wire_.SendHexHeader(kZrpos, PositionData(position_)) == 0;
}

bool Receiver::AtOurPosition(const Header& header) const {
  return DataPosition(header.data) == (position_ & 0xFFFFFFFF);
}

bool Receiver::AskAgain(Retry retry) {
  if (retry == Retry::kCount) wire_.CountRetry();
  if (Failed()) return false;
  if (position_ != t_.file_size) t_.port->FlushRx();
  t_.Log("Sending a new file offset!!!");
  return AskForData();
}

int Receiver::AwaitAskedData() {
  Clock& clock = t_.port->GetClock();
  for (;;) {
    const int type = wire_.HuntHeader(header_, kResendSilenceSeconds);
    if (Failed()) return t_.error;
    if (((type == kZdata || type == kZeof) && AtOurPosition(header_)) || type == kZfile) {
      awaiting_data_ = false;
      return type;
    }
    // Silence, or a stream that never comes back to our position: the
    // sender did not hear us.
    if (type == kWireTimeout || clock.NowMs() - asked_at_ms_ >= kResendPatienceMs) {
      t_.Log("ReadFileData: no answer to ZRPOS");
      if (!AskAgain(Retry::kCount)) return t_.error;
    }
  }
}

bool Receiver::ReceiveFrame(bool crc32) {
  for (;;) {
    const int end = wire_.ReadSubpacket(data_, crc32);
    if (Failed()) return false;
    if (end < 0) return AskAgain(Retry::kCount);
    if (!data_.empty()) {
      t_.LogPacketf("ReadFileData: read @%ld", static_cast<long>(position_));
      if (!file_.Write(data_.data(), data_.size())) {
        t_.error = kXferFileIo;
        return false;
      }
      position_ += static_cast<int64_t>(data_.size());
      t_.position = position_;
    }
    t_.retries = 0;
    if (end == kZcrcq || end == kZcrcw) {
      t_.LogPacketf("Sending a ZACK");
      if (wire_.SendHexHeader(kZack, PositionData(position_)) != 0) return false;
    }
    if (end == kZcrce || end == kZcrcw) return true;
  }
}

bool Receiver::ReceiveData(int64_t start) {
  position_ = start;
  t_.position = start;
  if (!AskForData()) return false;
  for (;;) {
    const int type = awaiting_data_ ? AwaitAskedData() : wire_.ReadHeader(header_);
    if (Failed()) return false;
    switch (type) {
      case kZdata:
        if (!AtOurPosition(header_)) {
          t_.Log("ReadFileData: Mismatch in rx_pos");
          if (!AskAgain(Retry::kCount)) return false;
          break;
        }
        t_.LogPacketf("NEW BYTE COUNT: %lx", static_cast<unsigned long>(position_));
        if (!ReceiveFrame(header_.format == 'C')) return false;
        break;
      case kZeof:
        if (AtOurPosition(header_)) return true;
        t_.Log("ZEOF at wrong position");
        break;
      case kZfile:
        // The sender did not hear our position: say it again.
        wire_.ReadSubpacket(data_, header_.format == 'C');
        if (Failed()) return false;
        if (!AskForData()) return false;
        break;
      case kWireNoHeader:
        // A damaged header or a silent line, already counted by the hunt.
        if (!AskAgain(Retry::kCounted)) return false;
        break;
      default:
        t_.Logf("ReadFileData: frame_type=%d", type);
        break;
    }
  }
}

}  // namespace

int ZmodemReceive(SerialPort& port, const std::filesystem::path& folder, TransferMessageHook message_hook,
                  TransferStatusCallback status_callback, const std::vector<int>& options) {
  Session session(port, false, std::move(message_hook), std::move(status_callback));
  if (const int started = session.Start(options); started != 0) return started;
  Receiver receiver(session, folder);
  receiver.Run();
  return session.Finish(session.transfer.files_done);
}

}  // namespace pelikon
