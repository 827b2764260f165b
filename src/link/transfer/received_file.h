// Where a received file goes, and how it lands there safely.
//
// The name comes from the other side, so it is reduced to a bare name (the
// path is cut at "\", ":" and "/") and refused when empty, "." or "..", or
// when it holds control characters: nothing received lands outside the
// receive folder. The data goes to a hidden temporary file in the same
// folder, which replaces the destination only when the transfer completed;
// a failed or cancelled transfer removes it and leaves any file of that
// name untouched.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace pelikon {

// The bare, safe name of `sent`, or empty when it must be refused.
std::string SafeReceivedName(std::string_view sent);

class ReceivedFile {
 public:
  ReceivedFile() = default;
  ~ReceivedFile() { Discard(); }
  ReceivedFile(const ReceivedFile&) = delete;
  ReceivedFile& operator=(const ReceivedFile&) = delete;

  // Starts receiving `name` in `folder`. With `keep_existing` the temporary
  // file starts as a copy of the existing file, so that reception continues
  // after it. False when the temporary file cannot be made.
  bool Open(const std::filesystem::path& folder, const std::string& name, bool keep_existing);
  bool IsOpen() const { return file_ != nullptr; }
  // Bytes in the file so far (the existing part included).
  int64_t Length() const { return length_; }
  // False on a short write.
  bool Write(const uint8_t* data, size_t length);
  // Flushes, gives the file `modified` (seconds since the epoch; -1 keeps
  // the current time) and moves it over the destination. False on failure,
  // which discards it.
  bool Commit(int64_t modified);
  // Removes the temporary file.
  void Discard();
  const std::filesystem::path& Destination() const { return destination_; }

 private:
  std::FILE* file_ = nullptr;
  std::filesystem::path temporary_;
  std::filesystem::path destination_;
  int64_t length_ = 0;
};

// Seconds since the epoch of a time sent as local wall-clock time counted as
// if it were universal time, cut to the two-second steps of file dates.
int64_t LocalStampToEpoch(int64_t stamp);
// The other way: a file's time as local wall-clock time counted as if it
// were universal time (0 before 1970).
int64_t EpochToLocalStamp(int64_t epoch);

}  // namespace pelikon
