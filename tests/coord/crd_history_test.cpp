#include "coord/history/crd_history.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>

#include "coord/crd/crd_file.h"
#include "coord/crd/crd_memory_storage.h"
#include "coord/history/history_commands.h"
#include "coord/history/history_rows.h"
#include "history_bytes.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace pelikon {
namespace {

using testing::HistoryBytes;

std::string State(const CrdPoint& point) {
  return StrPrintf("%s|%g|%g|%g|%s", point.Id().c_str(), point.northing, point.easting, point.elevation,
                   point.Description().c_str());
}

// What a transaction carries besides the point: identifier, command, free
// text, user and time.
std::string Carried(const HistoryEntry& entry) {
  return entry.id + "|" + std::to_string(entry.command) + "|" + entry.text + "|" + entry.user + "|" +
         std::to_string(entry.time);
}

class CrdHistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CrdEnvironment env;
    env.storage = &storage_;
    env.clock = &clock_;
    file_ = std::make_unique<CrdFile>(env);
    ASSERT_EQ(file_->Open("job.crd", 1, kCrdAlphanumeric), 1);
  }
  void PutHistory(const HistoryBytes& history) { storage_.Put("job.his", history.Bytes()); }
  std::string History() { return storage_.Get("job.his").value_or("(none)"); }
  CrdPoint Point(const char* id) {
    CrdPoint point;
    EXPECT_EQ(file_->GetPoint(id, point, true), 1) << id;
    return point;
  }
  bool Exists(const char* id) {
    CrdPoint point;
    return file_->GetPoint(id, point, true) == 1;
  }
  // Attaches a writer whose clock is `now_`.
  CrdHistoryWriter& Record() {
    return EnableHistory(*file_, std::make_unique<CrdHistoryWriter>("surveyor", [this] { return now_; }));
  }

  MemoryCrdStorage storage_;
  FakeClock clock_;
  std::unique_ptr<CrdFile> file_;
  int64_t now_ = 1000;
};

TEST_F(CrdHistoryTest, MissingMagicOnlyForeignAndDamagedFiles) {
  EXPECT_TRUE(ReadHistory(*file_).empty());
  PutHistory(HistoryBytes());
  EXPECT_TRUE(ReadHistory(*file_).empty());

  storage_.Put("job.his", std::string("CRD HISTORY V1\0", 15) + std::string("7\0\x01\x00", 4));
  TraceCapture trace;
  EXPECT_TRUE(ReadHistory(*file_).empty());
  EXPECT_NE(trace.Text().find("CRD HISTORY FAILED: job.his not valid."), std::string::npos);
  // A writer leaves a foreign file alone.
  Record();
  EXPECT_EQ(file_->StorePoint(CrdPoint("7", 1, 2, 3), true, kHistoryCommandMerge), 1);
  EXPECT_EQ(History(), std::string("CRD HISTORY V1\0", 15) + std::string("7\0\x01\x00", 4));

  // Nor does it append behind a transaction cut short, where the new one
  // would be read as the rest of the cut one.
  HistoryBytes damaged;
  damaged.Begin("7", 0x0101).Stamp(100).Begin("8", 0x0121).Stamp(200).Double(1).Drop(2);
  PutHistory(damaged);
  EXPECT_EQ(file_->StorePoint(CrdPoint("9", 1, 2, 3), true, kHistoryCommandMerge), 1);
  EXPECT_EQ(History(), damaged.Bytes());
  EXPECT_NE(trace.Text().find("job.his ends with a damaged transaction"), std::string::npos);
  EXPECT_EQ(ReadHistory(*file_, {}, false).size(), 1u);
}

