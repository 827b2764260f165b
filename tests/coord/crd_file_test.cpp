#include "coord/crd/crd_file.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "coord/crd/crd_layout.h"
#include "coord/crd/crd_memory_storage.h"
#include "coord/crd/crd_stream.h"
#include "crd_bytes.h"
#include "platform/trace.h"
#include "support/temp_dir.h"

namespace pelikon {
namespace {

using testing::AlphaFileBytes;
using testing::AlphaIds;
using testing::DoubleAt;
using testing::FileBytes;
using testing::NumericFileBytes;
using testing::TempDir;
using testing::TextAt;

class CrdFileTest : public ::testing::Test {
 protected:
  CrdEnvironment Environment() {
    CrdEnvironment env;
    env.clock = &clock_;
    env.today = [] { return CivilDate{2011, 6, 5}; };
    return env;
  }
  // A new file of `format` at `name`, open.
  std::unique_ptr<CrdFile> Create(const char* name, int format) {
    auto file = std::make_unique<CrdFile>(Environment());
    EXPECT_EQ(file->Open(dir_ / name, 1, format), 1);
    return file;
  }
  std::unique_ptr<CrdFile> OpenExisting(const std::filesystem::path& path) {
    auto file = std::make_unique<CrdFile>(Environment());
    EXPECT_EQ(file->Open(path), 1);
    return file;
  }
  std::vector<std::string> Walk(CrdFile& file, std::string_view range) {
    file.SetRange(range);
    std::vector<std::string> ids;
    for (CrdPoint p; file.Next(p);) ids.push_back(p.Id());
    return ids;
  }

