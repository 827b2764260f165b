#include "platform/settings_store.h"

#include <cstdlib>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/text.h"

namespace pelikon {

namespace {

bool IsAcceptable(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

// Splits "name=value" lines; lines without "=" come back with an empty name.
struct SettingsLine {
  std::string text;
  std::string_view name;
  std::string_view value;
};

std::vector<SettingsLine> SplitLines(const std::string& content) {
  std::vector<SettingsLine> lines;
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    lines.push_back({content.substr(start, end - start), {}, {}});
    start = end + 1;
  }
  for (SettingsLine& line : lines) {
    std::string_view text = line.text;
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    const size_t eq = text.find('=');
    if (eq == std::string_view::npos) continue;
    line.name = text.substr(0, eq);
    line.value = text.substr(eq + 1);
  }
  return lines;
}

}  // namespace

std::string SettingsStore::GetValue(std::string_view name) const {
  std::string value;
  if (name.empty() || !ReadRaw(name, value)) return {};
  if (value.size() + 1 > kReadBufferBytes) return {};
  // A zero byte ends a registry string; the file store never stores one.
  const size_t zero = value.find('\0');
  if (zero != std::string::npos) value.resize(zero);
  return value;
}

bool SettingsStore::SetValue(std::string_view name, std::string_view value) {
  if (name.empty() || name.find('=') != std::string_view::npos || !IsAcceptable(name) || !IsAcceptable(value))
    return false;
  return WriteRaw(name, value);
}

bool SettingsStore::ReadsBackWhole(std::string_view value) {
  return value.size() < kReadBufferBytes && IsAcceptable(value);
}

bool MemorySettingsStore::ReadRaw(std::string_view name, std::string& value) const {
  const auto it = values_.find(AsciiUpper(name));
  if (it == values_.end()) return false;
  value = it->second;
  return true;
}

bool MemorySettingsStore::WriteRaw(std::string_view name, std::string_view value) {
  values_[AsciiUpper(name)] = std::string(value);
  return true;
}

FileSettingsStore::FileSettingsStore(std::filesystem::path folder)
    : folder_(std::move(folder)), file_(folder_ / "settings") {}

bool FileSettingsStore::CreateKey() {
  std::error_code error;
  std::filesystem::create_directories(folder_, error);
  return !error && std::filesystem::is_directory(folder_, error);
}

bool FileSettingsStore::ReadRaw(std::string_view name, std::string& value) const {
  std::string content;
  if (!ReadWholeFile(file_, content)) return false;
  // The last line of a name wins, as a later write would.
  bool found = false;
  for (const SettingsLine& line : SplitLines(content)) {
    if (!line.name.empty() && EqualsNoCase(line.name, name)) {
      value.assign(line.value);
      found = true;
    }
  }
  return found;
}

bool FileSettingsStore::WriteRaw(std::string_view name, std::string_view value) {
  if (!CreateKey()) return false;
  std::string content;
  ReadWholeFile(file_, content);  // a missing file starts empty
  std::string out;
  bool written = false;
  for (const SettingsLine& line : SplitLines(content)) {
    if (!line.name.empty() && EqualsNoCase(line.name, name)) {
      if (written) continue;  // drop stale duplicates
      out.append(line.name).append("=").append(value).append("\n");
      written = true;
    } else {
      out.append(line.text).append("\n");
    }
  }
  if (!written) out.append(name).append("=").append(value).append("\n");
  return !WriteFileAtomically(file_, out);
}

std::filesystem::path DefaultSettingsFolder() {
  if (const char* dir = std::getenv("PELIKON_CONFIG_DIR"); dir && *dir) return dir;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) return std::filesystem::path(xdg) / "pelikon";
  if (const char* home = std::getenv("HOME"); home && *home) return std::filesystem::path(home) / ".config" / "pelikon";
  return {};
}

std::unique_ptr<SettingsStore> OpenUserSettings() {
  const std::filesystem::path folder = DefaultSettingsFolder();
  if (folder.empty()) return std::make_unique<MemorySettingsStore>();
  return std::make_unique<FileSettingsStore>(folder);
}

}  // namespace pelikon
