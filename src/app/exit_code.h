// The process exit code that unattended batch runs leave: -1 when no entry
// ran, 0 when every entry succeeded, 2 when every entry failed, 1 when some
// failed. An interactive run ends with -1 (255 as a process status here).
#pragma once

namespace pelikon {

class ExitCode {
 public:
  // Called after each processed batch entry.
  void RecordEntry(bool succeeded);
  int Value() const { return value_; }
  // The value as the operating system reports it (0 to 255).
  int ProcessStatus() const { return value_ & 0xFF; }

 private:
  int value_ = -1;
};

}  // namespace pelikon
