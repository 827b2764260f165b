// Diagnostic output for developers and support: printf-style lines that
// go to the log file "pelikon.log" in the private working folder, and to
// stderr as well when the environment has PELIKON_TRACE=1. Never shown to
// the user and never translated. Safe to call from any thread.
#pragma once

#include <filesystem>
#include <string>

namespace pelikon {

void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

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