TEST_F(CrdHistoryTest, OmittedItemsCarryOverAndACutTransactionEndsTheRead) {
  const std::string long_id(300, 'L');
  HistoryBytes history;
  history.Begin("1", 0x1701).Byte(16).Text("survey A").Stamp(5000).Text("ann");
  // No stamp: the time of the one before; the same text and user.
  history.Begin("2", 0x3A01).Byte(31);
  // A 300-character identifier and user: cut, and the next field still found.
  history.Begin(long_id, 0x1101).Stamp(6000).Text(std::string(200, 'u'));
  // No text and no user of its own; the text after it still refers to "survey A".
  history.Begin("3", 0x0001);
  history.Begin("4", 0x0C01);
  history.Begin("5", 0x0121).Stamp(7000).Double(1.5).Drop(3);  // cut short
  PutHistory(history);

  const HistoryList entries = ReadHistory(*file_, {}, false);
  ASSERT_EQ(entries.size(), 5u);  // newest first, the cut one gone
  EXPECT_EQ(Carried(entries[4]), "1|16|survey A|ann|5000");
  EXPECT_EQ(Carried(entries[3]), "2|31|survey A|ann|5000");
  EXPECT_EQ(Carried(entries[2]), std::string(255, 'L') + "|0||" + std::string(127, 'u') + "|6000");
  EXPECT_EQ(Carried(entries[1]), "3|0|||6000");
  EXPECT_EQ(Carried(entries[0]), "4|0|survey A||6000");

  EXPECT_EQ(ReadHistory(*file_, "2-3", false).size(), 2u);
}

TEST_F(CrdHistoryTest, CreateRenameMoveResolvesToThreeRows) {
  ASSERT_EQ(file_->StorePoint(CrdPoint("8", 500.25, 300.5, 12, "IRON PIN")), 1);
  ASSERT_EQ(file_->StorePoint(CrdPoint("9", 1, 1, 1, "OTHER")), 1);
  HistoryBytes history;
  history.Begin("7", 0x0301).Byte(16).Stamp(100);
  history.Begin("9", 0x0301).Byte(16).Stamp(150);
  history.Begin("8", 0x0304).Byte(15).Stamp(200).Text("7");
  history.Begin("8", 0x0360).Byte(90).Stamp(300).Double(100.0).Double(200.0);
  PutHistory(history);

  const HistoryList rows = ReadHistory(*file_, "8");
  ASSERT_EQ(rows.size(), 3u);
  for (const HistoryEntry& row : rows) EXPECT_TRUE(row.resolved);

  EXPECT_EQ(CommandDescription(rows[0].command), "Move Points");
  EXPECT_EQ(State(rows[0].before), "8|200|100|12|IRON PIN");
  EXPECT_EQ(State(rows[0].after), "8|500.25|300.5|12|IRON PIN");
  EXPECT_EQ(CommandDescription(rows[1].command), "Renumber Points");
  EXPECT_EQ(State(rows[1].before), "7|200|100|12|IRON PIN");
  EXPECT_EQ(State(rows[1].after), "8|200|100|12|IRON PIN");
  EXPECT_EQ(rows[2].id, "7");
  EXPECT_EQ(rows[2].latest_id, "8");
  EXPECT_EQ(State(rows[2].before), "|0|0|0|");
  EXPECT_EQ(State(rows[2].after), "7|200|100|12|IRON PIN");
}

// The current states come from one pass over the file when the history
// names many of its points, from a search per point otherwise: both give
// the same resolution, renames and points no longer stored included.
TEST_F(CrdHistoryTest, ResolvingIsTheSameWhetherTheFileIsReadWholeOrSearched) {
  ASSERT_EQ(file_->StorePoint(CrdPoint("8", 500.25, 300.5, 12, "IRON PIN")), 1);
  HistoryBytes history;
  history.Begin("7", 0x0301).Byte(16).Stamp(100);
  history.Begin("8", 0x0304).Byte(15).Stamp(200).Text("7");
  history.Begin("8", 0x0360).Byte(90).Stamp(300).Double(100.0).Double(200.0);
  history.Begin("3", 0x0301).Byte(16).Stamp(400);
  history.Begin("3", 0x03FA).Byte(17).Stamp(500).Text("GONE").Text("").Double(1).Double(2).Double(3);
  PutHistory(history);
  const auto states = [this] {
    std::string all;
    for (const HistoryEntry& entry : ReadHistory(*file_))
      all += entry.latest_id + ":" + State(entry.before) + ">" + State(entry.after) + " ";
    return all;
  };
  const std::string whole = states();
  for (int i = 100; i < 140; ++i) ASSERT_EQ(file_->StorePoint(CrdPoint(std::to_string(i), i, i, i)), 1);
  EXPECT_EQ(states(), whole);
  EXPECT_EQ(whole,
            "3:3|2|1|3|GONE>|0|0|0| 3:|0|0|0|>3|2|1|3|GONE 8:8|200|100|12|IRON PIN>8|500.25|300.5|12|IRON PIN "
            "8:7|200|100|12|IRON PIN>8|200|100|12|IRON PIN 8:|0|0|0|>7|200|100|12|IRON PIN ");
}

