#include "coord/history/crd_history.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <limits>
#include <new>
#include <optional>
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
std::optional<LargeVector<char>> HistoryBytes(const CrdFile& file) {
  CrdStorage& storage = *file.Environment().storage;
  const std::filesystem::path path = HistoryPath(file);
  const std::optional<uint64_t> size = storage.RegularFileSize(path);
  if (!size) return std::nullopt;
  LargeVector<char> bytes(static_cast<size_t>(*size));
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

bool Selected(std::string_view id, std::string_view latest_id, const std::string& range) {
  return InRange(id, range) || InRange(latest_id, range);
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

// The points as the file holds them now, by identifier. When the history
// names many of the file's points, one pass over the file is far cheaper
// than a search per point: the points are then read once and found by
// their stored identifier, and only a name stored otherwise (or not at
// all) is searched for.
class CurrentPoints {
 public:
  CurrentPoints(CrdFile& file, size_t wanted) : file_(file) {
    if (wanted * 8 < static_cast<size_t>(std::max<int64_t>(file.PointCount(), 0))) return;
    // A read that fails midway leaves the rest to the search.
    file.ForEachPoint([this](const CrdPoint& point) { points_.push_back(point); });
    for (size_t i = 0; i < points_.size(); ++i) by_id_.try_emplace(points_[i].Id(), i);
  }

  bool Get(std::string_view id, CrdPoint& point) {
    if (const auto found = by_id_.find(id); found != by_id_.end()) {
      point = points_[found->second];
      return true;
    }
    return file_.GetPoint(id, point, true) != 0;
  }

 private:
  CrdFile& file_;
  std::vector<CrdPoint> points_;
  std::unordered_map<std::string_view, size_t> by_id_;
};

// Builds a HistoryList: reads the transactions, links every entry to the
// older ones of the same point (following renames back), gives each its
// line's latest identifier and, when resolving, completes the states from
// the point as the file holds it now.
class HistoryReader {
  // The shortest transaction: an empty identifier and the flags.
  static constexpr size_t kSmallestTransaction = 3;
  // How much address space the tables may reserve on the bound alone.
  static constexpr size_t kReserveWithoutCounting = size_t{1} << 32;

 public:
  using TextRef = HistoryList::TextRef;
  using State = HistoryList::State;

  explicit HistoryReader(HistoryList& list) : list_(list) {}

  bool Parse(LargeVector<char> bytes) {
    list_.bytes_ = std::move(bytes);
    list_.extra_.assign(1, '\0');
    list_.states_.assign(1, State());
    const std::string_view all(list_.bytes_.data(), list_.bytes_.size());
    TransactionReader reader(all);
    if (!reader.Valid()) return false;
    // Room for every transaction the bytes can hold; the tables' pages that
    // stay unwritten cost nothing, so a bound that is not too far above
    // the count spares a counting pass over the file. States: the one of
    // no point, one recorded per transaction and at most one current state
    // per line of changes (added when resolving), so the table never grows.
    const auto reserve = [this](size_t count) {
      list_.states_.reserve(1 + 2 * count);
      list_.entries_.reserve(count);
    };
    const size_t bound = all.size() / kSmallestTransaction;
    bool reserved = false;
    if (bound * (sizeof(HistoryList::Entry) + 2 * sizeof(State)) <= kReserveWithoutCounting) {
      try {
        reserve(bound);
        reserved = true;
      } catch (const std::bad_alloc&) {
        // A system that commits address space up front: count first.
      }
    }
    if (!reserved) {
      TransactionReader counter(all);
      size_t count = 0;
      for (TransactionView t; counter.Next(t);) ++count;
      reserve(count);
    }
    const auto ref = [&](std::string_view text) {
      return text.empty() ? HistoryList::kEmpty : static_cast<TextRef>(text.data() - all.data());
    };
    for (TransactionView t; reader.Next(t);) {
      HistoryList::Entry& entry = list_.entries_.emplace_back();
      entry.before = static_cast<uint32_t>(list_.states_.size());
      list_.states_.push_back(
          State{t.northing, t.easting, t.elevation, ref(t.before_id), ref(t.description), ref(t.code)});
      entry.id = entry.latest_id = ref(t.id);
      entry.user = ref(t.user);
      entry.text = ref(t.text);
      entry.time = t.time;
      entry.flags = t.flags;
      entry.command = static_cast<uint8_t>(t.command);
    }
    std::reverse(list_.entries_.begin(), list_.entries_.end());
    return true;
  }

  // Whether a history file of `size` bytes can be referred to.
  static bool Fits(size_t size) { return size < HistoryList::kExtra; }

  void Link(CrdFile* file);

  // Keeps the entries that concern the points `range` (normalised) selects.
  void Select(const std::string& range) {
    if (IsAllKeyword(range)) return;
    std::erase_if(list_.entries_,
                  [&](const HistoryList::Entry& entry) { return !Selected(Id(entry.id), Id(entry.latest_id), range); });
  }

 private:
  std::string_view Id(TextRef ref) const { return list_.Text(ref, kHistoryIdLimit); }

  // A state holding `point` as the file has it now.
  uint32_t AddCurrent(const CrdPoint& point) {
    const auto add = [&](const std::string& text) {
      const TextRef ref = static_cast<TextRef>(list_.extra_.size()) | HistoryList::kExtra;
      list_.extra_.append(text.c_str(), text.size() + 1);
      return ref;
    };
    list_.states_.push_back(State{point.northing, point.easting, point.elevation, add(point.Id()),
                                  add(point.Description()), add(point.Code())});
    return static_cast<uint32_t>(list_.states_.size() - 1);
  }

  // Completes `entry` (its `before` holding the recorded values) from the
  // state the point had after it; returns the state before it.
  uint32_t Complete(HistoryList::Entry& entry, uint32_t later) {
    LargeVector<State>& states = list_.states_;
    const uint16_t flags = entry.flags;
    entry.after = IsDeletion(flags) ? 0 : later;
    if (IsCreation(flags)) {
      entry.before = 0;
    } else if (!IsDeletion(flags)) {
      const State recorded = states[entry.before];
      State& before = states[entry.before];
      before = states[later];
      if (flags & kHistoryId) before.id = recorded.id;
      if (flags & kHistoryDescription) before.description = recorded.description;
      if (flags & kHistoryCode) before.code = recorded.code;
      if (flags & kHistoryEasting) before.easting = recorded.easting;
      if (flags & kHistoryNorthing) before.northing = recorded.northing;
      if (flags & kHistoryElevation) before.elevation = recorded.elevation;
    }
    return entry.before;
  }

  HistoryList& list_;
};

void HistoryReader::Link(CrdFile* file) {
  LargeVector<HistoryList::Entry>& entries = list_.entries_;
  const auto n = static_cast<uint32_t>(entries.size());
  // The entries grouped by identifier, each group in list order (newest
  // first): `members` holds the groups one after another.
  std::unordered_map<std::string_view, uint32_t> groups;
  LargeVector<uint32_t> group(n);
  for (uint32_t i = 0; i < n; ++i)
    group[i] = groups.try_emplace(Id(entries[i].id), static_cast<uint32_t>(groups.size())).first->second;
  std::vector<uint32_t> group_start(groups.size() + 1);
  for (uint32_t i = 0; i < n; ++i) ++group_start[group[i] + 1];
  for (size_t g = 1; g < group_start.size(); ++g) group_start[g] += group_start[g - 1];
  LargeVector<uint32_t> members(n), member_at(n);
  {
    std::vector<uint32_t> fill(group_start.begin(), group_start.end() - 1);
    for (uint32_t i = 0; i < n; ++i) {
      member_at[i] = fill[group[i]]++;
      members[member_at[i]] = i;
    }
  }
  // Linked entries leave their group: `next` skips them (with path
  // halving), so finding the next unlinked member stays cheap.
  LargeVector<uint32_t> next(n + 1);
  for (uint32_t m = 0; m <= n; ++m) next[m] = m;
  const auto unlinked_from = [&](uint32_t m) {
    while (next[m] != m) {
      next[m] = next[next[m]];
      m = next[m];
    }
    return m;
  };
  const auto take = [&](uint32_t m) { next[m] = m + 1; };

  std::optional<CurrentPoints> current;
  if (file) current.emplace(*file, groups.size());
  for (uint32_t start = 0; start < n; ++start) {
    if (next[member_at[start]] != member_at[start]) continue;  // already part of a newer entry's line
    take(member_at[start]);
    const TextRef latest = entries[start].id;
    uint32_t later = 0;
    if (file) {
      CrdPoint point;
      if (current->Get(Id(latest), point)) {
        later = AddCurrent(point);
      } else {
        list_.states_.push_back(State());
        list_.states_.back().id = latest;
        later = static_cast<uint32_t>(list_.states_.size() - 1);
      }
    }
    uint32_t g = group[start];
    for (uint32_t i = start;;) {
      HistoryList::Entry& entry = entries[i];
      entry.latest_id = latest;
      // The name the point had before this change, as the history spells
      // it: the same text as the entry's own unless the change renamed it.
      const TextRef earlier_ref = list_.states_[entry.before].id;
      if (file) later = Complete(entry, later);
      if (IsCreation(entry.flags)) break;
      uint32_t from = member_at[i] + 1;
      if (earlier_ref != entry.id && Id(earlier_ref) != Id(entry.id)) {
        const auto older = groups.find(Id(earlier_ref));
        if (older == groups.end()) break;
        g = older->second;
        const auto first = members.begin() + group_start[g], last = members.begin() + group_start[g + 1];
        from = static_cast<uint32_t>(std::upper_bound(first, last, i) - members.begin());
      }
      const uint32_t m = unlinked_from(from);
      if (m >= group_start[g + 1]) break;
      take(m);
      i = members[m];
    }
  }
  list_.resolved_ = file != nullptr;
}

HistoryList ReadHistory(CrdFile& file, std::string_view range, bool resolve) {
  HistoryList list;
  if (!file.IsOpen()) return list;
  std::optional<LargeVector<char>> bytes = HistoryBytes(file);
  if (!bytes) return list;
  if (!HistoryReader::Fits(bytes->size())) {
    Trace("\nCRD HISTORY FAILED: %s is too large to read.\n", HistoryPath(file).c_str());
    return list;
  }
  HistoryReader reader(list);
  if (!reader.Parse(std::move(*bytes))) {
    Trace("\nCRD HISTORY FAILED: %s not valid.\n", HistoryPath(file).c_str());
    return HistoryList();
  }
  reader.Link(resolve ? &file : nullptr);
  reader.Select(NormaliseRange(range));
  return list;
}

int UndoHistory(CrdFile& file, const HistoryList& entries, int64_t since_time, std::string_view range) {
  const std::string wanted = NormaliseRange(range);
  std::vector<HistoryEntry> chosen_entries;
  bool any_rename = false;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries.Time(i) < since_time || !Selected(entries.Id(i), entries.LatestId(i), wanted)) continue;
    chosen_entries.push_back(entries[i]);
    const uint16_t flags = entries.Flags(i);
    if (!IsCreation(flags) && !IsDeletion(flags) && (flags & kHistoryId)) any_rename = true;
  }
  std::vector<const HistoryEntry*> chosen;
  for (const HistoryEntry& entry : chosen_entries) chosen.push_back(&entry);
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

HistoryEntry HistoryList::operator[](size_t i) const {
  const Entry& entry = entries_[i];
  HistoryEntry out;
  out.before = Point(entry.before);
  out.after = Point(entry.after);
  out.flags = entry.flags;
  out.command = entry.command;
  out.text = Text(entry.text, kHistoryTextLimit);
  out.time = entry.time;
  out.id = Id(i);
  out.user = Text(entry.user, kHistoryUserLimit);
  out.latest_id = LatestId(i);
  out.resolved = resolved_;
  return out;
}

std::vector<HistoryEntry> HistoryList::Entries() const {
  return std::vector<HistoryEntry>(begin(), end());
}

std::string_view HistoryList::Id(size_t i) const {
  return Text(entries_[i].id, kHistoryIdLimit);
}

std::string_view HistoryList::LatestId(size_t i) const {
  return Text(entries_[i].latest_id, kHistoryIdLimit);
}

std::string_view HistoryList::Text(TextRef ref, size_t limit) const {
  const char* text = (ref & kExtra ? extra_.data() : bytes_.data()) + (ref & ~kExtra);
  return {text, strnlen(text, limit)};
}

CrdPoint HistoryList::Point(uint32_t state) const {
  const State& s = states_[state];
  return CrdPoint(Text(s.id, kHistoryIdLimit), s.northing, s.easting, s.elevation,
                  Text(s.description, CrdPoint::kDescriptionLimit), Text(s.code, CrdPoint::kCodeLimit));
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
