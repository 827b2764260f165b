// The state of one merge of an incoming CRD point list (the source) into
// an existing one (the target), everything a merge window shows and
// changes, without any window: the points lined up by identifier, their
// status, the action chosen for each, the range the bulk actions work on,
// renumbering, navigation between conflicts and the statistics.
//
// Status of a source point: "missing" (the target has no point of its
// identifier), "same" (it has one and every value is equal, coordinates
// within 0.001) or "conflict". Actions: none (undecided), store,
// overwrite, skip; rename is accepted by Apply but set by nothing here.
//
// Every change is followed by a new classification, so Rows(), Counts()
// and the statuses always describe the current identifiers.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "coord/crd/crd_point.h"
#include "platform/catalogue.h"
#include "platform/large_memory.h"

namespace pelikon {

enum class MergeStatus { kNone, kMissing, kSame, kConflict };
enum class MergeAction { kNone, kStore, kOverwrite, kSkip, kRename };

// "missing", "same", "conflict" / "store", "overwrite", "skip", "rename";
// empty for none.
const char* MergeStatusName(MergeStatus status);
const char* MergeActionName(MergeAction action);

struct MergePoint {
  std::string id;       // the identifier it will be stored under
  std::string orig_id;  // the identifier as read
  std::string desc;
  std::string code;
  double north = 0;
  double east = 0;
  double elev = 0;
  int row = 0;  // 1-based row, 0 = not shown
  MergeStatus status = MergeStatus::kNone;
  MergeAction action = MergeAction::kNone;
};

// A point as read from a CRD file, its identifier not yet changed.
MergePoint ToMergePoint(const CrdPoint& point);
// The same, filled into `merged`.
void SetMergePoint(MergePoint& merged, const CrdPoint& point);

// One shown row: a source point, a target point or both (indices into
// Source() and Target(); -1 for none).
struct MergeRow {
  int source = -1;
  int target = -1;
};

// Both files' points and their pairing can run to hundreds of thousands:
// large tables (platform/large_memory.h).
using MergePointList = LargeVector<MergePoint>;
using MergeRowList = LargeVector<MergeRow>;

struct MergeCounts {
  int unresolved_conflicts = 0;
  int unresolved_missing = 0;
  int resolved = 0;
};

enum class RenumberFrom { kNextAvailable, kEndOfFile, kStartingAt };

// The choices of a row's action combo.
enum class RowChoice { kOverwrite, kSkip, kRenumberNext, kRenumberEnd, kStore };
// Its caption, untranslated ("Overwrite", "Skip", "Renumber Next", ...).
const char* RowChoiceText(RowChoice choice);

// How a row is marked: a decided point, an undecided conflict, an
// undecided missing point, or nothing to decide ("same" and target rows).
enum class RowMark { kPlain, kResolved, kUnresolvedConflict, kUnresolvedMissing };

// What the window says when asked for an earlier conflict that is not
// there, and when a typed identifier belongs to another source point.
inline constexpr const char* kNoPreviousConflictText = N_("No previous conflict point");
inline constexpr const char* kIdInUseText = N_("This Point Number is already in use");

// Two coordinates closer than this are equal.
inline constexpr double kMergeTolerance = 0.001;

// Lines both lists (each sorted by identifier) up: one pair per
// identifier, in identifier order.
MergeRowList PairById(const MergePointList& source, const MergePointList& target);

class MergeSession {
 public:
  // `numeric`: the target is a numeric CRD file, so new identifiers stay
  // within 1..99999. `auto_store`: missing points without an action get
  // "store" at every classification.
  MergeSession(const std::vector<CrdPoint>& source, const std::vector<CrdPoint>& target, bool numeric, bool auto_store);
  // The same from points already made merge points (see ToMergePoint), in
  // file order; taken over without a copy.
  MergeSession(MergePointList source, MergePointList target, bool numeric, bool auto_store);

  // Both sorted by identifier (natural order), stable.
  const MergePointList& Source() const { return source_; }
  const MergePointList& Target() const { return target_; }
  const MergeRowList& Rows() const { return rows_; }
  MergeCounts Counts() const;
  bool Numeric() const { return numeric_; }

  // The combo of a row: Skip and Store for a missing point, Overwrite,
  // Skip, Renumber Next and Renumber End for any other source point, none
  // for a target-only row.
  std::vector<RowChoice> ChoicesOf(size_t row) const;
  RowMark MarkOf(size_t row) const;
  // The action column: "Store", "Overwrite", "Skip" (untranslated), or empty.
  std::string ActionText(size_t row) const;

