#include "app/panes/dir_list.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "app/transfer_settings.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

void DirList::Clear() {
  entries.clear();
  file_count = 0;
  byte_total = 0;
}

void DirList::Add(DirEntry entry) {
  if (!entry.is_folder) {
    ++file_count;
    byte_total += EntryBytes(entry);
  }
  entries.push_back(std::move(entry));
}

double EntryBytes(const DirEntry& entry) {
  if (entry.is_folder) return 0;
  return static_cast<double>(static_cast<uint32_t>(entry.size));
}

bool ReadPaneListing(PaneSide side, const std::filesystem::path& file, ListingContents& contents) {
  return ReadListingFile(file, contents, side == PaneSide::kLocal ? kLocalListing : kCollectorListing);
}

DirList DirListFrom(std::string path, double free_bytes, ListingContents contents) {
  DirList list;
  list.path = std::move(path);
  list.free_bytes = free_bytes;
  list.entries.reserve(contents.entries.size());
  for (DirEntry& entry : contents.entries) list.Add(std::move(entry));
  return list;
}

namespace {

// The numbers of a "a/b/c" or "a:b" text, each read leniently; missing ones are 0.
template <size_t N>
void ReadFields(std::string_view text, char separator, int64_t (&out)[N]) {
  for (size_t i = 0; i < N; ++i) {
    const size_t end = text.find(separator);
    out[i] = LenientInt32(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
}

int64_t DateKey(std::string_view date) {
  int64_t mdy[3];
  ReadFields(date, '/', mdy);
  return mdy[2] * 10000 + mdy[0] * 100 + mdy[1];
}

int64_t TimeKey(std::string_view time) {
  int64_t hm[2];
  ReadFields(time, ':', hm);
  return hm[0] * 100 + hm[1];
}

// Everything one comparison needs, computed once per entry: the group, two
// numbers compared ascending, then a text compared byte by byte.
struct SortKey {
  int group;  // 0 drives, 1 folders, 2 files
  int64_t first;
  int64_t second;
  std::string text;
  size_t index;
};

}  // namespace

void SortEntries(std::vector<DirEntry>& entries, int sort_order) {
  std::vector<SortKey> keys;
  keys.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    const DirEntry& e = entries[i];
    SortKey key{e.is_drive ? 0 : e.is_folder ? 1 : 2, 0, 0, {}, i};
    switch (sort_order) {
      case kSortByName:
        key.text = AsciiUpper(e.name);
        break;
      case kSortByDate:
        key.first = -DateKey(e.date);  // newest first
        key.second = -TimeKey(e.time);
        key.text = e.name;
        break;
      case kSortBySize:
        if (!e.is_folder) key.first = static_cast<int64_t>(EntryBytes(e));
        key.text = e.name;
        break;
      default:  // listing order within each group
        break;
    }
    keys.push_back(std::move(key));
  }
  std::stable_sort(keys.begin(), keys.end(), [](const SortKey& a, const SortKey& b) {
    if (a.group != b.group) return a.group < b.group;
    if (a.first != b.first) return a.first < b.first;
    if (a.second != b.second) return a.second < b.second;
    return a.text < b.text;  // std::string compares bytes as unsigned
  });
  std::vector<DirEntry> sorted;
  sorted.reserve(entries.size());
  for (const SortKey& key : keys) sorted.push_back(std::move(entries[key.index]));
  entries = std::move(sorted);
}

std::string SortOrderText(int sort_order) {
  switch (sort_order) {
    case kSortOff:
      return N_("OFF");
    case kSortByName:
      return N_("BY NAME");
    case kSortByDate:
      return N_("BY DATE");
    case kSortBySize:
      return N_("BY SIZE");
    default:
      return "????";
  }
}

int SortOrderFromText(std::string_view text) {
  if (text == "BY NAME") return kSortByName;
  if (text == "BY DATE") return kSortByDate;
  if (text == "BY SIZE") return kSortBySize;
  return kSortOff;
}

}  // namespace pelikon
