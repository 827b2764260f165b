#include "link/listing/dir_listing.h"

#include <algorithm>
#include <array>

#include "platform/atomic_file.h"
#include "platform/catalogue.h"
#include "platform/listing_line.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace pelikon {

namespace {

bool IsReservedName(std::string_view name) {
  return EqualsNoCase(name, kLocalListingName) || EqualsNoCase(name, kRemoteListingName);
}

std::string Truncated(std::string_view text, size_t limit) {
  return std::string(text.substr(0, limit));
}

}  // namespace

bool ListDirectoryInto(const std::filesystem::path& folder, std::string_view mask, std::FILE* file, int mode,
                       bool show_special) {
  std::string line;
  return EnumerateFolder(folder, mask, [&](const FileInfo& info) {
    if (!show_special && (info.attributes & (kAttrHidden | kAttrSystem)) != 0) return;
    if (!ListableName(info.name)) {
      Trace("\nListing: left out \"%s\": its name cannot be written in a listing", info.name.c_str());
      return;
    }
    if (info.IsFolder() ? mode == kListFilesOnly : mode == kListFoldersOnly) return;
    line.clear();
    if (info.IsFolder())
      AppendListingFolderLine(line, info.name, info.modified);
    else
      AppendListingFileLine(line, info.name, info.size, info.modified, static_cast<uint32_t>(info.attributes));
    std::fwrite(line.data(), 1, line.size(), file);
  });
}

void AppendDriveLines(std::FILE* /*file*/) {}

int WriteLocalListing(const std::filesystem::path& folder, std::string_view mask,
                      const std::filesystem::path& listing_file, bool show_special, Ui& ui) {
  std::FILE* file = listing_file.empty() ? nullptr : std::fopen(listing_file.c_str(), "wb");
  if (!file) {
    ui.ShowMessageBox(Tr("Unable to write directory listing"));
    return 0;
  }
  static thread_local std::array<char, 1 << 16> buffer;
  std::setvbuf(file, buffer.data(), _IOFBF, buffer.size());
  if (mask != "*.*") {
    ListDirectoryInto(folder, mask, file, kListFilesOnly, show_special);
    ListDirectoryInto(folder, "*.*", file, kListFoldersOnly, show_special);
  } else {
    ListDirectoryInto(folder, "*.*", file, kListFilesAndFolders, show_special);
  }
  if (folder == folder.root_path()) AppendDriveLines(file);
  const bool failed = std::ferror(file) != 0;
  if (std::fclose(file) != 0 || failed) {
    ui.ShowMessageBox(Tr("Unable to write directory listing"));
    return 0;
  }
  return 1;
}

bool ParseListingLine(std::string_view line, DirEntry& entry, bool* used_bars, const ListingRules& rules) {
  // A zero byte ends the line, as it ends a C string.
  if (const size_t zero = line.find('\0'); zero != std::string_view::npos) line = line.substr(0, zero);
  if (rules.names_as_written) {
    line = TrimRight(line, "\r\n");
  } else {
    line = TrimLeft(line, " ");
    line = TrimRight(line, " \r\n");
  }
  const char separator = line.find('|') != std::string_view::npos ? '|' : ',';
  if (used_bars) *used_bars = separator == '|';

  // Split with runs of separators counting as one.
  std::array<std::string_view, 6> fields;
  size_t count = 0;
  size_t pos = 0;
  while (count < fields.size()) {
    const size_t start = line.find_first_not_of(separator, pos);
    if (start == std::string_view::npos) break;
    size_t end = line.find(separator, start);
    if (end == std::string_view::npos) end = line.size();
    fields[count++] = line.substr(start, end - start);
    pos = end;
  }
  if (count < 4) return false;
  const std::string_view name = fields[0];
  if (name == "." || IsReservedName(name)) return false;

  entry = DirEntry{};
  entry.name = Truncated(name, rules.name_limit);
  const int32_t size = LenientInt32(fields[1]);
  entry.is_drive = size == -2;
  entry.is_folder = size == -1 || size == -2;
  entry.size = entry.is_folder ? -1 : size;
  entry.date = Truncated(fields[2], kEntryDateLimit);
  entry.time = Truncated(fields[3], kEntryDateLimit);
  entry.attributes = count > 4 ? LenientInt32(fields[4]) : 0;
  entry.short_name = count > 5 ? Truncated(fields[5], rules.name_limit) : entry.name;
  return true;
}

ListingContents ParseListing(std::string_view text, const ListingRules& rules) {
  ListingContents contents;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    // Only the first characters of a long line count; the rest of it is
    // dropped rather than read as a line of its own.
    const std::string_view line = text.substr(pos, std::min(end - pos, rules.line_limit));
    pos = end + 1;
    if (Trim(line, " \r").empty()) continue;  // an empty line says nothing about the format
    DirEntry entry;
    bool used_bars = false;
    const bool keep = ParseListingLine(line, entry, &used_bars, rules);
    contents.long_names = used_bars;
    if (keep) contents.entries.push_back(std::move(entry));
  }
  return contents;
}

bool ReadListingFile(const std::filesystem::path& file, ListingContents& contents, const ListingRules& rules) {
  std::string text;
  if (!ReadWholeFile(file, text)) return false;
  contents = ParseListing(text, rules);
  return true;
}

}  // namespace pelikon
