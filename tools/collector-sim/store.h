// The collector's file store as the simulator serves it: a local folder
// seen through Windows-style paths ("\" is its root), a current folder,
// the listing in the "|" format, and the archive bits that "CLRATTR"
// clears.
#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace collector_sim {

class Store {
 public:
  explicit Store(std::filesystem::path root);

  // The current folder as the collector names it ("\", "\Jobs" ...).
  const std::string& Current() const { return current_; }
  // Moves to `path` (absolute with a leading "\", else relative; ".."
  // goes up). False when it is not a folder of the store.
  bool ChangeDir(const std::string& path);
  // The local path of `name` in the current folder; empty when the name
  // is not a plain name of this store.
  std::filesystem::path Resolve(const std::string& name) const;
  std::filesystem::path CurrentPath() const;

  // The listing of the current folder: files matching `mask` and every
  // folder; hidden files (".name") only when `show_hidden`.
  std::string Listing(const std::string& mask, bool show_hidden) const;
  // Clears the archive bit of `name` (until the file changes again).
  void ClearArchive(const std::string& name);
  double FreeBytes() const;

 private:
  std::filesystem::path root_;
  std::string current_ = "\\";
  std::map<std::filesystem::path, std::filesystem::file_time_type> cleared_;
};

}  // namespace collector_sim