  TempDir dir_;
  FakeClock clock_;
};

TEST_F(CrdFileTest, NewAlphanumericFileHeaderAndFirstRecord) {
  auto file = Create("job.crd", -1);  // alphanumeric unless asked otherwise
  EXPECT_EQ(file->Format(), kCrdAlphanumeric);
  EXPECT_EQ(file->Lowest(), "");
  EXPECT_EQ(file->Highest(), "");
  EXPECT_EQ(file->PointCount(), 0);
  std::string bytes = FileBytes(dir_ / "job.crd");
  ASSERT_EQ(bytes.size(), 104u);
  EXPECT_EQ(DoubleAt(bytes, 0), 0.0);
  EXPECT_EQ(TextAt(bytes, 8, 32), "06/05/2011");
  EXPECT_EQ(TextAt(bytes, 40, 32), "");
  EXPECT_EQ(TextAt(bytes, 72, 32), "New CRD Format2");

  ASSERT_EQ(file->StorePoint(CrdPoint("P1", 100.5, 200.25, 3.0, "IRON PIN")), 1);
  bytes = FileBytes(dir_ / "job.crd");
  ASSERT_EQ(bytes.size(), 170u);
  EXPECT_EQ(DoubleAt(bytes, 104), 100.5);
  EXPECT_EQ(DoubleAt(bytes, 112), 200.25);
  EXPECT_EQ(DoubleAt(bytes, 120), 3.0);
  EXPECT_EQ(TextAt(bytes, 128, 32), "IRON PIN");
  EXPECT_EQ(TextAt(bytes, 160, 10), "P1");
  EXPECT_EQ(file->Lowest(), "P1");
  EXPECT_EQ(file->Highest(), "P1");
}

TEST_F(CrdFileTest, AlphanumericStoresKeepNaturalOrder) {
  auto file = Create("job.crd", kCrdAlphanumeric);
  for (const char* id : {"1", "10", "2", "A1", "a2", " 1-A "})
    ASSERT_EQ(file->StorePoint(CrdPoint(id, 1, 2, 3)), 1) << id;
  EXPECT_EQ(AlphaIds(FileBytes(dir_ / "job.crd")), (std::vector<std::string>{"1", "1_A", "2", "10", "A1", "A2"}));
  EXPECT_EQ(file->Lowest(), "1");
  EXPECT_EQ(file->Highest(), "A2");

  // Overwriting keeps the count; the lookup normalises like the store.
  ASSERT_EQ(file->StorePoint(CrdPoint("a1", 7, 8, 9, "NEW")), 1);
  EXPECT_EQ(file->PointCount(), 6);
  CrdPoint p;
  ASSERT_EQ(file->GetPoint("a1", p), 1);
  EXPECT_EQ(p.Id(), "A1");
  EXPECT_EQ(p.Description(), "NEW");
  EXPECT_EQ(p.northing, 7);
  ASSERT_EQ(file->GetPointNear("a2 ", p, true, 1), 1);  // the highest, in the form it would be stored in
  EXPECT_EQ(p.Id(), "A2");

  TraceCapture trace;
  EXPECT_EQ(file->StorePoint(CrdPoint("ABCDEFGHIJ", 1, 1, 1)), 0);
  EXPECT_EQ(file->LastError(), kCrdIdTooLong);
  EXPECT_EQ(file->StorePoint(CrdPoint("   ", 1, 1, 1)), 0);
  EXPECT_EQ(file->LastError(), kCrdIdEmpty);
  EXPECT_EQ(file->StorePoint(CrdPoint("B", 1, 1, 1, std::string(32, 'd'))), 0);
  EXPECT_EQ(file->LastError(), kCrdDescriptionTooLong);
  EXPECT_EQ(file->StorePoint(CrdPoint("B", 1, 1, 1, std::string(31, 'd'))), 1);
  EXPECT_EQ(trace.Text(), "\nInvalid point number: empty string.");
  EXPECT_EQ(file->GetPoint("ZZ", p), 0);
  EXPECT_EQ(file->LastError(), kCrdNotFound);
  EXPECT_EQ(trace.Text(), "\nInvalid point number: empty string.\nRequested point# ZZ has no coordinate stored.");
}

TEST_F(CrdFileTest, NumericSlotsHeaderAndZeroPoint) {
  auto file = Create("num.crd", kCrdNumeric);
  EXPECT_EQ(file->Format(), kCrdNumeric);
  std::string bytes = FileBytes(dir_ / "num.crd");
  ASSERT_EQ(bytes.size(), 56u);
  EXPECT_DOUBLE_EQ(DoubleAt(bytes, 16), 2011.0605);
  EXPECT_EQ(file->HeaderDate(), "2011.0605");

  ASSERT_EQ(file->StorePoint(CrdPoint("5", 10, 20, 30, "FIVE")), 1);
  bytes = FileBytes(dir_ / "num.crd");
  ASSERT_EQ(bytes.size(), 56u * 6);
  EXPECT_EQ(DoubleAt(bytes, 0), 5.0);
  for (int slot = 1; slot <= 4; ++slot) {
    EXPECT_EQ(DoubleAt(bytes, 56 * slot + 16), 0.0);
    EXPECT_EQ(TextAt(bytes, 56 * slot + 24, 32), " ");
  }
  EXPECT_EQ(TextAt(bytes, 56 * 5 + 24, 32), "FIVE");
  EXPECT_EQ(file->Highest(), "5");

  ASSERT_EQ(file->StorePoint(CrdPoint("2", 0, 0, 0, "ORIGIN")), 1);
  EXPECT_EQ(DoubleAt(FileBytes(dir_ / "num.crd"), 56 * 2 + 16), 0.000001);
  CrdPoint p;
  ASSERT_EQ(file->GetPoint("2", p), 1);
  EXPECT_EQ(p.elevation, 0.0);
  ASSERT_EQ(file->GetPoint("007", p, true), 0);  // 7 lies above the highest
  ASSERT_EQ(file->StorePoint(CrdPoint("7", 1, 1, 1)), 1);
  ASSERT_EQ(file->GetPoint("007", p), 1);
  EXPECT_EQ(p.Id(), "7");
  EXPECT_EQ(file->GetPoint("3", p, true), 0);  // an empty slot
  EXPECT_EQ(file->LastError(), kCrdNotFound);

  TraceCapture trace;
  EXPECT_EQ(file->StorePoint(CrdPoint("7A", 1, 1, 1)), 0);
  EXPECT_EQ(file->LastError(), kCrdIdNotNumeric);
  EXPECT_EQ(file->StorePoint(CrdPoint("100000", 1, 1, 1)), 0);
  EXPECT_EQ(file->LastError(), kCrdIdTooHigh);
  EXPECT_EQ(file->StorePoint(CrdPoint("0", 1, 1, 1)), 0);
  EXPECT_EQ(file->LastError(), kCrdIdBelowOne);
  EXPECT_EQ(trace.Text(),
            "\nError: pt# 7A invalid for current CRD format of numeric only point numbers."
            "\nError: Point number must be less than 100000."
            "\nError: Point number must be greater than 0.");
  EXPECT_EQ(file->StorePoint(CrdPoint("99999", 1, 1, 1)), 1);
  EXPECT_EQ(file->Highest(), "99999");

  const CrdIO& io = *file->Handler();
  EXPECT_EQ(io.ValidateId("007"), kCrdOk);
  EXPECT_EQ(io.ValidateId("7A"), kCrdIdNotNumeric);
  EXPECT_EQ(io.ValidateId("0"), kCrdIdBelowOne);
  EXPECT_EQ(io.ValidateId("100000"), kCrdIdTooHigh);
  EXPECT_EQ(io.ValidateId("0000001"), kCrdIdTooLong);
  EXPECT_EQ(io.ValidateId(""), kCrdIdEmpty);

  std::string id = "99999";
  EXPECT_EQ(file->NextPointId(id, 1), 0);
  EXPECT_EQ(id, "99999");
}

TEST_F(CrdFileTest, LookupInEitherDirection) {
  for (int format : {kCrdNumeric, kCrdAlphanumeric}) {
    auto file = Create(format == kCrdNumeric ? "n.crd" : "a.crd", format);
    for (const char* id : {"2", "4", "6"}) ASSERT_EQ(file->StorePoint(CrdPoint(id, 1, 1, 1)), 1);
    CrdPoint p;
    ASSERT_EQ(file->GetPointNear("3", p, true, 1), 1);
    EXPECT_EQ(p.Id(), "4");
    ASSERT_EQ(file->GetPointNear("5", p, true, -1), 1);
    EXPECT_EQ(p.Id(), "4");
    ASSERT_EQ(file->GetPointNear("4", p, true, -1), 1);
    EXPECT_EQ(p.Id(), "4");
    ASSERT_EQ(file->GetPointNear("1", p, true, 1), 1);
    EXPECT_EQ(p.Id(), "2");
    EXPECT_EQ(file->GetPointNear("7", p, true, 1), 0);
    EXPECT_EQ(file->GetPointNear("1", p, true, -1), 0);
    EXPECT_EQ(file->GetPoint("5", p, true), 0);
  }
  // Two records: the search has no probe between them to start from.
  auto pair = Create("pair.crd", kCrdAlphanumeric);
  for (const char* id : {"2", "4"}) ASSERT_EQ(pair->StorePoint(CrdPoint(id, 1, 1, 1)), 1);
  CrdPoint p;
  ASSERT_EQ(pair->GetPointNear("3", p, true, 1), 1);
  EXPECT_EQ(p.Id(), "4");
  ASSERT_EQ(pair->GetPointNear("3", p, true, -1), 1);
  EXPECT_EQ(p.Id(), "2");
}

TEST_F(CrdFileTest, RangesRunInTheWrittenDirection) {
  for (int format : {kCrdNumeric, kCrdAlphanumeric}) {
    auto file = Create(format == kCrdNumeric ? "n.crd" : "a.crd", format);
    for (const char* id : {"1", "2", "3", "5", "8", "9"}) ASSERT_EQ(file->StorePoint(CrdPoint(id, 1, 1, 1)), 1);
    EXPECT_EQ(Walk(*file, "5-1"), (std::vector<std::string>{"5", "3", "2", "1"}));
    EXPECT_EQ(Walk(*file, "1-5"), (std::vector<std::string>{"1", "2", "3", "5"}));
    EXPECT_EQ(Walk(*file, "9, 4-6 ,7-7,8-"), (std::vector<std::string>{"9", "5", "8"}));
    EXPECT_EQ(Walk(*file, ""), (std::vector<std::string>{"1", "2", "3", "5", "8", "9"}));
    EXPECT_EQ(Walk(*file, "-5"), std::vector<std::string>{});
    EXPECT_EQ(file->PointCount("2-8"), 4);
  }
}

TEST_F(CrdFileTest, AllOnANumericFileCountsStoredPointsNotSlots) {
  auto file = Create("n.crd", kCrdNumeric);
  ASSERT_EQ(file->StorePoint(CrdPoint("3", 1, 1, 1)), 1);
  ASSERT_EQ(file->StorePoint(CrdPoint("10", 1, 1, 1)), 1);
  EXPECT_EQ(file->PointCount(), 10);
  EXPECT_EQ(file->PointCount("ALL"), 2);
  file->SetRange("all", true);
  std::vector<std::string> ids;
  for (CrdPoint p; file->Next(p);) ids.push_back(p.Id());
  EXPECT_EQ(ids, (std::vector<std::string>{"3", "10"}));
}

TEST_F(CrdFileTest, OlderUnsortedFileIsSortedOnFirstOpenThroughATwin) {
  const auto path = dir_.Write("old.crd", AlphaFileBytes({{"B7", 1, 2, 3, "b"},
                                                          {"10", 4, 5, 6, "ten"},
                                                          {"A1", 7, 8, 9, "first a1"},
                                                          {"2", 1, 1, 1, "two"},
                                                          {"A1", 9, 9, 9, "second a1"}},
                                                         "New CRD Format"));
  {
    auto file = OpenExisting(path);
    EXPECT_EQ(file->Lowest(), "2");
    EXPECT_EQ(file->Highest(), "B7");
    EXPECT_EQ(file->HeaderText(), "JOB TEXT");
    EXPECT_EQ(file->HeaderNumber(), "12.500");
    EXPECT_EQ(file->HeaderDate(), "01/02/2003");
  }
  const std::string bytes = FileBytes(path);
  EXPECT_EQ(TextAt(bytes, 72, 32), "New CRD Format2");
  EXPECT_EQ(TextAt(bytes, 40, 32), "JOB TEXT");
  // Records of one identifier: the later one goes first; none is lost.
  EXPECT_EQ(AlphaIds(bytes), (std::vector<std::string>{"2", "10", "A1", "A1", "B7"}));
  EXPECT_EQ(TextAt(bytes, 104 + 66 * 2 + 24, 32), "second a1");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "old.crd.new"));
}

