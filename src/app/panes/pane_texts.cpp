#include "app/panes/pane_texts.h"

#include <cstdint>
#include <vector>

#include "app/panes/dir_list.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

constexpr size_t kPathLineLimit = 40;
constexpr size_t kPathTailLength = 33;

bool IsUpOneLevel(const DirEntry& entry) {
  return entry.name == "..";
}

bool IsUtf8Continuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::string CollectorPath(std::string_view path) {
  std::string root;
  if (path.starts_with("\\\\")) {
    root = "\\\\";
  } else if (path.starts_with("\\")) {
    root = "\\";
  }
  std::string text = root;
  bool first = true;
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t end = path.find('\\', pos);
    if (end == std::string_view::npos) end = path.size();
    if (end > pos) {
      if (!first) text += '\\';
      text += AsciiUpper(path[pos]);
      text.append(path.substr(pos + 1, end - pos - 1));
      first = false;
    }
    pos = end + 1;
  }
  if (text.size() >= kPathLineLimit) {
    std::string head;
    if (text.size() >= 2 && text[1] == ':') {
      head = text.substr(0, 2);
    } else {
      head = root;
    }
    text = head + "..." + text.substr(text.size() - kPathTailLength);
  }
  if (text.size() == 2) text += '\\';
  return text;
}

std::string LocalPath(std::string_view path) {
  size_t characters = 0;
  for (char c : path)
    if (!IsUtf8Continuation(c)) ++characters;
  if (characters < kPathLineLimit) return std::string(path);
  // Walk back over the last 33 characters.
  size_t start = path.size();
  for (size_t seen = 0; seen < kPathTailLength && start > 0;) {
    --start;
    if (!IsUtf8Continuation(path[start])) ++seen;
  }
  return "/..." + std::string(path.substr(start));
}

}  // namespace

std::string NameText(const DirEntry& entry) {
  if (IsUpOneLevel(entry)) return Tr("[Up One Level]");
  return entry.name;
}

int RowImage(const DirEntry& entry) {
  if (IsUpOneLevel(entry)) return kUpOneLevelImage;
  return entry.is_folder ? kFolderImage : kFileImage;
}

std::string SizeText(const DirEntry& entry) {
  if (entry.is_folder) return {};
  const double bytes = EntryBytes(entry);
  if (bytes < 100000) return StrPrintf("%.0f", bytes);
  return StrPrintf("%.0fK", bytes / 1024);
}

std::string ModifiedText(const DirEntry& entry) {
  return entry.date + " " + entry.time;
}

std::string AttributesText(const DirEntry& entry) {
  if (entry.is_folder) return {};
  std::string text;
  if (entry.attributes & kAttrArchive) text += 'A';
  if (entry.attributes & kAttrReadOnly) text += 'R';
  if (entry.attributes & kAttrHidden) text += 'H';
  if (entry.attributes & kAttrSystem) text += 'S';
  return text;
}

std::string CounterText(double value) {
  if (value > 99999999) return StrPrintf("%.0fM", value / 1048576);
  if (value > 999999) return StrPrintf("%.0fK", value / 1024);
  return StrPrintf("%.0f", value);
}

std::string FileTypeText(const DirEntry& entry, const FileTypeLookup& lookup) {
  if (IsUpOneLevel(entry)) return {};
  if (entry.is_folder) return Tr("File Folder");
  const std::string& name = entry.name;
  const size_t tail = name.size() > 4 ? name.size() - 4 : 0;
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot < tail) return {};
  const std::string extension = name.substr(dot + 1);
  if (extension.empty()) return {};
  if (lookup) {
    std::string registered = lookup(extension);
    if (!registered.empty()) return registered;
  }
  return AsciiUpper(extension) + " " + Tr("File");
}

std::string ShortenedPath(std::string_view path, PathStyle style) {
  return style == PathStyle::kCollector ? CollectorPath(path) : LocalPath(path);
}

}  // namespace pelikon
