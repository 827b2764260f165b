// The trace's log file: one line per event, kept under a size cap.
//
// When a line would take the file past its cap, the file is renamed to
// "<name>.1" (replacing the one before) and a new file is begun, so the log
// and its predecessor together never hold much more than twice the cap.
// Several processes may append to the same file; each counts what it sees,
// so the cap holds per process.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace pelikon {

// `text` as one log line: line breaks at either end dropped, those inside
// (and tabs) turned into single blanks, one "\n" at the end. Empty when the
// text holds nothing but line breaks.
std::string TraceLine(std::string_view text);

class TraceLog {
 public:
  static constexpr std::uintmax_t kDefaultCap = 4u << 20;

  // Opens `path` for appending; IsOpen() says whether that worked.
  explicit TraceLog(std::filesystem::path path, std::uintmax_t cap = kDefaultCap);
  ~TraceLog();
  TraceLog(const TraceLog&) = delete;
  TraceLog& operator=(const TraceLog&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  const std::filesystem::path& Path() const { return path_; }
  // The file the log turns into when it is full.
  std::filesystem::path PreviousPath() const;
  // Appends `line` (already one line with its end), rotating first when
  // it would not fit. A line longer than the cap is written whole into a
  // fresh file.
  void Write(std::string_view line);

 private:
  void Open();
  void Rotate();

  std::filesystem::path path_;
  std::uintmax_t cap_;
  std::FILE* file_ = nullptr;
  std::uintmax_t size_ = 0;
};

}  // namespace pelikon
