#include "platform/trace_log.h"

#include <system_error>
#include <utility>

namespace pelikon {

std::string TraceLine(std::string_view text) {
  const size_t first = text.find_first_not_of("\r\n");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of("\r\n");
  std::string line;
  line.reserve(last - first + 2);
  bool in_break = false;
  for (size_t i = first; i <= last; ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n' || c == '\t') {
      if (!in_break) line += ' ';
      in_break = c != '\t';
      continue;
    }
    in_break = false;
    line += c;
  }
  line += '\n';
  return line;
}

TraceLog::TraceLog(std::filesystem::path path, std::uintmax_t cap) : path_(std::move(path)), cap_(cap) {
  Open();
}

TraceLog::~TraceLog() {
  if (file_) std::fclose(file_);
}

std::filesystem::path TraceLog::PreviousPath() const {
  std::filesystem::path previous = path_;
  previous += ".1";
  return previous;
}

void TraceLog::Open() {
  file_ = std::fopen(path_.c_str(), "a");
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path_, error);
  size_ = error ? 0 : size;
}

void TraceLog::Rotate() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  std::error_code error;
  std::filesystem::rename(path_, PreviousPath(), error);
  Open();
}

void TraceLog::Write(std::string_view line) {
  if (line.empty()) return;
  if (size_ > 0 && size_ + line.size() > cap_) Rotate();
  if (!file_) return;
  std::fwrite(line.data(), 1, line.size(), file_);
  std::fflush(file_);
  size_ += line.size();
}

}  // namespace pelikon
