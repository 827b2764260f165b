// The lock files by which programs on this system (terminal programs,
// file-transfer tools, the UUCP suite) tell each other that a serial
// device is in use: "LCK..<device name>" in the system's lock folder,
// holding the owner's process id as ten characters and a line feed (an
// older form holds it as four binary bytes).
//
// A lock of a live process means the device is in use. A lock whose
// process is gone, or that names no process, is stale and is removed. The
// port takes a lock of its own for as long as it is open where the lock
// folder lets it write, and works without one where it does not.
#pragma once

#include <filesystem>
#include <string>

namespace pelikon {

// The system's lock folder: /run/lock, else /var/lock; empty when neither
// is a folder (then no lock files are honoured or taken).
std::filesystem::path SystemSerialLockFolder();

// "LCK.." and the device's name: its path below /dev with "/" as "_"
// ("ttyUSB0", "pts_7"), links followed first, so that every path to one
// device names one lock; outside /dev its last component.
std::string SerialLockFileName(const std::string& device);

class SerialLockFile {
 public:
  SerialLockFile() = default;
  ~SerialLockFile() { Release(); }
  SerialLockFile(const SerialLockFile&) = delete;
  SerialLockFile& operator=(const SerialLockFile&) = delete;

  // Honours and takes the lock of `device` in `folder`. 0 when the device
  // may be used (with a lock of this process where the folder allows one),
  // -3 when a live process holds it. An empty folder does nothing.
  int Acquire(const std::filesystem::path& folder, const std::string& device);
  // Removes the lock, if this process still owns it.
  void Release();
  // The lock file this process holds; empty when none.
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace pelikon
