#include "platform/trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/temp_folder.h"
#include "platform/text.h"

namespace pelikon {

namespace {

// A log file larger than this is moved aside to "pelikon.log.old" when the
// process opens it, so the log never grows without bound.
constexpr std::uintmax_t kMaxLogBytes = 4u << 20;

// The process-wide trace sink.
struct TraceSink {
  std::mutex mutex;
  bool opened = false;
  std::FILE* file = nullptr;
  std::filesystem::path path;
  bool to_stderr = false;
  TraceCapture* capture = nullptr;

  void OpenOnce() {
    if (opened) return;
    opened = true;
    const char* env = std::getenv("PELIKON_TRACE");
    to_stderr = env && env[0] == '1';
    const std::filesystem::path folder = TempFolder();
    if (folder.empty()) return;
    path = folder / "pelikon.log";
    std::error_code error;
    if (std::filesystem::file_size(path, error) > kMaxLogBytes && !error) {
      std::filesystem::path old = path;
      old += ".old";
      std::filesystem::rename(path, old, error);
    }
    file = std::fopen(path.c_str(), "a");
    if (!file) path.clear();
  }

  ~TraceSink() {
    if (file) std::fclose(file);
  }
};

TraceSink& Sink() {
  static TraceSink sink;
  return sink;
}

}  // namespace

void Trace(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string text = VStrPrintf(format, args);
  va_end(args);

  TraceSink& sink = Sink();
  std::lock_guard lock(sink.mutex);
  sink.OpenOnce();
  if (sink.file) {
    std::fwrite(text.data(), 1, text.size(), sink.file);
    std::fflush(sink.file);
  }
  if (sink.to_stderr) std::fwrite(text.data(), 1, text.size(), stderr);
  if (sink.capture) sink.capture->Append(text);
}

std::filesystem::path TraceFilePath() {
  TraceSink& sink = Sink();
  std::lock_guard lock(sink.mutex);
  return sink.path;
}

TraceCapture::TraceCapture() {
  TraceSink& sink = Sink();
  std::lock_guard lock(sink.mutex);
  outer_ = sink.capture;
  sink.capture = this;
}

TraceCapture::~TraceCapture() {
  TraceSink& sink = Sink();
  std::lock_guard lock(sink.mutex);
  sink.capture = outer_;
}

}  // namespace pelikon
