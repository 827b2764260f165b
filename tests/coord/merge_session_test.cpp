// The merge engine on point lists: classification, bulk and row actions,
// renumbering in both variants, navigation, Reset and the report pairing.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "coord/merge/merge_report.h"
#include "coord/merge/merge_session.h"

namespace pelikon {
namespace {

CrdPoint P(const std::string& id, double north = 100, const std::string& desc = "D") {
  return CrdPoint(id, north, 200, 10, desc);
}

const MergePoint& Find(const MergeSession& session, const std::string& orig_id) {
  for (const MergePoint& point : session.Source())
    if (point.orig_id == orig_id) return point;
  ADD_FAILURE() << "no source point " << orig_id;
  static const MergePoint none;
  return none;
}

// orig_id -> "status action final-id" for every source point.
std::map<std::string, std::string> Summary(const MergeSession& session) {
  std::map<std::string, std::string> summary;
  for (const MergePoint& point : session.Source())
    summary[point.orig_id] =
        std::string(MergeStatusName(point.status)) + " " + MergeActionName(point.action) + " " + point.id;
  return summary;
}

size_t IndexOf(const MergeSession& session, const std::string& orig_id) {
  return static_cast<size_t>(&Find(session, orig_id) - session.Source().data());
}

size_t RowOf(const MergeSession& session, const std::string& orig_id) {
  return static_cast<size_t>(Find(session, orig_id).row - 1);
}

TEST(MergeSession, ClassifiesByIdentifierAndTolerance) {
  MergeSession session({P("1"), P("2"), P("5")}, {P("2"), P("3")}, true, true);
  EXPECT_EQ(Summary(session),
            (std::map<std::string, std::string>{{"1", "missing store 1"}, {"2", "same  2"}, {"5", "missing store 5"}}));
  // The same pair is hidden: rows 1, 3 (target only), 5.
  ASSERT_EQ(session.Rows().size(), 3u);
  EXPECT_EQ(session.Target()[0].row, 0);
  EXPECT_EQ(session.Rows()[1].source, -1);
  EXPECT_EQ(session.Counts().unresolved_conflicts, 0);
  EXPECT_EQ(session.Counts().resolved, 2);
  session.SetShowMatching(true);
  EXPECT_EQ(session.Rows().size(), 4u);
  EXPECT_EQ(Find(session, "2").row, session.Target()[0].row);

  // Within 0.001 on every coordinate is the same point; beyond, or another
  // description, a conflict.
  MergeSession close({P("2", 100.0000), P("3", 100.0000), P("4", 100, "D2")},
                     {P("2", 100.0004), P("3", 100.002), P("4", 100, "D")}, false, true);
  EXPECT_EQ(Find(close, "2").status, MergeStatus::kSame);
  EXPECT_EQ(Find(close, "3").status, MergeStatus::kConflict);
  EXPECT_EQ(Find(close, "4").status, MergeStatus::kConflict);
  EXPECT_EQ(Find(close, "3").action, MergeAction::kNone);
  EXPECT_EQ(close.Counts().unresolved_conflicts, 2);

  // Without auto-store missing points stay undecided.
  MergeSession manual({P("7")}, {}, false, false);
  EXPECT_EQ(Find(manual, "7").action, MergeAction::kNone);
  EXPECT_EQ(manual.Counts().unresolved_missing, 1);
}

TEST(MergeSession, RenumberNextAvailableAndEndOfFileInBothVariants) {
  for (const bool numeric : {true, false}) {
    SCOPED_TRACE(numeric ? "numeric" : "alphanumeric");
    // 3 is used in the source, 4 in the target: conflict 2 goes to 5.
    MergeSession next({P("2", 1), P("3"), P("9")}, {P("2", 2), P("4"), P("10")}, numeric, true);
    next.SetRange("2");
    EXPECT_EQ(next.Renumber(RenumberFrom::kNextAvailable), 1);
    EXPECT_EQ(Find(next, "2").id, "5");
    EXPECT_EQ(Find(next, "2").action, MergeAction::kStore);
    EXPECT_EQ(Find(next, "2").status, MergeStatus::kMissing);

    // End Of File: after the highest source identifier (9) not used in the
    // target (10 is): 11.
    MergeSession end({P("2", 1), P("3"), P("9")}, {P("2", 2), P("4"), P("10")}, numeric, true);
    EXPECT_EQ(end.EndOfFile(), "11");
    EXPECT_EQ(end.Renumber(RenumberFrom::kEndOfFile), 1);
    EXPECT_EQ(Find(end, "2").id, "11");
  }
  // Alphanumeric identifiers step their last part.
  MergeSession alpha({P("A2", 1), P("A3")}, {P("A2", 2), P("A4")}, false, true);
  alpha.SetRange("A2");
  alpha.Renumber(RenumberFrom::kNextAvailable);
  EXPECT_EQ(Find(alpha, "A2").id, "A5");
}

TEST(MergeSession, TwoConflictsRenumberedFromTen) {
  MergeSession session({P("2", 1), P("3", 1), P("11")}, {P("2", 2), P("3", 2), P("10")}, true, true);
  EXPECT_EQ(session.Renumber(RenumberFrom::kStartingAt, "10"), 2);
  // 10 is in the target, 11 in the source outside the conflicts: 12, 13.
  EXPECT_EQ(Find(session, "2").id, "12");
  EXPECT_EQ(Find(session, "3").id, "13");

  MergeSession free({P("2", 1), P("3", 1)}, {P("2", 2), P("3", 2)}, true, true);
  EXPECT_EQ(free.Renumber(RenumberFrom::kStartingAt, "10"), 2);
  EXPECT_EQ(Find(free, "2").id, "10");
  EXPECT_EQ(Find(free, "3").id, "11");
  EXPECT_EQ(free.Counts().unresolved_conflicts, 0);

  // An empty start falls back to the next available identifier.
  MergeSession empty({P("2", 1)}, {P("2", 2)}, true, true);
  EXPECT_EQ(empty.Renumber(RenumberFrom::kStartingAt, " "), 1);
  EXPECT_EQ(Find(empty, "2").id, "3");
}

TEST(MergeSession, RenumberingTheWholeRangeAndRunningOutOfIdentifiers) {
  MergeSession whole({P("1"), P("2", 1), P("5")}, {P("2", 2)}, true, true);
  whole.SetWholeRange(true);
  whole.SetRange("1-2");
  EXPECT_EQ(whole.Renumber(RenumberFrom::kStartingAt, "20"), 2);
  EXPECT_EQ(Find(whole, "1").id, "20");
  EXPECT_EQ(Find(whole, "2").id, "21");
  EXPECT_EQ(Find(whole, "5").id, "5");

  // A numeric file ends at 99999: no free identifier, nothing changes.
  MergeSession full({P("2", 1), P("3", 1)}, {P("2", 2), P("3", 2), P("99999")}, true, true);
  EXPECT_EQ(full.Renumber(RenumberFrom::kStartingAt, "99998"), -1);
  EXPECT_EQ(Find(full, "2").id, "2");
  EXPECT_EQ(Find(full, "3").action, MergeAction::kNone);
  EXPECT_EQ(full.Renumber(RenumberFrom::kStartingAt, "abc"), -1);
  // The same start in an alphanumeric file just keeps counting.
  MergeSession alpha({P("2", 1), P("3", 1)}, {P("2", 2), P("3", 2), P("99999")}, false, true);
  EXPECT_EQ(alpha.Renumber(RenumberFrom::kStartingAt, "99998"), 2);
  EXPECT_EQ(Find(alpha, "2").id, "99998");
  EXPECT_EQ(Find(alpha, "3").id, "100000");
}

// Many conflicts among many points: every renumbered point lands on an
// identifier no other point of either list holds.
TEST(MergeSession, RenumberedIdentifiersNeverCollide) {
  for (const bool numeric : {true, false}) {
    std::vector<CrdPoint> source;
    std::vector<CrdPoint> target;
    for (int i = 1; i <= 3000; ++i) {
      std::string id = numeric ? "" : "P";
      id += std::to_string(i);
      if (i % 3 != 0) source.push_back(P(id, 1));
      if (i % 2 == 0 || i % 7 == 0) target.push_back(P(id, 2));
    }
    MergeSession session(source, target, numeric, true);
    const int conflicts = session.Counts().unresolved_conflicts;
    session.SetRange(numeric ? "100-2000" : "P100-P2000");
    const int renumbered = session.Renumber(RenumberFrom::kNextAvailable);
    ASSERT_GT(renumbered, 500);
    session.SetRangeAll();
    EXPECT_EQ(session.Renumber(RenumberFrom::kEndOfFile), conflicts - renumbered);
    EXPECT_EQ(session.Counts().unresolved_conflicts, 0);
    std::map<std::string, int> uses;
    for (const MergePoint& point : session.Source()) ++uses[point.id];
    for (const MergePoint& point : session.Target()) ++uses[point.id];
    for (const MergePoint& point : session.Source()) {
      if (point.id != point.orig_id) {
        EXPECT_EQ(uses[point.id], 1) << point.orig_id << " -> " << point.id;
      }
      EXPECT_NE(point.status, MergeStatus::kConflict);
    }
  }
}

TEST(MergeSession, BulkActionsRespectTheRangeAndResetUndoesAll) {
  MergeSession session({P("1"), P("2", 1), P("3", 1), P("4", 1), P("8")}, {P("2", 2), P("3", 2), P("4", 2)}, true,
                       false);
  EXPECT_TRUE(session.ConflictActionsEnabled());
  session.SetRange("2-3");
  EXPECT_FALSE(session.MissingActionsEnabled());
  EXPECT_EQ(session.Overwrite(), 2);
  EXPECT_EQ(Find(session, "4").action, MergeAction::kNone);
  // The bulk action moves on to the next undecided point.
  ASSERT_TRUE(session.Current());
  EXPECT_EQ(session.Source()[*session.Current()].orig_id, "1");
  EXPECT_EQ(session.Range(), "1");
  session.SetRange("4-8");
  EXPECT_EQ(session.SkipConflicts(), 1);
  session.SetRangeAll();
  EXPECT_EQ(session.SkipMissing(), 2);
  session.SetRange("8");
  EXPECT_EQ(session.StoreMissing(), 1);
  EXPECT_EQ(Summary(session), (std::map<std::string, std::string>{{"1", "missing skip 1"},
                                                                  {"2", "conflict overwrite 2"},
                                                                  {"3", "conflict overwrite 3"},
                                                                  {"4", "conflict skip 4"},
                                                                  {"8", "missing store 8"}}));
  EXPECT_EQ(session.Counts().unresolved_conflicts + session.Counts().unresolved_missing, 0);

  session.SetRange("3");
  session.Renumber(RenumberFrom::kStartingAt, "50");
  ASSERT_TRUE(session.RenamePoint(IndexOf(session, "8"), "60"));
  EXPECT_EQ(Find(session, "3").id, "50");
  // Under its new identifier the point has no counterpart in the target.
  EXPECT_EQ(Find(session, "3").status, MergeStatus::kMissing);
  EXPECT_EQ(Find(session, "8").status, MergeStatus::kMissing);
  session.Reset();
  for (const MergePoint& point : session.Source()) {
    EXPECT_EQ(point.id, point.orig_id);
    EXPECT_EQ(point.action, MergeAction::kNone);
  }
  EXPECT_EQ(session.Counts().unresolved_conflicts, 3);
  EXPECT_EQ(session.Counts().unresolved_missing, 2);
}

TEST(MergeSession, RowChoicesKeepTheRowCurrent) {
  MergeSession session({P("2", 1), P("3"), P("6", 1)}, {P("2", 2), P("4"), P("6", 2)}, true, true);
  ASSERT_TRUE(session.Choose(RowOf(session, "6"), RowChoice::kRenumberNext));
  EXPECT_EQ(Find(session, "6").id, "7");
  EXPECT_EQ(session.Source()[*session.Current()].orig_id, "6");
  EXPECT_EQ(session.Range(), "7");
  ASSERT_TRUE(session.Choose(RowOf(session, "2"), RowChoice::kRenumberEnd));
  EXPECT_EQ(Find(session, "2").id, "8");  // after the highest source identifier, 7
  ASSERT_TRUE(session.Choose(RowOf(session, "3"), RowChoice::kSkip));
  EXPECT_EQ(Find(session, "3").action, MergeAction::kSkip);
  EXPECT_EQ(Find(session, "2").action, MergeAction::kStore);
  // Target-only rows have no choice.
  size_t target_row = 0;
  while (session.Rows()[target_row].source >= 0) ++target_row;
  EXPECT_FALSE(session.Choose(target_row, RowChoice::kOverwrite));
  EXPECT_TRUE(session.ChoicesOf(target_row).empty());

  // Marks and combos follow the decisions.
  MergeSession marks({P("2", 1), P("3")}, {P("2", 2)}, true, false);
  EXPECT_EQ(marks.MarkOf(RowOf(marks, "2")), RowMark::kUnresolvedConflict);
  EXPECT_EQ(marks.MarkOf(RowOf(marks, "3")), RowMark::kUnresolvedMissing);
  EXPECT_EQ(marks.ChoicesOf(RowOf(marks, "3")), (std::vector<RowChoice>{RowChoice::kSkip, RowChoice::kStore}));
  EXPECT_EQ(marks.ChoicesOf(RowOf(marks, "2")).size(), 4u);
  ASSERT_TRUE(marks.Choose(RowOf(marks, "3"), RowChoice::kStore));
  EXPECT_EQ(marks.MarkOf(RowOf(marks, "3")), RowMark::kResolved);
  EXPECT_EQ(marks.ActionText(RowOf(marks, "3")), "Store");
  EXPECT_EQ(marks.ActionText(RowOf(marks, "2")), "");
}

TEST(MergeSession, NavigationAndEdits) {
  MergeSession session({P("1"), P("2", 1), P("3", 1), P("5")}, {P("2", 2), P("3", 2)}, true, true);
  // Undecided conflicts first; then, from a current point, any later
  // conflict or missing point.
  ASSERT_TRUE(session.NextConflict());
  EXPECT_EQ(session.Source()[*session.Current()].orig_id, "2");
  EXPECT_EQ(session.NextAvailable(), "4");
  EXPECT_EQ(session.CurrentText(), "Current Point #2");
  EXPECT_EQ(session.StatisticsText(),
            (std::vector<std::string>{"Unresolved Conflicting Points: 2", "Unresolved Non-Conflicting Points: 0",
                                      "Resolved Points: 2", "Next Available Point #: 4", "End Point #: 6"}));
  EXPECT_EQ(session.EndOfFile(), "6");
  ASSERT_TRUE(session.NextConflict());
  EXPECT_EQ(session.Source()[*session.Current()].orig_id, "3");
  ASSERT_TRUE(session.NextConflict());
  EXPECT_EQ(session.Source()[*session.Current()].orig_id, "5");
  // Nothing after 5: from the top, the first undecided one.
  ASSERT_TRUE(session.NextConflict());
  EXPECT_EQ(session.Source()[*session.Current()].orig_id, "2");
  EXPECT_FALSE(session.PreviousConflict());
  session.SelectRows({RowOf(session, "3"), RowOf(session, "5"), RowOf(session, "1")});
  EXPECT_EQ(session.Range(), "3,5,1");
  EXPECT_EQ(session.Source()[*session.Current()].orig_id, "3");
  ASSERT_TRUE(session.PreviousConflict());
  EXPECT_EQ(session.Source()[*session.Current()].orig_id, "2");

  // Renaming onto another source point is refused; onto a target point
  // makes a conflict, whose "store" is withdrawn so nothing is replaced
  // unasked.
  const size_t one = IndexOf(session, "1");
  EXPECT_FALSE(session.RenamePoint(one, "5"));
  EXPECT_FALSE(session.RenamePoint(one, " "));
  EXPECT_FALSE(session.RenamePoint(one, "0003"));  // "3" once normalised
  session.SetDescription(IndexOf(session, "5"), "moved");
  EXPECT_EQ(Find(session, "5").desc, "moved");
  MergeSession onto({P("7", 1)}, {P("8", 2)}, true, true);
  ASSERT_TRUE(onto.RenamePoint(0, "8"));
  EXPECT_EQ(Find(onto, "7").status, MergeStatus::kConflict);
  EXPECT_EQ(Find(onto, "7").action, MergeAction::kNone);
}

TEST(MergeReport, PairsTenWithTenWhenNineExists) {
  MergeSession session({P("10", 5), P("9")}, {P("10", 6), P("2")}, true, true);
  const std::vector<MergeReportEntry> entries = MergeReportEntries(session);
  ASSERT_EQ(entries.size(), 3u);
  auto value = [](const MergeReportEntry& entry, const std::string& key) {
    for (const MergeReportToken& token : entry)
      if (key == token.key) return token.text;
    return std::string("(none)");
  };
  EXPECT_EQ(value(entries[0], "PTNUM"), "2");
  EXPECT_EQ(value(entries[0], "START_PTNUM"), "(none)");
  EXPECT_EQ(value(entries[1], "START_PTNUM"), "9");
  EXPECT_EQ(value(entries[1], "STATUS"), "Missing");
  EXPECT_EQ(value(entries[1], "ACTION"), "Store");
  EXPECT_EQ(value(entries[2], "PTNUM"), "10");
  EXPECT_EQ(value(entries[2], "START_PTNUM"), "10");
  EXPECT_EQ(value(entries[2], "NORTH"), "6.000");
  EXPECT_EQ(value(entries[2], "NEW_NORTH"), "5.000");
  EXPECT_EQ(value(entries[2], "STATUS"), "Conflict");
  std::vector<std::string> keys;
  for (const MergeReportToken& token : entries[2]) keys.push_back(token.key);
  EXPECT_EQ(keys, (std::vector<std::string>{"PTNUM", "NORTH", "EAST", "ELEV", "DESC", "START_PTNUM", "MERGE_PTNUM",
                                            "NEW_NORTH", "NEW_EAST", "NEW_ELEV", "NEW_DESC", "STATUS", "ACTION"}));
}

}  // namespace
}  // namespace pelikon
