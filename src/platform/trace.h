// Diagnostic output for developers and support. Never shown to the user
// and never translated. Safe to call from any thread.
//
// Each Trace() call is one event: it becomes one line, stamped with the
// local time, in the log file "pelikon.log" of the private working folder
// (kept under a size cap, see trace_log.h). The environment variable
// PELIKON_TRACE chooses more:
//   unset or 0  events, in the log file only
//   1           events, copied to stderr as well
//   2           as 1, plus a line for every packet the transfer engines move
#pragma once

#include <filesystem>
#include <string>

namespace pelikon {

void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Whether lines about single packets are wanted (PELIKON_TRACE=2). Callers
// check it before formatting such a line.
bool TracingPackets();

// Reads PELIKON_TRACE again; for tests that change it.
void ReloadTraceLevel();

// The log file in use (empty until the first trace, or when none could be
// opened).
std::filesystem::path TraceFilePath();

// While an instance lives, every trace text is also appended to it; tests
// use this to check diagnostics. Captures nest.
class TraceCapture {
 public:
  TraceCapture();
  ~TraceCapture();
  TraceCapture(const TraceCapture&) = delete;
  TraceCapture& operator=(const TraceCapture&) = delete;
  const std::string& Text() const { return text_; }
  // Adds `text` here and to every capture this one nests in.
  void Append(const std::string& text) {
    text_ += text;
    if (outer_) outer_->Append(text);
  }

 private:
  std::string text_;
  TraceCapture* outer_;
};

}  // namespace pelikon
