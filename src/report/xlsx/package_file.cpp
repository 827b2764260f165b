#include "report/xlsx/package_file.h"

#include <zip.h>

#include <system_error>

namespace pelikon::xlsx {
namespace {

bool AddPart(zip* target, const std::string& name, zip_source_t* source) {
  if (source == nullptr) return false;
  if (zip_file_add(target, name.c_str(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) < 0) {
    zip_source_free(source);
    return false;
  }
  return true;
}

}  // namespace

std::unique_ptr<PackageFile> PackageFile::Open(const std::filesystem::path& path) {
  int error = 0;
  zip* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
  if (archive == nullptr) return nullptr;
  return std::unique_ptr<PackageFile>(new PackageFile(archive));
}

PackageFile::~PackageFile() {
  zip_discard(archive_);
}

bool PackageFile::Has(const std::string& part) const {
  return zip_name_locate(archive_, part.c_str(), 0) >= 0;
}

bool PackageFile::Read(const std::string& part, size_t limit, std::string& content) const {
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_stat(archive_, part.c_str(), 0, &stat) != 0 || (stat.valid & ZIP_STAT_SIZE) == 0 || stat.size > limit)
    return false;
  zip_file_t* file = zip_fopen(archive_, part.c_str(), 0);
  if (file == nullptr) return false;
  content.assign(static_cast<size_t>(stat.size), '\0');
  size_t done = 0;
  while (done < content.size()) {
    const zip_int64_t got = zip_fread(file, content.data() + done, content.size() - done);
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  // A part that is shorter or longer than its directory entry says is damaged.
  char extra = 0;
  const bool whole = done == content.size() && zip_fread(file, &extra, 1) == 0;
  zip_fclose(file);
  return whole;
}

bool PackageFile::WriteCopy(const std::filesystem::path& target, const std::map<std::string, std::string>& parts,
                            const std::set<std::string>& dropped) const {
  int error = 0;
  zip* copy = zip_open(target.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (copy == nullptr) return false;
  bool ok = true;
  std::set<std::string> written;
  const zip_int64_t count = zip_get_num_entries(archive_, 0);
  for (zip_int64_t index = 0; ok && index < count; ++index) {
    const char* name = zip_get_name(archive_, static_cast<zip_uint64_t>(index), 0);
    if (name == nullptr) {
      ok = false;
      break;
    }
    if (dropped.count(name) != 0) continue;
    const auto changed = parts.find(name);
    zip_source_t* source = changed != parts.end()
                               ? zip_source_buffer(copy, changed->second.data(), changed->second.size(), 0)
                               : zip_source_zip(copy, archive_, static_cast<zip_uint64_t>(index), 0, 0, -1);
    ok = written.insert(name).second && AddPart(copy, name, source);
  }
  for (const auto& [name, content] : parts) {
    if (!ok) break;
    if (written.count(name) == 0) ok = AddPart(copy, name, zip_source_buffer(copy, content.data(), content.size(), 0));
  }
  if (ok && zip_close(copy) == 0) return true;
  zip_discard(copy);
  std::error_code ignored;
  std::filesystem::remove(target, ignored);
  return false;
}

}  // namespace pelikon::xlsx
