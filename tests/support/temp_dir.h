// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace pelikon::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }
  // Creates a file with `content` (folders on the way included).
  std::filesystem::path Write(std::string_view name, std::string_view content) const;
  // The same for any path.
  static void WriteFile(const std::filesystem::path& file, std::string_view content);

 private:
  std::filesystem::path path_;
};

// Sets the file's modification time to a local date and time.
void SetLocalModificationTime(const std::filesystem::path& file, int year, int month, int day, int hour, int minute);

}  // namespace pelikon::testing