TEST_F(CrdHistoryTest, UndoThroughACreationDeletesThePoint) {
  ASSERT_EQ(file_->StorePoint(CrdPoint("5", 10, 20, 30, "NEW")), 1);
  ASSERT_EQ(file_->StorePoint(CrdPoint("6", 1, 2, 3, "KEPT")), 1);
  HistoryBytes history;
  history.Begin("6", 0x0101).Stamp(50);
  history.Begin("5", 0x0101).Stamp(100);
  history.Begin("5", 0x0168).Stamp(200).Text("OLD").Double(11).Double(21);
  PutHistory(history);

  HistoryList entries = ReadHistory(*file_);
  ASSERT_EQ(UndoHistory(*file_, entries, 200), 1);
  CrdPoint five = Point("5");
  EXPECT_EQ(five.Description(), "OLD");
  EXPECT_EQ(five.northing, 21);
  EXPECT_EQ(five.easting, 11);
  EXPECT_EQ(five.elevation, 30);

  entries = ReadHistory(*file_);
  ASSERT_EQ(UndoHistory(*file_, entries, 100, "5"), 1);
  EXPECT_FALSE(Exists("5"));
  EXPECT_TRUE(Exists("6"));
}

TEST_F(CrdHistoryTest, UndoFollowsARenameBackAndRestoresADeletedPoint) {
  ASSERT_EQ(file_->StorePoint(CrdPoint("8", 500, 300, 12, "PIN")), 1);
  HistoryBytes history;
  history.Begin("7", 0x0101).Stamp(100);
  history.Begin("8", 0x0104).Stamp(200).Text("7");
  history.Begin("8", 0x0160).Stamp(300).Double(100.0).Double(200.0);
  history.Begin("3", 0x01FA).Stamp(400).Text("GONE").Text("").Double(7).Double(8).Double(9);
  PutHistory(history);

  HistoryList entries = ReadHistory(*file_);
  ASSERT_EQ(UndoHistory(*file_, entries, 200), 1);
  EXPECT_FALSE(Exists("8"));
  const CrdPoint seven = Point("7");
  EXPECT_EQ(seven.northing, 200.0);
  EXPECT_EQ(seven.easting, 100.0);
  EXPECT_EQ(seven.Description(), "PIN");
  const CrdPoint three = Point("3");
  EXPECT_EQ(three.Description(), "GONE");
  EXPECT_EQ(three.northing, 8);
  EXPECT_EQ(three.elevation, 9);
}

TEST_F(CrdHistoryTest, WriterRecordsChangesAndRepeatsNothingNeedlessly) {
  Record();
  const CrdPoint a("A1", 10, 20, 30, "PIN");
  ASSERT_EQ(file_->StorePoint(a, true, kHistoryCommandMerge, "merge"), 1);
  ASSERT_EQ(file_->StorePoint(a, true, kHistoryCommandMerge, "merge"), 1);  // changes nothing
  now_ += 3;
  ASSERT_EQ(file_->StorePoint(CrdPoint("A1", 10, 25, 30, "PIN"), true, kHistoryCommandMerge, "merge"), 1);
  now_ += 3;
  ASSERT_EQ(file_->StorePoint(CrdPoint("A1", 10, 25, 30, "NAIL"), true, 0), 1);
  ASSERT_EQ(file_->StorePoint(CrdPoint("A1", 10, 25, 30, "NAIL"), true, kNoHistoryCommand, "x"), 1);
  ASSERT_EQ(file_->DeletePoints("A1"), 1);

  HistoryBytes expected;
  expected.Begin("A1", 0x1701).Byte(1).Text("merge").Stamp(1000).Text("surveyor");
  expected.Begin("A1", 0x3E20).Byte(1).Double(20);  // 3 s later: no stamp
  expected.Begin("A1", 0x3108).Stamp(1006).Text("PIN");
  expected.Begin("A1", 0x30FA).Text("NAIL").Text("").Double(25).Double(10).Double(30);
  EXPECT_EQ(History(), expected.Bytes());

  const HistoryList entries = ReadHistory(*file_);
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(Carried(entries[2]), "A1|1|merge|surveyor|1000");  // the easting change
  EXPECT_EQ(entries[0].before.Description(), "NAIL");
  EXPECT_EQ(entries[0].before.Id(), "A1");
  EXPECT_TRUE(entries[0].after.Id().empty());

  // A file closed and opened again starts over: stamp, text and user in full.
  file_->Close();
  ASSERT_EQ(file_->Open("job.crd"), 1);
  ASSERT_EQ(file_->StorePoint(CrdPoint("B", 1, 1, 1), true, kHistoryCommandUndo, "merge"), 1);
  expected.Begin("B", 0x1701).Byte(85).Text("merge").Stamp(1006).Text("surveyor");
  EXPECT_EQ(History(), expected.Bytes());
}

