#include "coord/history/crd_history.h"

#include <algorithm>
#include <ctime>
#include <limits>
#include <set>
#include <unordered_map>

#include "coord/crd/crd_file.h"
#include "coord/crd/crd_format.h"
#include "coord/history/history_commands.h"
#include "coord/history/history_format.h"
#include "platform/login_name.h"
#include "platform/trace.h"
#include "pointid/point_id.h"
#include "pointid/point_range.h"

namespace pelikon {

namespace {

constexpr int64_t kStampInterval = 6;  // seconds between two written stamps at least

std::filesystem::path HistoryPath(const CrdFile& file) {
  return CompanionPath(file.Path(), "his");
}

// The whole history file; nothing when there is none.
std::optional<std::string> HistoryBytes(const CrdFile& file) {
  CrdStorage& storage = *file.Environment().storage;
  const std::filesystem::path path = HistoryPath(file);
  const std::optional<uint64_t> size = storage.RegularFileSize(path);
  if (!size) return std::nullopt;
  std::string bytes(static_cast<size_t>(*size), '\0');
  bytes.resize(storage.ReadStart(path, bytes.data(), bytes.size()));
  return bytes;
}

// The flagged fields of `recorded` over `base`.
CrdPoint WithRecordedFields(CrdPoint base, const CrdPoint& recorded, uint16_t flags) {
  if (flags & kHistoryId) base.SetId(recorded.Id());
  if (flags & kHistoryDescription) base.SetDescription(recorded.Description());
  if (flags & kHistoryCode) base.SetCode(recorded.Code());
  if (flags & kHistoryEasting) base.easting = recorded.easting;
  if (flags & kHistoryNorthing) base.northing = recorded.northing;
  if (flags & kHistoryElevation) base.elevation = recorded.elevation;
  return base;
}

// Completes `entry` (holding the recorded values in `before`) from the
// state the point had after it.
void Complete(HistoryEntry& entry, const CrdPoint& later) {
  entry.after = IsDeletion(entry.flags) ? CrdPoint() : later;
  if (IsCreation(entry.flags)) {
    entry.before = CrdPoint();
  } else if (!IsDeletion(entry.flags)) {
    entry.before = WithRecordedFields(later, entry.before, entry.flags);
  }
  entry.resolved = true;
}

// Links every entry (newest first) to the older ones of the same point,
// following renames back, and gives each its line's latest identifier;
// with `file` also completes the states, starting from the point as the
// file holds it now.
void LinkEntries(std::vector<HistoryEntry>& entries, CrdFile* file) {
  std::unordered_map<std::string, std::set<size_t>> unlinked;  // identifier -> entry indices
  for (size_t i = 0; i < entries.size(); ++i) unlinked[entries[i].id].insert(i);
  std::vector<bool> linked(entries.size());
  for (size_t start = 0; start < entries.size(); ++start) {
    if (linked[start]) continue;  // already part of a newer entry's line
    // The unlinked entries under the identifier of the entry being
    // followed: the point's line stays in it until a rename.
    std::set<size_t>* line = &unlinked[entries[start].id];
    line->erase(start);
    linked[start] = true;
    CrdPoint later;
    if (file && !file->GetPoint(entries[start].id, later, true)) {
      later = CrdPoint();
      later.SetId(entries[start].id);
    }
    for (size_t i = start;;) {
      HistoryEntry& entry = entries[i];
      entry.latest_id = entries[start].id;
      // The name the point had before this change, as the history spells it.
      const std::string earlier_id = entry.before.Id();
      if (file) {
        Complete(entry, later);
        later = entry.before;
      }
      if (IsCreation(entry.flags)) break;
      if (earlier_id != entry.id) {
        const auto older = unlinked.find(earlier_id);
        if (older == unlinked.end()) break;
        line = &older->second;
      }
      const auto next = line->upper_bound(i);
      if (next == line->end()) break;
      i = *next;
      line->erase(next);
      linked[i] = true;
    }
  }
}

bool Selected(const HistoryEntry& entry, const std::string& range) {
  return InRange(entry.id, range) || InRange(entry.latest_id, range);
}

// Removes the one point `id` names, recording the deletion with the undo
// command. A point that is not there is no failure.
int DeleteOnePoint(CrdFile& file, std::string_view id) {
  CrdPoint gone;
  if (!file.GetPoint(id, gone, true)) return 1;
  // Removal goes by range text: make sure it selects this point alone.
  if (file.PointCount(gone.Id()) != 1) {
    Trace("\nCRD HISTORY: point %s not undone; its identifier selects more than one point.", gone.Id().c_str());
    return 0;
  }
  file.SuspendHistory();
  const int64_t removed = file.DeletePoints(gone.Id());
  file.ResumeHistory();
  if (removed != 1) return 0;
  file.RecordHistory(nullptr, &gone, kHistoryCommandUndo, {});
  return 1;
}

// Undoes one point's entries, newest first.
int UndoPoint(CrdFile& file, const std::vector<const HistoryEntry*>& run) {
  const std::string& id = run.front()->id;
  CrdPoint point;
  if (!file.GetPoint(id, point, true)) point.SetId(id);
  bool renamed = false;
  for (const HistoryEntry* entry : run) {
    point.SetId(entry->id);
    if (IsCreation(entry->flags)) {
      point = CrdPoint();
    } else if (IsDeletion(entry->flags)) {
      point = entry->before;
    } else {
      point = WithRecordedFields(point, entry->before, entry->flags);
    }
    renamed = !IsCreation(entry->flags) && !IsDeletion(entry->flags) && (entry->flags & kHistoryId);
  }
  if (point.Id().empty()) return DeleteOnePoint(file, id);
  if (renamed && ComparePointIds(point.Id(), id) != 0 && !DeleteOnePoint(file, id)) return 0;
  return file.StorePoint(point, true, kHistoryCommandUndo);
}

int32_t StampOf(int64_t seconds) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(seconds, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// Cut as the file will hold it, so that "same as before" compares what
// was written.
std::string StoredText(std::string_view text, size_t limit) {
  return std::string(text.substr(0, std::min(text.find('\0'), limit)));
}

// Opens the history file for appending, creating it with its magic when
// it is missing.
std::unique_ptr<CrdOpenFile> OpenForAppend(const CrdFile& file) {
  CrdStorage& storage = *file.Environment().storage;
  const std::filesystem::path path = HistoryPath(file);
  std::unique_ptr<CrdOpenFile> out;
  if (storage.Exists(path)) {
    out = storage.Open(path);
    char magic[kHistoryMagic.size()] = {};
    if (!out || out->ReadUpTo(0, magic, sizeof magic) != sizeof magic ||
        std::string_view(magic, sizeof magic) != kHistoryMagic) {
      Trace("\nCRD HISTORY FAILED: %s not valid.\n", path.c_str());
      return nullptr;
    }
  } else {
    out = storage.Create(path, file.Path());
    if (!out) {
      Trace("\nCRD History file, %s, could not be created!\n", path.c_str());
      return nullptr;
    }
    if (!out->WriteAt(0, kHistoryMagic.data(), kHistoryMagic.size())) {
      Trace("\nCRD HISTORY FAILED: COULD NOT WRITE TO %s.\n", path.c_str());
      return nullptr;
    }
  }
  return out;
}

}  // namespace

std::vector<HistoryEntry> ReadHistory(CrdFile& file, std::string_view range, bool resolve) {
  if (!file.IsOpen()) return {};
  const std::optional<std::string> bytes = HistoryBytes(file);
  if (!bytes) return {};
  std::optional<std::vector<HistoryTransaction>> transactions = ParseHistory(*bytes);
  if (!transactions) {
    Trace("\nCRD HISTORY FAILED: %s not valid.\n", HistoryPath(file).c_str());
    return {};
  }
  std::vector<HistoryEntry> entries;
  entries.reserve(transactions->size());
  for (auto t = transactions->rbegin(); t != transactions->rend(); ++t) {
    HistoryEntry& entry = entries.emplace_back();
    entry.before = std::move(t->before);
    entry.flags = t->flags;
    entry.command = t->command;
    entry.text = std::move(t->text);
    entry.time = t->time;
    entry.id = std::move(t->id);
    entry.user = std::move(t->user);
  }
  LinkEntries(entries, resolve ? &file : nullptr);
  const std::string wanted = NormaliseRange(range);
  std::erase_if(entries, [&](const HistoryEntry& entry) { return !Selected(entry, wanted); });
  return entries;
}

int UndoHistory(CrdFile& file, const std::vector<HistoryEntry>& entries, int64_t since_time, std::string_view range) {
  const std::string wanted = NormaliseRange(range);
  std::vector<const HistoryEntry*> chosen;
  bool any_rename = false;
  for (const HistoryEntry& entry : entries) {
    if (entry.time < since_time || !Selected(entry, wanted)) continue;
    chosen.push_back(&entry);
    if (!IsCreation(entry.flags) && !IsDeletion(entry.flags) && (entry.flags & kHistoryId)) any_rename = true;
  }
  // The list is newest first already; the stable sorts keep that order
  // among equals.
  if (any_rename) {
    std::stable_sort(chosen.begin(), chosen.end(),
                     [](const HistoryEntry* a, const HistoryEntry* b) { return a->time > b->time; });
  } else {
    std::stable_sort(chosen.begin(), chosen.end(), [](const HistoryEntry* a, const HistoryEntry* b) {
      const int order = ComparePointIds(a->id, b->id);
      return order != 0 ? order < 0 : a->time > b->time;
    });
  }
  int result = 1;
  for (size_t first = 0; first < chosen.size();) {
    size_t end = first + 1;
    while (end < chosen.size() && chosen[end]->id == chosen[first]->id) ++end;
    const std::vector<const HistoryEntry*> run(chosen.begin() + first, chosen.begin() + end);
    if (!UndoPoint(file, run)) result = 0;
    first = end;
  }
  return result;
}

CrdHistoryWriter::CrdHistoryWriter(std::optional<std::string> user, std::function<int64_t()> now)
    : user_(StoredText(user ? *user : LoginName(), kHistoryUserLimit)), now_(std::move(now)) {
  if (!now_) now_ = [] { return static_cast<int64_t>(std::time(nullptr)); };
}

int CrdHistoryWriter::AddHistory(CrdFile& file, const CrdPoint* after, const CrdPoint* before, int command,
                                 std::string_view text) {
  if (!file.HistoryEnabled() || command == kNoHistoryCommand || !file.IsOpen()) return 1;
  HistoryTransaction t;
  if (after && before) {
    uint16_t changed = 0;
    if (after->Id() != before->Id()) changed |= kHistoryId;
    if (after->Description() != before->Description()) changed |= kHistoryDescription;
    if (after->Code() != before->Code()) changed |= kHistoryCode;
    if (after->easting != before->easting) changed |= kHistoryEasting;
    if (after->northing != before->northing) changed |= kHistoryNorthing;
    if (after->elevation != before->elevation) changed |= kHistoryElevation;
    if (changed == 0) return 1;
    t.flags = changed;
    t.id = after->Id();
    t.before = *before;
  } else if (after) {
    t.flags = kHistoryCreated;
    t.id = after->Id();
  } else if (before) {
    t.flags = kHistoryDeletion;
    t.id = before->Id();
    t.before = *before;
  } else {
    return 1;
  }
  t.text = StoredText(text, kHistoryTextLimit);
  if (!t.text.empty()) t.flags |= last_text_ == t.text ? kHistoryText | kHistorySameText : kHistoryText;
  const int64_t now = now_();
  const bool stamp = !last_stamp_ || now - *last_stamp_ >= kStampInterval;
  if (stamp) {
    t.flags |= kHistoryStamp;
    t.time = StampOf(now);
  }
  if (command != 0) {
    t.flags |= kHistoryCommand;
    t.command = command;
  }
  if (!user_.empty()) {
    t.flags |= last_user_ == user_ ? kHistoryUser | kHistorySameUser : kHistoryUser;
    t.user = user_;
  }

  const std::unique_ptr<CrdOpenFile> out = OpenForAppend(file);
  if (!out) return 0;
  const std::optional<uint64_t> end = out->Size();
  if (!end) {
    Trace("\nPROBLEM READING CRD HISTORY FILE. SEEK FAILED. TRY AGAIN.\n");
    return 0;
  }
  // Behind a transaction cut short (another program stopped while writing)
  // a new one would be read as part of it: leave such a file alone.
  if (whole_length_ != *end) {
    std::string existing(static_cast<size_t>(*end), '\0');
    size_t whole = 0;
    if (out->ReadUpTo(0, existing.data(), existing.size()) != existing.size() || !ParseHistory(existing, &whole) ||
        whole != existing.size()) {
      Trace("\nCRD HISTORY FAILED: %s ends with a damaged transaction.\n", HistoryPath(file).c_str());
      return 0;
    }
  }
  const std::string bytes = EncodeTransaction(t);
  if (!out->WriteAt(*end, bytes.data(), bytes.size())) {
    Trace("\nCRD HISTORY FAILED: COULD NOT WRITE TO %s.\n", HistoryPath(file).c_str());
    return 0;
  }
  whole_length_ = *end + bytes.size();
  // Only what reached the file may be referred to by the next transaction.
  if (stamp) last_stamp_ = now;
  if (!t.text.empty()) last_text_ = t.text;
  if (!user_.empty()) last_user_ = user_;
  return 1;
}

void CrdHistoryWriter::Close() {
  whole_length_.reset();
  last_stamp_.reset();
  last_text_.reset();
  last_user_.reset();
}

CrdHistoryWriter& EnableHistory(CrdFile& file, std::unique_ptr<CrdHistoryWriter> writer) {
  CrdHistoryWriter& attached = *writer;
  file.SetHistoryRecorder(std::move(writer));
  file.SetHistoryEnabled(true);
  return attached;
}

}  // namespace pelikon
