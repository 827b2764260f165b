#include "platform/trace.h"

#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>

#include "platform/temp_folder.h"
#include "platform/text.h"
#include "platform/trace_log.h"

namespace pelikon {

namespace {

enum TraceLevel { kEvents = 0, kEventsToStderr = 1, kPackets = 2 };

int LevelFromEnvironment() {
  const char* env = std::getenv("PELIKON_TRACE");
  if (!env || !*env) return kEvents;
  const int level = std::atoi(env);
  return level < kEvents ? kEvents : level > kPackets ? kPackets : level;
}

std::atomic<int>& Level() {
  static std::atomic<int> level{LevelFromEnvironment()};
  return level;
}

// "2026-03-14 09:26:53.589 ": when the event happened, to the millisecond.
std::string TimeStamp() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[32];
  const size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return std::string(text, length) + StrPrintf(".%03d ", static_cast<int>(ms));
}

// The process-wide trace sink.
struct TraceSink {
  std::mutex mutex;
  bool opened = false;
  std::unique_ptr<TraceLog> log;
  TraceCapture* capture = nullptr;

  void OpenOnce() {
    if (opened) return;
    opened = true;
    const std::filesystem::path folder = TempFolder();
    if (folder.empty()) return;
    log = std::make_unique<TraceLog>(folder / "pelikon.log");
    if (!log->IsOpen()) log.reset();
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

  const std::string line = TraceLine(text);
  TraceSink& sink = Sink();
  std::lock_guard lock(sink.mutex);
  if (sink.capture) sink.capture->Append(text);
  if (line.empty()) return;
  const std::string stamped = TimeStamp() + line;
  sink.OpenOnce();
  if (sink.log) sink.log->Write(stamped);
  if (Level() >= kEventsToStderr) std::fwrite(stamped.data(), 1, stamped.size(), stderr);
}

bool TracingPackets() {
  return Level() >= kPackets;
}

void ReloadTraceLevel() {
  Level() = LevelFromEnvironment();
}

std::filesystem::path TraceFilePath() {
  TraceSink& sink = Sink();
  std::lock_guard lock(sink.mutex);
  return sink.log ? sink.log->Path() : std::filesystem::path();
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
