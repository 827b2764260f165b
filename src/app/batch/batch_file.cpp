#include "app/batch/batch_file.h"

#include <fstream>
#include <sstream>
#include <system_error>

#include "platform/text.h"

namespace pelikon {

std::unique_ptr<OvUniRecord> ParseBatchText(std::string_view text) {
  std::unique_ptr<OvUniRecord> first;
  OvUniRecord* current = nullptr;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, std::min(end - start, kBatchLineLimit));
    start = end + 1;
    // A zero byte ends the line, as it would any text the program reads.
    line = line.substr(0, line.find('\0'));
    line = TrimLeft(line, " \t");
    line = TrimRight(line, "\r\n");
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos || equals + 1 >= line.size()) continue;
    const std::string_view key = line.substr(0, equals);
    const std::string_view value = line.substr(equals + 1);
    if (EqualsNoCase(key, "local")) {
      auto entry = std::make_unique<OvUniRecord>("entry");
      entry->SetText("local", value);
      OvUniRecord* added = entry.get();
      if (first) {
        first->Append(std::move(entry));
      } else {
        first = std::move(entry);
      }
      current = added;
    } else if (current && !key.empty()) {
      current->SetText(key, value);
    }
  }
  return first;
}

bool ReadBatchFile(const std::filesystem::path& file, std::unique_ptr<OvUniRecord>& entries) {
  std::error_code error;
  if (std::filesystem::is_directory(file, error)) return false;
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return false;
  entries = ParseBatchText(text.str());
  return true;
}

}  // namespace pelikon