TEST_F(CrdFileTest, LockedFileWaitsThenGivesUp) {
  const auto path = dir_.Write("busy.crd", AlphaFileBytes({{"1", 1, 1, 1, ""}}));
  CrdStream holder;
  ASSERT_TRUE(holder.Open(path));
  TraceCapture trace;
  CrdFile file(Environment());
  EXPECT_EQ(file.Open(path), 0);
  EXPECT_EQ(clock_.SleptMs(), 21500u);
  EXPECT_EQ(trace.Text(),
            "\nWaiting 1.5 seconds to obtain file lock..."
            "\nWaiting 5 seconds to obtain file lock..."
            "\nWaiting 15 seconds to obtain file lock..."
            "\nError 1: Could not open file: " +
                path.string() + "\nIt might be read-only or in use by another application.\n");
  EXPECT_EQ(file.LastError(), kCrdCannotOpen);
}

TEST_F(CrdFileTest, LockReleasedDuringTheWaitsOpens) {
  const auto path = dir_.Write("busy.crd", AlphaFileBytes({{"1", 1, 1, 1, ""}}));
  CrdStream holder;
  ASSERT_TRUE(holder.Open(path));
  int waits = 0;
  clock_.OnAdvance([&](uint64_t) {
    if (++waits == 2) holder.Close();  // the other program lets go during the second wait
  });
  CrdFile file(Environment());
  EXPECT_EQ(file.Open(path), 1);
  EXPECT_EQ(clock_.SleptMs(), 6500u);
  // While open, the file is locked against every other opener.
  CrdStream other;
  EXPECT_FALSE(other.Open(path));
  EXPECT_FALSE(CanOpenForUpdate(path));
  file.Close();
  EXPECT_TRUE(other.Open(path));
}