TEST_F(CrdHistoryTest, WriterWritesOnlyWhenEnabledAndForgetsWhatDidNotReachTheFile) {
  auto owned = std::make_unique<CrdHistoryWriter>("surveyor", [this] { return now_; });
  CrdHistoryWriter& writer = *owned;
  file_->SetHistoryRecorder(std::move(owned));
  ASSERT_EQ(file_->StorePoint(CrdPoint("1", 1, 1, 1), true, kHistoryCommandMerge), 1);
  EXPECT_FALSE(storage_.Get("job.his"));  // the flag starts off

  file_->SetHistoryEnabled(true);
  ASSERT_EQ(file_->StorePoint(CrdPoint("2", 1, 1, 1), true, kHistoryCommandMerge, "t"), 1);
  const CrdPoint two = Point("2");
  now_ += 10;
  storage_.SetReadOnly("job.his", true);
  {
    TraceCapture trace;
    EXPECT_EQ(writer.AddHistory(*file_, &two, nullptr, kHistoryCommandMerge, "u"), 0);
    EXPECT_NE(trace.Text().find("COULD NOT WRITE TO job.his"), std::string::npos);
  }
  storage_.SetReadOnly("job.his", false);
  now_ += 3;
  // Neither the failed stamp nor the failed text may be referred to.
  EXPECT_EQ(writer.AddHistory(*file_, &two, nullptr, kHistoryCommandMerge, "u"), 1);
  const HistoryList entries = ReadHistory(*file_, {}, false);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(Carried(entries[0]), "2|1|u|surveyor|1013");
  EXPECT_EQ(Carried(entries[1]), "2|1|t|surveyor|1000");
}

TEST(HistoryCommands, DescriptionsByNumber) {
  EXPECT_EQ(CommandDescription(0), "");
  EXPECT_EQ(CommandDescription(1), "Copy/Merge CRD File");
  EXPECT_EQ(CommandDescription(85), "History Undo");
  EXPECT_EQ(CommandDescription(231), "Fit Structure");
  EXPECT_EQ(CommandDescription(94), "Closure By Point Numbers");
  EXPECT_EQ(CommandDescription(81).find("<Error"), std::string::npos);
  EXPECT_EQ(CommandDescription(96), "<Error: missing command description #96>");
  EXPECT_EQ(CommandDescription(255), "<Error: missing command description #255>");
}

}  // namespace
}  // namespace pelikon

namespace pelikon {
namespace {

TEST(HistoryTimeText, TheCLibrarysFixedFormOrBlanks) {
  const char* saved = std::getenv("TZ");
  const std::string zone = saved ? saved : "";
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  EXPECT_EQ(HistoryTimeText(100), "Thu Jan  1 00:01:40 1970");
  EXPECT_EQ(HistoryTimeText(1700000000), "Tue Nov 14 22:13:20 2023");
  EXPECT_EQ(HistoryTimeText(INT64_MAX), std::string(25, ' ')) << "a time that cannot be printed";
  if (saved)
    ::setenv("TZ", zone.c_str(), 1);
  else
    ::unsetenv("TZ");
  ::tzset();
}

}  // namespace
}  // namespace pelikon
