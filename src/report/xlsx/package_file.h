// An .xlsx package (a zip archive) opened for reading, and the copy of it
// that exchanges some parts and adds others while every other part is
// copied over unchanged and in its order.
#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>

struct zip;

namespace pelikon::xlsx {

class PackageFile {
 public:
  // Nothing when the file cannot be opened as a zip archive.
  static std::unique_ptr<PackageFile> Open(const std::filesystem::path& path);
  ~PackageFile();
  PackageFile(const PackageFile&) = delete;
  PackageFile& operator=(const PackageFile&) = delete;

  bool Has(const std::string& part) const;
  // The part's content; false when it is missing, unreadable or larger
  // than `limit` bytes.
  bool Read(const std::string& part, size_t limit, std::string& content) const;
  // Writes the copy to `target`, each part named in `parts` with its
  // content there (new names are added at the end) and the parts named in
  // `dropped` left out. False on any failure, with no file left at `target`.
  bool WriteCopy(const std::filesystem::path& target, const std::map<std::string, std::string>& parts,
                 const std::set<std::string>& dropped = {}) const;

 private:
  explicit PackageFile(zip* archive) : archive_(archive) {}
  zip* archive_;
};

}  // namespace pelikon::xlsx