TEST_F(CrdFileTest, HeaderValuesAreRewrittenAtOnce) {
  auto num = Create("n.crd", kCrdNumeric);
  ASSERT_EQ(num->SetHeaderText("SITE 7 BOUNDARY SURVEY WITH A LONG NAME"), 1);
  ASSERT_EQ(num->SetHeaderNumber("4.5"), 1);
  ASSERT_EQ(num->SetHeaderDate("12/31/2020"), 1);
  std::string bytes = FileBytes(dir_ / "n.crd");
  EXPECT_EQ(TextAt(bytes, 24, 32), "SITE 7 BOUNDARY SURVEY WITH A L");
  EXPECT_EQ(DoubleAt(bytes, 8), 4.5);
  EXPECT_DOUBLE_EQ(DoubleAt(bytes, 16), 2020.1231);

  auto alpha = Create("a.crd", kCrdAlphanumeric);
  ASSERT_EQ(alpha->CopyFrom(*num), 1);
  bytes = FileBytes(dir_ / "a.crd");
  EXPECT_EQ(TextAt(bytes, 40, 32), "SITE 7 BOUNDARY SURVEY WITH A L");
  EXPECT_EQ(DoubleAt(bytes, 0), 4.5);
  EXPECT_EQ(TextAt(bytes, 8, 32), "12/31/2020");
  EXPECT_EQ(TextAt(bytes, 72, 32), "New CRD Format2");
}

