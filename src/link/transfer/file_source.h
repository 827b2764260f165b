// The files a sending engine sends: each spec is a file name, or a pattern
// with "*" and "?" in its last part (matched as the collector matches),
// optionally searched through subfolders as well. A spec that names an
// existing file is that one file, whatever characters its name holds.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace pelikon {

class FileSource {
 public:
  FileSource(std::vector<std::string> specs, bool search_subfolders);

  // 1 and the next file's path; 0 when there are no more; -623 when a
  // pattern's folder cannot be read.
  int Next(std::filesystem::path& file);

 private:
  int Expand(const std::string& spec);
  void AddMatches(const std::filesystem::path& folder, const std::string& mask, int depth);

  std::vector<std::string> specs_;
  bool search_subfolders_;
  size_t next_spec_ = 0;
  std::vector<std::filesystem::path> pending_;
  size_t next_pending_ = 0;
  bool folder_failed_ = false;
};

struct TransferState;

// Sends every file of `source` with `send_file` (1 sent, 0 skipped,
// negative: the run ends), until the source is exhausted or the run fails.
// A failing source sets the transfer's error.
void SendEachFile(FileSource& source, TransferState& transfer,
                  const std::function<int(const std::filesystem::path&)>& send_file);

}  // namespace pelikon
