#include "coord/merge/merge_session.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "platform/catalogue.h"
#include "platform/text.h"
#include "pointid/point_id.h"
#include "pointid/point_range.h"

namespace pelikon {

namespace {

bool Near(double a, double b) {
  return std::fabs(a - b) <= kMergeTolerance;
}

bool SameValues(const MergePoint& a, const MergePoint& b) {
  return a.desc == b.desc && a.code == b.code && Near(a.north, b.north) && Near(a.east, b.east) && Near(a.elev, b.elev);
}

struct IdLess {
  bool operator()(std::string_view a, std::string_view b) const { return ComparePointIds(a, b) < 0; }
};

void SortById(MergePointList& points) {
  auto less = [](const MergePoint& a, const MergePoint& b) { return IdLess()(a.id, b.id); };
  // Files and classifications mostly hand over sorted lists: one look
  // spares the sort its copies.
  if (!std::is_sorted(points.begin(), points.end(), less)) std::stable_sort(points.begin(), points.end(), less);
}

bool Undecided(const MergePoint& point) {
  return point.action == MergeAction::kNone &&
         (point.status == MergeStatus::kMissing || point.status == MergeStatus::kConflict);
}

}  // namespace

// Indexed by the enumerations' values.
constexpr const char* kStatusNames[] = {"", "missing", "same", "conflict"};
constexpr const char* kActionNames[] = {"", "store", "overwrite", "skip", "rename"};
constexpr const char* kActionTexts[] = {"", N_("Store"), N_("Overwrite"), N_("Skip"), N_("Rename")};
constexpr const char* kChoiceTexts[] = {N_("Overwrite"), N_("Skip"), N_("Renumber Next"), N_("Renumber End"),
                                        N_("Store")};

MergePoint ToMergePoint(const CrdPoint& point) {
  MergePoint merged;
  SetMergePoint(merged, point);
  return merged;
}

void SetMergePoint(MergePoint& merged, const CrdPoint& point) {
  merged.id = point.Id();
  merged.orig_id = point.Id();
  merged.desc = point.Description();
  merged.code = point.Code();
  merged.north = point.northing;
  merged.east = point.easting;
  merged.elev = point.elevation;
}

const char* MergeStatusName(MergeStatus status) {
  return kStatusNames[static_cast<int>(status)];
}
const char* MergeActionName(MergeAction action) {
  return kActionNames[static_cast<int>(action)];
}
const char* RowChoiceText(RowChoice choice) {
  return kChoiceTexts[static_cast<int>(choice)];
}

namespace {

MergePointList ToMergePoints(const std::vector<CrdPoint>& points) {
  MergePointList merged;
  merged.reserve(points.size());
  for (const CrdPoint& point : points) merged.push_back(ToMergePoint(point));
  return merged;
}

}  // namespace

MergeSession::MergeSession(const std::vector<CrdPoint>& source, const std::vector<CrdPoint>& target, bool numeric,
                           bool auto_store)
    : MergeSession(ToMergePoints(source), ToMergePoints(target), numeric, auto_store) {}

MergeSession::MergeSession(MergePointList source, MergePointList target, bool numeric, bool auto_store)
    : source_(std::move(source)),
      target_(std::move(target)),
      numeric_(numeric),
      auto_store_(auto_store),
      range_(AllKeyword()) {
  SortById(target_);
  Classify();
}

MergeRowList PairById(const MergePointList& source, const MergePointList& target) {
  MergeRowList pairs;
  pairs.reserve(source.size() + target.size());
  size_t s = 0;
  size_t t = 0;
  while (s < source.size() || t < target.size()) {
    const int order = s == source.size() ? 1 : t == target.size() ? -1 : ComparePointIds(source[s].id, target[t].id);
    MergeRow pair;
    if (order <= 0) pair.source = static_cast<int>(s++);
    if (order >= 0) pair.target = static_cast<int>(t++);
    pairs.push_back(pair);
  }
  return pairs;
}

void MergeSession::Classify() {
  if (!pairs_valid_) {
    SortById(source_);
    pairs_ = PairById(source_, target_);
    pairs_valid_ = true;
  }
  rows_.clear();
  auto add_row = [this](const MergeRow& pair) {
    rows_.push_back(pair);
    return static_cast<int>(rows_.size());
  };
  rows_.reserve(pairs_.size());
  for (const MergeRow& pair : pairs_) {
    if (pair.source < 0) {
      target_[pair.target].row = add_row(pair);
      continue;
    }
    MergePoint& point = source_[pair.source];
    if (pair.target < 0) {
      point.status = MergeStatus::kMissing;
      if (auto_store_ && point.action == MergeAction::kNone) point.action = MergeAction::kStore;
      point.row = add_row(pair);
      continue;
    }
    MergePoint& other = target_[pair.target];
    if (SameValues(point, other)) {
      point.status = MergeStatus::kSame;
    } else {
      point.status = MergeStatus::kConflict;
      // "store" adds a new point; it never replaces one unasked.
      if (point.action == MergeAction::kStore) point.action = MergeAction::kNone;
    }
    const bool shown = point.status == MergeStatus::kConflict || show_matching_;
    point.row = other.row = shown ? add_row(pair) : 0;
  }
}

MergeCounts MergeSession::Counts() const {
  MergeCounts counts;
  for (const MergePoint& point : source_) {
    if (point.status != MergeStatus::kMissing && point.status != MergeStatus::kConflict) continue;
    if (point.action != MergeAction::kNone)
      ++counts.resolved;
    else if (point.status == MergeStatus::kConflict)
      ++counts.unresolved_conflicts;
    else
      ++counts.unresolved_missing;
  }
  return counts;
}

std::vector<RowChoice> MergeSession::ChoicesOf(size_t row) const {
  if (row >= rows_.size() || rows_[row].source < 0) return {};
  if (source_[rows_[row].source].status == MergeStatus::kMissing) return {RowChoice::kSkip, RowChoice::kStore};
  return {RowChoice::kOverwrite, RowChoice::kSkip, RowChoice::kRenumberNext, RowChoice::kRenumberEnd};
}

RowMark MergeSession::MarkOf(size_t row) const {
  if (row >= rows_.size() || rows_[row].source < 0) return RowMark::kPlain;
  const MergePoint& point = source_[rows_[row].source];
  if (point.status != MergeStatus::kMissing && point.status != MergeStatus::kConflict) return RowMark::kPlain;
  if (point.action != MergeAction::kNone) return RowMark::kResolved;
  return point.status == MergeStatus::kConflict ? RowMark::kUnresolvedConflict : RowMark::kUnresolvedMissing;
}

std::string MergeSession::ActionText(size_t row) const {
  if (row >= rows_.size() || rows_[row].source < 0) return {};
  return kActionTexts[static_cast<int>(source_[rows_[row].source].action)];
}

void MergeSession::SetShowMatching(bool show) {
  show_matching_ = show;
  Classify();
}

void MergeSession::SetRange(std::string_view text) {
  range_ = NormaliseRange(text);
}

void MergeSession::SetRangeAll() {
  range_ = AllKeyword();
}

std::vector<size_t> MergeSession::RowsInRange() const {
  std::vector<size_t> rows;
  for (size_t row = 0; row < rows_.size(); ++row)
    if (rows_[row].source >= 0 && InRange(source_[rows_[row].source].id, range_)) rows.push_back(row);
  return rows;
}

void MergeSession::SelectRows(const std::vector<size_t>& rows) {
  std::string range;
  std::optional<size_t> first;
  for (size_t row : rows) {
    if (row >= rows_.size() || rows_[row].source < 0) continue;
    const size_t index = static_cast<size_t>(rows_[row].source);
    if (!first) first = index;
    AddToRange(range, source_[index].id);
  }
  if (!first) return;
  range_ = range;
  current_ = source_[*first].orig_id;
}

bool MergeSession::ConflictActionsEnabled() const {
  if (whole_range_) return true;
  return std::any_of(source_.begin(), source_.end(), [&](const MergePoint& point) {
    return point.status == MergeStatus::kConflict && InRange(point.id, range_);
  });
}

bool MergeSession::MissingActionsEnabled() const {
  return std::any_of(source_.begin(), source_.end(), [&](const MergePoint& point) {
    return point.status == MergeStatus::kMissing && InRange(point.id, range_);
  });
}

int MergeSession::SetActions(MergeStatus status, MergeAction action) {
  int changed = 0;
  for (MergePoint& point : source_) {
    if (point.status != status || !InRange(point.id, range_)) continue;
    point.action = action;
    ++changed;
  }
  AfterBulk();
  return changed;
}

void MergeSession::AfterBulk() {
  Classify();
  if (!keep_current_) NextConflict();
}

int MergeSession::Overwrite() {
  return SetActions(MergeStatus::kConflict, MergeAction::kOverwrite);
}
int MergeSession::SkipConflicts() {
  return SetActions(MergeStatus::kConflict, MergeAction::kSkip);
}
int MergeSession::StoreMissing() {
  return SetActions(MergeStatus::kMissing, MergeAction::kStore);
}
int MergeSession::SkipMissing() {
  return SetActions(MergeStatus::kMissing, MergeAction::kSkip);
}

bool MergeSession::UsedBySource(std::string_view id, std::optional<size_t> except) const {
  for (size_t i = 0; i < source_.size(); ++i)
    if (i != except && ComparePointIds(source_[i].id, id) == 0) return true;
  return false;
}

bool MergeSession::UsedByTarget(std::string_view id) const {
  const auto found = std::lower_bound(
      target_.begin(), target_.end(), id,
      [](const MergePoint& point, std::string_view key) { return ComparePointIds(point.id, key) < 0; });
  return found != target_.end() && ComparePointIds(found->id, id) == 0;
}

template <typename Taken>
std::string MergeSession::FreeAfter(std::string from, bool include_from, Taken taken) const {
  // Every taken identifier is a point of one of the lists or one handed
  // out already, so a free one turns up within that many steps.
  const size_t limit = 2 * source_.size() + target_.size() + 2;
  if (include_from && !taken(from)) return from;
  for (size_t step = 0; step <= limit; ++step) {
    const std::string before = from;
    if (!NextPointId(from, 1, numeric_) || from == before) return {};
    if (!taken(from)) return from;
  }
  return {};
}

std::string MergeSession::NextAvailable() const {
  const std::optional<size_t> current = Current();
  if (!current) return {};
  // One sorted copy of the source identifiers, so that stepping over a long
  // run of used identifiers costs a search per step, not a scan.
  std::vector<std::string> used;
  used.reserve(source_.size());
  for (const MergePoint& point : source_) used.push_back(point.id);
  std::sort(used.begin(), used.end(), IdLess());
  return FreeAfter(source_[*current].id, false, [&](const std::string& id) {
    return std::binary_search(used.begin(), used.end(), id, IdLess()) || UsedByTarget(id);
  });
}

std::string MergeSession::EndOfFile() const {
  if (source_.empty()) return {};
  // The source is sorted, but renumbering may have left it unsorted until
  // the next classification; look at every point.
  const MergePoint* highest = &source_.front();
  for (const MergePoint& point : source_)
    if (ComparePointIds(point.id, highest->id) > 0) highest = &point;
  return FreeAfter(highest->id, false, [&](const std::string& id) { return UsedByTarget(id); });
}

int MergeSession::Renumber(RenumberFrom from, std::string_view start) {
  std::vector<size_t> affected;
  for (size_t i = 0; i < source_.size(); ++i)
    if (InRange(source_[i].id, range_) && (whole_range_ || source_[i].status == MergeStatus::kConflict))
      affected.push_back(i);
  if (affected.empty()) {
    AfterBulk();
    return 0;
  }
  if (from == RenumberFrom::kStartingAt && NormaliseId(start, numeric_).empty()) from = RenumberFrom::kNextAvailable;
  std::string candidate;
  switch (from) {
    case RenumberFrom::kNextAvailable:
      candidate = source_[affected.front()].id;
      break;
    case RenumberFrom::kEndOfFile:
      candidate = EndOfFile();
      break;
    case RenumberFrom::kStartingAt:
      candidate = NormaliseId(start, numeric_);
      if (numeric_) {
        int64_t value = 0;
        if (!IsPlainDecimal(candidate, &value) || value < kLowestNumericId || value > kHighestNumericId) return -1;
      }
      break;
  }
  if (candidate.empty()) return -1;

  // Source identifiers that renumbering must step over: those outside the
  // range and, unless the whole range moves, those not being renumbered.
  std::vector<std::string> blocked;
  for (const MergePoint& point : source_)
    if (!InRange(point.id, range_) || (!whole_range_ && point.status != MergeStatus::kConflict))
      blocked.push_back(point.id);
  std::sort(blocked.begin(), blocked.end(), IdLess());
  std::set<std::string, IdLess> given;
  std::vector<std::string> handed_out;
  auto taken = [&](const std::string& id) {
    return UsedByTarget(id) || std::binary_search(blocked.begin(), blocked.end(), id, IdLess()) || given.count(id);
  };
  for (size_t i = 0; i < affected.size(); ++i) {
    candidate = FreeAfter(candidate, true, taken);
    if (candidate.empty()) return -1;
    handed_out.push_back(candidate);
    given.insert(candidate);
    if (i + 1 < affected.size()) {
      const std::string before = candidate;
      if (!NextPointId(candidate, 1, numeric_) || candidate == before) return -1;
    }
  }
  for (size_t i = 0; i < affected.size(); ++i) {
    source_[affected[i]].id = handed_out[i];
    source_[affected[i]].action = MergeAction::kStore;
  }
  pairs_valid_ = false;
  AfterBulk();
  return static_cast<int>(affected.size());
}

void MergeSession::Reset() {
  for (MergePoint& point : source_) {
    point.id = point.orig_id;
    point.action = MergeAction::kNone;
  }
  pairs_valid_ = false;
  AfterBulk();
}

bool MergeSession::Choose(size_t row, RowChoice choice) {
  if (row >= rows_.size() || rows_[row].source < 0) return false;
  const MergePoint& point = source_[rows_[row].source];
  if (point.status != MergeStatus::kMissing && point.status != MergeStatus::kConflict) return false;
  const bool missing = point.status == MergeStatus::kMissing;
  const std::string orig_id = point.orig_id;
  range_ = NormaliseRange(point.id);
  current_ = orig_id;
  const bool keep = keep_current_;
  keep_current_ = true;
  int result = 0;
  switch (choice) {
    case RowChoice::kOverwrite:
      result = Overwrite();
      break;
    case RowChoice::kSkip:
      result = missing ? SkipMissing() : SkipConflicts();
      break;
    case RowChoice::kRenumberNext:
      result = Renumber(RenumberFrom::kNextAvailable);
      break;
    case RowChoice::kRenumberEnd:
      result = Renumber(RenumberFrom::kEndOfFile);
      break;
    case RowChoice::kStore:
      result = StoreMissing();
      break;
  }
  keep_current_ = keep;
  // The range follows the point under its new identifier.
  if (const std::optional<size_t> index = IndexOf(orig_id)) range_ = NormaliseRange(source_[*index].id);
  return result >= 0;
}

bool MergeSession::RenamePoint(size_t source_index, std::string_view id) {
  if (source_index >= source_.size()) return false;
  const std::string stored = NormaliseId(id, numeric_);
  if (stored.empty() || UsedBySource(stored, source_index)) return false;
  source_[source_index].id = stored;
  pairs_valid_ = false;
  Classify();
  return true;
}

void MergeSession::SetDescription(size_t source_index, std::string_view text) {
  if (source_index >= source_.size()) return;
  source_[source_index].desc = std::string(text.substr(0, CrdPoint::kDescriptionLimit));
  Classify();
}

std::optional<size_t> MergeSession::IndexOf(std::string_view orig_id) const {
  for (size_t i = 0; i < source_.size(); ++i)
    if (source_[i].orig_id == orig_id) return i;
  return std::nullopt;
}

std::optional<size_t> MergeSession::Current() const {
  return current_ ? IndexOf(*current_) : std::nullopt;
}

bool MergeSession::MakeCurrent(std::optional<size_t> index) {
  if (!index) {
    current_.reset();
    return false;
  }
  current_ = source_[*index].orig_id;
  range_ = NormaliseRange(source_[*index].id);
  return true;
}

bool MergeSession::NextConflict() {
  const std::optional<size_t> current = Current();
  const int after = current ? source_[*current].row : 0;
  if (current && after > 0) {
    for (size_t row = static_cast<size_t>(after); row < rows_.size(); ++row) {
      const int index = rows_[row].source;
      if (index < 0) continue;
      const MergeStatus status = source_[index].status;
      if (status == MergeStatus::kMissing || status == MergeStatus::kConflict)
        return MakeCurrent(static_cast<size_t>(index));
    }
  }
  for (const MergeRow& row : rows_)
    if (row.source >= 0 && Undecided(source_[row.source])) return MakeCurrent(static_cast<size_t>(row.source));
  return MakeCurrent(std::nullopt);
}

bool MergeSession::PreviousConflict() {
  const std::optional<size_t> current = Current();
  const int before = current ? source_[*current].row - 1 : static_cast<int>(rows_.size());
  for (int row = before - 1; row >= 0; --row) {
    const int index = rows_[row].source;
    if (index >= 0 && Undecided(source_[index])) return MakeCurrent(static_cast<size_t>(index));
  }
  return false;
}

std::string MergeSession::CurrentText() const {
  const std::optional<size_t> current = Current();
  if (!current) return Tr("No more conflict points remaining");
  return StrPrintf(Tr("Current Point #%s"), source_[*current].id.c_str());
}

std::vector<std::string> MergeSession::StatisticsText() const {
  const MergeCounts counts = Counts();
  std::vector<std::string> lines = {StrPrintf(Tr("Unresolved Conflicting Points: %d"), counts.unresolved_conflicts),
                                    StrPrintf(Tr("Unresolved Non-Conflicting Points: %d"), counts.unresolved_missing),
                                    StrPrintf(Tr("Resolved Points: %d"), counts.resolved)};
  if (Current()) {
    lines.push_back(StrPrintf(Tr("Next Available Point #: %s"), NextAvailable().c_str()));
    lines.push_back(StrPrintf(Tr("End Point #: %s"), EndOfFile().c_str()));
  }
  return lines;
}

}  // namespace pelikon