TEST_F(CrdFileTest, DeletingARangeKeepsTheRestAndTheHeader) {
  auto file = Create("job.crd", kCrdAlphanumeric);
  for (const char* id : {"1", "2", "3", "4", "A", "B"}) ASSERT_EQ(file->StorePoint(CrdPoint(id, 1, 1, 1, id)), 1);
  ASSERT_EQ(file->SetHeaderText("KEEP ME"), 1);
  EXPECT_EQ(file->DeletePoints("3-2,B"), 3);
  EXPECT_EQ(Walk(*file, "ALL"), (std::vector<std::string>{"1", "4", "A"}));
  EXPECT_EQ(file->HeaderText(), "KEEP ME");
  EXPECT_EQ(file->Lowest(), "1");
  EXPECT_EQ(file->Highest(), "A");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "job_.crd"));

  dir_.Write("job.his", "history");
  dir_.Write("job.grp", "groups");
  ASSERT_EQ(file->ClearAll(), 1);
  EXPECT_EQ(file->PointCount(), 0);
  EXPECT_EQ(file->HeaderText(), "KEEP ME");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "job.his"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "job.grp"));

  auto numeric = Create("n.crd", kCrdNumeric);
  for (const char* id : {"1", "5", "9"}) ASSERT_EQ(numeric->StorePoint(CrdPoint(id, 1, 1, 1)), 1);
  EXPECT_EQ(numeric->DeletePoints("9"), 1);
  EXPECT_EQ(numeric->Highest(), "5");
  EXPECT_EQ(FileBytes(dir_ / "n.crd").size(), 56u * 6);
}

TEST_F(CrdFileTest, RenameCopyAndDelete) {
  auto a = Create("a.crd", kCrdAlphanumeric);
  ASSERT_EQ(a->StorePoint(CrdPoint("X1", 1, 2, 3)), 1);
  auto b = Create("b.crd", kCrdAlphanumeric);
  ASSERT_EQ(a->Handler()->CopyTo(*b->Handler()), 1);
  CrdPoint p;
  EXPECT_EQ(b->GetPoint("X1", p), 1);
  EXPECT_EQ(FileBytes(dir_ / "a.crd"), FileBytes(dir_ / "b.crd"));

  ASSERT_EQ(a->RenameTo(dir_ / "c.crd"), 1);
  EXPECT_EQ(a->Path(), dir_ / "c.crd");
  EXPECT_EQ(a->GetPoint("X1", p), 1);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "a.crd"));

  dir_.Write("c.his", "h");
  ASSERT_EQ(a->DeleteFile(true), 1);
  EXPECT_FALSE(a->IsOpen());
  EXPECT_FALSE(std::filesystem::exists(dir_ / "c.crd"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "c.his"));
}

