// The shared body of the receiver fuzz targets: arbitrary bytes arrive on
// an in-memory line; whatever they say, nothing may land outside the
// receive folder and no temporary file may be left behind.
//
// The input is what a peer sends, in chunks split at kChunkMark: the first
// chunk is there at once, each next one comes when the receiver has
// answered (written anything) or has waited kQuietMs in silence, and once
// the last has been read the peer hangs up. Time is a fake clock, so the
// engines' time-outs cost no real time, and the hang-up ends every run as
// soon as the input is spent instead of after its retries have run out.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/memory_port.h"

namespace pelikon::fuzzing {

inline constexpr std::string_view kChunkMark = "\xFE\xFD\xFC";
// Longer than the engines' waits for one character (1 s and 2.5 s), so a
// chunk that ends inside a packet or header runs into them.
inline constexpr uint64_t kQuietMs = 3000;

class ScriptedPeer {
 public:
  ScriptedPeer(FakeClock& clock, testing::MemorySerialPort& port, std::string_view script)
      : clock_(clock), port_(port) {
    for (size_t mark; (mark = script.find(kChunkMark)) != std::string_view::npos;) {
      chunks_.push_back(script.substr(0, mark));
      script.remove_prefix(mark + kChunkMark.size());
    }
    chunks_.push_back(script);
    Release();
    port_.OnWrite([this](std::string_view) { Release(); });
    clock_.OnAdvance([this](uint64_t now) {
      if (next_ < chunks_.size() && now - released_at_ >= kQuietMs && port_.RxCount() == 0) Release();
    });
  }
  ~ScriptedPeer() {
    port_.OnWrite(nullptr);
    clock_.OnAdvance(nullptr);
  }
  ScriptedPeer(const ScriptedPeer&) = delete;
  ScriptedPeer& operator=(const ScriptedPeer&) = delete;

 private:
  void Release() {
    released_at_ = clock_.NowMs();
    if (next_ < chunks_.size()) port_.Feed(chunks_[next_++]);
    // The peer has said all it will: once that is read, the line is dead.
    if (next_ == chunks_.size()) port_.HangUp();
  }

  FakeClock& clock_;
  testing::MemorySerialPort& port_;
  std::vector<std::string_view> chunks_;
  size_t next_ = 0;
  uint64_t released_at_ = 0;
};

// A folder of this process's own, on a memory-backed file system when the
// machine has one (received files never touch a disk), removed at exit.
class FuzzFolder {
 public:
  FuzzFolder() {
    std::error_code error;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path(error);
    std::string pattern = (base / "pelikon-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    root_ = pattern;
    std::filesystem::create_directory(Path());
  }
  ~FuzzFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  FuzzFolder(const FuzzFolder&) = delete;
  FuzzFolder& operator=(const FuzzFolder&) = delete;
  // The receive folder; its parent holds nothing else.
  std::filesystem::path Path() const { return root_ / "in"; }

 private:
  std::filesystem::path root_;
};

// `receive(port, folder)` runs one engine's receiver and returns its result.
template <typename Receive>
int FuzzReceiver(const uint8_t* data, size_t size, Receive receive) {
  static const FuzzFolder owner;
  const std::filesystem::path folder = owner.Path();
  FakeClock clock;
  testing::MemorySerialPort port(clock);
  // Steps of 50 ms: the shortest wait that matters is 55 ms.
  port.SetIdleStep(50);
  ScriptedPeer peer(clock, port, std::string_view(reinterpret_cast<const char*>(data), size));
  const int result = receive(port, folder);
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename().string().rfind(".pelikon-", 0) == 0) std::abort();
    if (!entry.is_regular_file()) std::abort();
    ++files;
  }
  if (result >= 0 && files < result) std::abort();
  for (const auto& entry : std::filesystem::directory_iterator(folder.parent_path()))
    if (entry.path() != folder) std::abort();
  // Most inputs land nothing; only what did is cleared for the next one.
  if (files > 0) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) std::filesystem::remove(entry.path());
  }
  return 0;
}

}  // namespace pelikon::fuzzing
