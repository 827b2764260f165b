// The sending side of Kermit.
#include <sys/stat.h>

#include <cstdio>
#include <ctime>

#include "link/kermit/kermit.h"
#include "link/kermit/kermit_session.h"
#include "link/transfer/file_source.h"
#include "platform/text.h"

namespace pelikon {

namespace {

using namespace kermit;

class Sender {
 public:
  explicit Sender(Session& session) : s_(session), t_(session.transfer), link_(session.link) {}

  int SendInit();
  // 1 sent; negative: the run ends.
  int SendFile(const std::filesystem::path& path);
  int SendBreak() { return Exchange('B', ""); }

 private:
  // Sends a packet and waits for its acknowledgement, sending again as
  // needed. 0 when acknowledged (the sequence moves on), else the error.
  int Exchange(char type, const std::string& data, Packet* answer = nullptr);
  int SendAttributes(const struct stat& info);
  int SendFileData(std::FILE* file);
  // Ends the run: the agreed packet length cannot carry what must be sent.
  int PacketTooShort();

  Session& s_;
  TransferState& t_;
  Link& link_;
};

int Sender::Exchange(char type, const std::string& data, Packet* answer) {
  Packet reply;
  for (;;) {
    if (SendPacket(t_, link_, type, link_.sequence, data) != 0) return t_.error;
    const char got = ReadPacket(t_, link_, reply);
    if (got == kAborted || t_.error != 0) return t_.error != 0 ? t_.error : kXferUserAbort;
    if (got == 'Y' && reply.sequence == link_.sequence % 64) {
      link_.sequence = (link_.sequence + 1) % 64;
      s_.tries = 0;
      t_.retries = 0;
      if (answer) *answer = reply;
      return 0;
    }
    if (got == 'E') {
      t_.Log("Aborted from remote end");
      return t_.error = kXferRemoteAbort;
    }
    if (got == 'Y')
      t_.Log("Received a bad ACK packet number");
    else if (got == 'N')
      t_.Log("Received a Nak packet");
    else if (got == kTimedOut)
      t_.Log("Timed out waiting for packet");
    else
      t_.Log("Funny packet");
    if (!s_.CountTry()) return t_.error;
  }
}

int Sender::SendInit() {
  t_.Log("Sending S-init packet");
  const bool offer = s_.options.eighth_bit_prefix;
  Packet answer;
  if (Exchange('S', SendInitData(link_, true, offer, s_.options.repeat), &answer) != 0) return t_.error;
  ApplySendInit(answer.data, offer ? '&' : 'N', link_);
  // Packets that cannot carry every byte would go out empty, for ever.
  if (DataFieldLimit(link_) < LongestByteEncoding(link_)) return PacketTooShort();
  return 0;
}

int Sender::PacketTooShort() {
  t_.Logf("Receiver's packet length %d is too short", link_.maxl);
  return t_.error = kXferBadPacketSize;
}

int Sender::SendAttributes(const struct stat& info) {
  std::tm local{};
  const std::time_t modified = info.st_mtime;
  ::localtime_r(&modified, &local);
  const std::string date = StrPrintf("%04d%02d%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                                     local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  t_.Logf("A Packet: %s", date.c_str());
  const std::string size = StrPrintf("%010ld", static_cast<long>(info.st_size));
  // As many whole attributes per packet as the receiver's MAXL allows; one
  // that fits no packet is left out (attributes are only information).
  const size_t limit = DataFieldLimit(link_);
  std::string packet;
  for (const auto& [tag, value] : {std::pair{'#', date}, std::pair{'1', size}}) {
    std::string attribute(1, tag);
    attribute += ToChar(static_cast<int>(value.size()));
    attribute += value;
    if (attribute.size() > limit) continue;
    if (packet.size() + attribute.size() > limit) {
      if (Exchange('A', packet) != 0) return t_.error;
      packet.clear();
    }
    packet += attribute;
  }
  return packet.empty() ? 0 : Exchange('A', packet);
}

int Sender::SendFile(const std::filesystem::path& path) {
  t_.position = 0;
  t_.file_name = path.string();
  t_.Logf("Sending file %s", path.c_str());
  t_.Logf("Opening file %s", path.c_str());
  std::FILE* file = std::fopen(path.c_str(), "rb");
  struct stat info {};
  if (!file || ::fstat(::fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
    if (file) std::fclose(file);
    t_.Log("Failed to open file");
    return t_.error = kXferOpenFile;
  }
  t_.file_size = info.st_size;

  std::string name = path.string();
  if (s_.options.strip_path) {
    const size_t cut = name.find_last_of("\\:/");
    if (cut != std::string::npos) name.erase(0, cut + 1);
  }
  std::string encoded_name;
  const size_t name_taken = EncodeData(link_, reinterpret_cast<const uint8_t*>(name.data()), name.size(), encoded_name);
  // The name travels in one packet: a cut name would land as another file.
  int result = name_taken < name.size() ? PacketTooShort() : Exchange('F', encoded_name);
  if (result == 0 && (link_.capas & kAttributeCapability)) result = SendAttributes(info);
  if (result == 0) result = SendFileData(file);
  std::fclose(file);
  if (result != 0) return result;
  t_.Log("Sending end of file packet");
  if (Exchange('Z', "") != 0) return t_.error;
  ++t_.files_done;
  return 1;
}

int Sender::SendFileData(std::FILE* file) {
  std::vector<uint8_t> window(4096);
  size_t have = 0, used = 0;
  bool at_end = false;
  std::string data;
  for (;;) {
    // Keep enough file bytes at hand for one packet's longest runs.
    if (!at_end && have - used < 1024) {
      std::copy(window.begin() + static_cast<std::ptrdiff_t>(used), window.begin() + static_cast<std::ptrdiff_t>(have),
                window.begin());
      have -= used;
      used = 0;
      const size_t n = std::fread(window.data() + have, 1, window.size() - have, file);
      if (std::ferror(file)) return t_.error = kXferFileIo;
      have += n;
      at_end = n == 0 || std::feof(file);
    }
    if (used >= have) return 0;
    const size_t taken = EncodeData(link_, window.data() + used, have - used, data);
    if (taken == 0) return PacketTooShort();
    t_.LogPacketf("Sending packet %d", link_.sequence);
    if (Exchange('D', data) != 0) return t_.error;
    used += taken;
    t_.position += static_cast<int64_t>(taken);
  }
}

}  // namespace

int KermitSend(SerialPort& port, const std::vector<std::string>& file_specs, TransferMessageHook message_hook,
               TransferStatusCallback status_callback, const std::vector<int>& options) {
  Session session(port, true, std::move(message_hook), std::move(status_callback));
  if (const int started = session.Start(options); started != 0) return started;
  TransferState& t = session.transfer;
  Sender sender(session);
  if (sender.SendInit() == 0) {
    FileSource source(file_specs, session.options.search_subfolders);
    SendEachFile(source, t, [&](const std::filesystem::path& file) { return sender.SendFile(file); });
    if (t.error == 0) sender.SendBreak();
  }
  if (t.error == 0 && t.files_done == 0) return session.Finish(kXferNoFiles);
  return session.Finish(t.files_done);
}

}  // namespace pelikon