TEST_F(CrdFileTest, FormatsAndNames) {
  EXPECT_EQ(TempNameFor("/data/job.crd", kCrdAlphanumeric), std::filesystem::path("/data/job_.crd"));
  EXPECT_EQ(TempNameFor("job", kCrdNumeric), std::filesystem::path("job_.crd"));
  EXPECT_EQ(FormatOfExtension("x.CGC"), kCgcFile);
  EXPECT_EQ(FormatOfExtension("x.txt"), kNoFormat);
  EXPECT_EQ(ExtensionOfFormat(kZakFile), "zak");
  ProcessCrdDefaults().new_format = kCrdNumeric;
  EXPECT_EQ(FormatOfExtension("x.crd"), kCrdNumeric);
  auto file = Create("made.crd", -1);
  EXPECT_EQ(file->Format(), kCrdNumeric);
  EXPECT_EQ(ProcessCrdDefaults().new_format, kCrdAlphanumeric);  // every open puts it back

  CrdFile other(Environment());
  EXPECT_EQ(other.Open(dir_ / "x.cgc", 1), 0);  // known by name only
  dir_.Write("text.txt", "not a coordinate file");
  EXPECT_EQ(other.Open(dir_ / "text.txt"), 0);
}

// The in-memory store stands in for the disk in fuzzing: the same work
// must leave the same files behind on both, and lock the same way.
TEST_F(CrdFileTest, MemoryStorageLeavesTheSameFilesAsTheDisk) {
  MemoryCrdStorage memory;
  const std::string unsorted = AlphaFileBytes({{"B2", 2, 2, 2, "b"}, {"A1", 1, 1, 1, "a"}}, "New CRD Format");
  memory.Put(dir_ / "old.crd", unsorted);
  dir_.Write("old.crd", unsorted);
  auto work = [&](CrdStorage& storage) {
    CrdEnvironment env = Environment();
    env.storage = &storage;
    CrdFile numeric(env);
    EXPECT_EQ(numeric.Open(dir_ / "n.crd", 1, kCrdNumeric), 1);
    EXPECT_EQ(numeric.StorePoints(std::vector<CrdPoint>{CrdPoint("4", 4, 4, 4, "d"), CrdPoint("2", 2, 2, 2)}), 2);
    EXPECT_EQ(numeric.StorePoint(CrdPoint("7", 7, 7, 7)), 1);
    EXPECT_EQ(numeric.DeletePoints("2"), 1);
    CrdFile other(env);
    EXPECT_EQ(other.Open(dir_ / "n.crd"), 0) << "held by the first";
    CrdFile alpha(env);
    EXPECT_EQ(alpha.Open(dir_ / "old.crd"), 1);  // sorted through a twin
    EXPECT_EQ(alpha.StorePoint(CrdPoint("A2", 3, 3, 3)), 1);
    EXPECT_EQ(alpha.SetHeaderText("MEMORY OR DISK"), 1);
    EXPECT_EQ(alpha.RenameTo(dir_ / "new.crd"), 1);
    CrdFile copy(env);
    EXPECT_EQ(copy.Open(dir_ / "copy.crd", 1, kCrdAlphanumeric), 1);
    EXPECT_EQ(alpha.Handler()->CopyTo(*copy.Handler()), 1);
  };
  work(SystemCrdStorage());
  work(memory);
  std::vector<std::string> on_disk;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.Path()))
    on_disk.push_back(entry.path().filename().string());
  std::sort(on_disk.begin(), on_disk.end());
  std::vector<std::string> in_memory;
  for (const auto& path : memory.Paths()) in_memory.push_back(path.filename().string());
  std::sort(in_memory.begin(), in_memory.end());
  EXPECT_EQ(in_memory, on_disk);
  EXPECT_EQ(on_disk, (std::vector<std::string>{"copy.crd", "n.crd", "new.crd"}));
  for (const std::string& name : on_disk) EXPECT_EQ(memory.Get(dir_ / name), FileBytes(dir_ / name)) << name;
}

}  // namespace
}  // namespace pelikon