  // "Show Matching Points": "same" pairs get a row of their own.
  void SetShowMatching(bool show);
  // "Include entire Point Range when renumbering".
  void SetWholeRange(bool whole) { whole_range_ = whole; }
  bool WholeRange() const { return whole_range_; }
  // When set, bulk actions keep the current point instead of moving on
  // to the next conflict.
  void SetKeepCurrent(bool keep) { keep_current_ = keep; }

  // ---- Range ---------------------------------------------------------------
  const std::string& Range() const { return range_; }
  void SetRange(std::string_view text);
  void SetRangeAll();
  // The source rows inside the range.
  std::vector<size_t> RowsInRange() const;
  // Selecting rows: the range becomes the compact range of their source
  // points (in row order) and the first becomes current.
  void SelectRows(const std::vector<size_t>& rows);
  // Whether the conflict buttons and renumber choices / the missing
  // buttons have anything to act on.
  bool ConflictActionsEnabled() const;
  bool MissingActionsEnabled() const;

  // ---- Bulk actions on the range; each returns how many points changed ------
  int Overwrite();
  int SkipConflicts();
  int StoreMissing();
  int SkipMissing();
  // Conflicts in the range (every point with WholeRange()) get new
  // identifiers and "store". `start` is used with kStartingAt (empty: as
  // kNextAvailable). Returns -1, changing nothing, when no free identifier
  // is left (a numeric file at 99999) or `start` is not an identifier.
  int Renumber(RenumberFrom from, std::string_view start = {});
  // Every identifier back to the one read, every action cleared.
  void Reset();
  // A row's combo choice: the row's point becomes the range and the
  // matching bulk action runs, keeping the row current. False for rows
  // without a source point or with a "same" one, and when renumbering
  // found no free identifier.
  bool Choose(size_t row, RowChoice choice);

  // ---- Cell edits ----------------------------------------------------------
  // False (nothing changes) when another source point has that identifier
  // or the text is no identifier.
  bool RenamePoint(size_t source_index, std::string_view id);
  void SetDescription(size_t source_index, std::string_view text);

  // ---- Navigation ----------------------------------------------------------
  // The current source point (index into Source()), if any.
  std::optional<size_t> Current() const;
  // Moves to the next missing or conflict point; false (no current point)
  // when none is left undecided.
  bool NextConflict();
  // Moves to the last undecided point before the current one; false and
  // no change when there is none.
  bool PreviousConflict();
  // The first identifier after the current point's that no point of
  // either list uses; empty without a current point.
  std::string NextAvailable() const;
  // The first identifier after the highest source identifier that no
  // target point uses; empty when the source is empty.
  std::string EndOfFile() const;

  // The line above the statistics, translated: "Current Point #" and the
  // current point's identifier, or that no conflict is left.
  std::string CurrentText() const;
  // The statistics lines, translated: unresolved conflicts, unresolved
  // non-conflicting, resolved, and with a current point the next
  // available and end identifiers.
  std::vector<std::string> StatisticsText() const;

 private:
  void Classify();
  void AfterBulk();
  int SetActions(MergeStatus status, MergeAction action);
  bool MakeCurrent(std::optional<size_t> index);
  std::optional<size_t> IndexOf(std::string_view orig_id) const;
  bool UsedBySource(std::string_view id, std::optional<size_t> except = std::nullopt) const;
  bool UsedByTarget(std::string_view id) const;
  // The first identifier after `from` for which `taken` is false; empty
  // when the numeric limit is reached first.
  template <typename Taken>
  std::string FreeAfter(std::string from, bool include_from, Taken taken) const;

  MergePointList source_;
  MergePointList target_;
  MergeRowList rows_;
  // The source sorted and paired with the target by identifier, as of the
  // last Classify; whatever changes a source identifier clears
  // `pairs_valid_`, the rest (actions, descriptions) keeps the pairs.
  MergeRowList pairs_;
  bool pairs_valid_ = false;
  bool numeric_;
  bool auto_store_;
  bool show_matching_ = false;
  bool whole_range_ = false;
  bool keep_current_ = false;
  std::string range_;
  std::optional<std::string> current_;  // orig_id of the current point
};

}  // namespace pelikon
