// What the transfer engines share: check sums, start options, the file
// source, and landing received files safely.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "link/transfer/crc.h"
#include "link/transfer/file_source.h"
#include "link/transfer/received_file.h"
#include "link/transfer/start_options.h"
#include "platform/atomic_file.h"
#include "support/temp_dir.h"

namespace pelikon {
namespace {

using testing::TempDir;

TEST(Crc, ReferenceVectorsAndResidue) {
  const std::string check = "123456789";
  const auto* data = reinterpret_cast<const uint8_t*>(check.data());
  EXPECT_EQ(Crc16(data, check.size()), 0x31C3);
  EXPECT_EQ(Crc32(data, check.size()), 0xCBF43926u);
  // Data followed by its CRC-32 (low byte first) leaves the residue.
  uint32_t crc = 0xFFFFFFFFu;
  for (uint8_t b : check) crc = Crc32Update(crc, b);
  const uint32_t sent = ~crc;
  for (int i = 0; i < 4; ++i) crc = Crc32Update(crc, static_cast<uint8_t>(sent >> (8 * i)));
  EXPECT_EQ(crc, kCrc32Residue);
  // And CRC-16 (high byte first) leaves zero.
  uint16_t c16 = Crc16(data, check.size());
  uint16_t run = 0;
  for (uint8_t b : check) run = Crc16Update(run, b);
  run = Crc16Update(run, static_cast<uint8_t>(c16 >> 8));
  run = Crc16Update(run, static_cast<uint8_t>(c16));
  EXPECT_EQ(run, 0);
}

TEST(StartOptions, EachEngineAndDirectionAcceptsItsOwnCodes) {
  StartOptions o;
  EXPECT_EQ(ParseStartOptions({1007, 27, 0}, TransferEngine::kZmodem, false, o), 0);
  EXPECT_EQ(o.abort_key, 27);
  EXPECT_EQ(ParseStartOptions({1029, 8192}, TransferEngine::kZmodem, false, o), -7) << "window is a sender's option";
  StartOptions s;
  EXPECT_EQ(ParseStartOptions({1017, 1019, 1028, 3, 1029, 8192, 1005}, TransferEngine::kZmodem, true, s), 0);
  EXPECT_FALSE(s.streaming);
  EXPECT_EQ(s.management, 3);
  EXPECT_EQ(s.retry_limit, 3);
  EXPECT_EQ(s.window, 8192);
  EXPECT_FALSE(s.strip_path);
  EXPECT_EQ(ParseStartOptions({1028}, TransferEngine::kZmodem, true, s), -7) << "missing value";
  EXPECT_EQ(ParseStartOptions({1028, 0}, TransferEngine::kZmodem, true, s), -7) << "no retries at all";
  EXPECT_EQ(ParseStartOptions({1002}, TransferEngine::kZmodem, true, s), -7);
  EXPECT_EQ(ParseStartOptions({1002, 1003, 1004}, TransferEngine::kKermit, true, s), 0);
  EXPECT_EQ(ParseStartOptions({1002}, TransferEngine::kKermit, false, s), -7);
  EXPECT_EQ(ParseStartOptions({1014}, TransferEngine::kKermit, false, s), -7);
  EXPECT_EQ(ParseStartOptions({0, 9999}, TransferEngine::kKermit, false, s), 0) << "0 ends the list";
}

TEST(ReceivedNames, AreReducedToSafeBareNames) {
  EXPECT_EQ(SafeReceivedName("JOB1.CRD"), "JOB1.CRD");
  EXPECT_EQ(SafeReceivedName("\\Ostrel\\Jobs\\JOB1.CRD"), "JOB1.CRD");
  EXPECT_EQ(SafeReceivedName("C:JOB1.CRD"), "JOB1.CRD");
  EXPECT_EQ(SafeReceivedName("../../etc/passwd"), "passwd");
  EXPECT_EQ(SafeReceivedName("my job.rw5"), "my job.rw5");
  EXPECT_EQ(SafeReceivedName(""), "");
  EXPECT_EQ(SafeReceivedName("jobs/"), "");
  EXPECT_EQ(SafeReceivedName(".."), "");
  EXPECT_EQ(SafeReceivedName("a\\.."), "");
  EXPECT_EQ(SafeReceivedName("."), "");
  EXPECT_EQ(SafeReceivedName("bad\nname"), "");
  EXPECT_EQ(SafeReceivedName(std::string("nul\0x", 5)), "");
}

TEST(ReceivedFile, ReplacesTheDestinationOnlyWhenCommitted) {
  TempDir dir;
  const auto destination = dir.Write("job.crd", "old");
  ::chmod(destination.c_str(), 0640);
  {
    ReceivedFile file;
    ASSERT_TRUE(file.Open(dir.Path(), "job.crd", false));
    ASSERT_TRUE(file.Write(reinterpret_cast<const uint8_t*>("new!"), 4));
    std::string now;
    ReadWholeFile(destination, now);
    EXPECT_EQ(now, "old") << "nothing changes before the commit";
  }  // abandoned: discarded
  std::string now;
  ReadWholeFile(destination, now);
  EXPECT_EQ(now, "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1) << "no temporary file left";

  ReceivedFile file;
  ASSERT_TRUE(file.Open(dir.Path(), "job.crd", true));
  EXPECT_EQ(file.Length(), 3) << "continuing keeps what is there";
  ASSERT_TRUE(file.Write(reinterpret_cast<const uint8_t*>("+tail"), 5));
  ASSERT_TRUE(file.Commit(1000000000));
  ReadWholeFile(destination, now);
  EXPECT_EQ(now, "old+tail");
  struct stat info {};
  ASSERT_EQ(::stat(destination.c_str(), &info), 0);
  EXPECT_EQ(info.st_mtime, 1000000000);
  EXPECT_EQ(info.st_mode & 0777, 0640u) << "a replaced file keeps its permissions";
}

TEST(ReceivedFile, LocalStampsRoundTrip) {
  ::setenv("TZ", "America/Denver", 1);
  ::tzset();
  // 2005-07-01 12:00:00 local time, sent as if it were universal time.
  const int64_t stamp = 1120219200;
  const int64_t epoch = LocalStampToEpoch(stamp);
  EXPECT_EQ(epoch, stamp + 6 * 3600) << "summer: six hours behind";
  EXPECT_EQ(EpochToLocalStamp(epoch), stamp);
  EXPECT_EQ(LocalStampToEpoch(stamp + 1) % 2, 0) << "file dates have two-second steps";
  ::unsetenv("TZ");
  ::tzset();
}

using Names = std::vector<std::string>;

// Every file `source` yields, relative to `root`; `ended` gets the result
// that ended it (0 exhausted, or an error).
Names Drain(FileSource source, const std::filesystem::path& root, int* ended = nullptr) {
  Names found;
  std::filesystem::path file;
  int result;
  while ((result = source.Next(file)) == 1) found.push_back(file.lexically_relative(root).string());
  if (ended) *ended = result;
  return found;
}

TEST(FileSource, NamesPatternsAndSubfolders) {
  TempDir dir;
  dir.Write("a.crd", "");
  dir.Write("b.CRD", "");
  dir.Write("c.txt", "");
  dir.Write("sub/d.crd", "");
  int ended = 1;
  EXPECT_EQ(Drain(FileSource({(dir / "*.crd").string()}, false), dir.Path(), &ended), (Names{"a.crd", "b.CRD"}));
  EXPECT_EQ(ended, 0);
  EXPECT_EQ(Drain(FileSource({(dir / "*.crd").string()}, true), dir.Path()), (Names{"a.crd", "b.CRD", "sub/d.crd"}));
  EXPECT_EQ(Drain(FileSource({(dir / "c.txt").string(), (dir / "missing.crd").string()}, false), dir.Path()),
            (Names{"c.txt", "missing.crd"}))
      << "a plain name fails when opened";
  EXPECT_EQ(Drain(FileSource({(dir / "nowhere" / "*.crd").string()}, false), dir.Path(), &ended), Names{});
  EXPECT_EQ(ended, -623);
  EXPECT_EQ(Drain(FileSource({}, false), dir.Path(), &ended), Names{});
  EXPECT_EQ(ended, 0);
}

TEST(FileSource, AnExistingFileIsThatFileWhateverItsNameHolds) {
  TempDir dir;
  for (const char* name : {"what?.txt", "whatX.txt", "*.crd", "a.crd", "sub/what?.txt", "sub/whatY.txt"})
    dir.Write(name, "");
  auto sent = [&](Names specs, bool subfolders) { return Drain(FileSource(std::move(specs), subfolders), dir.Path()); };
  EXPECT_EQ(sent({(dir / "what?.txt").string()}, false), Names{"what?.txt"});
  EXPECT_EQ(sent({(dir / "what?.txt").string()}, true), Names{"what?.txt"}) << "not searched for in subfolders";
  EXPECT_EQ(sent({(dir / "*.crd").string()}, false), Names{"*.crd"});
  EXPECT_EQ(sent({(dir / "sub" / "what?.txt").string(), (dir / "what?.txt").string()}, false),
            (Names{"sub/what?.txt", "what?.txt"}));
  // Without such a file, the name is a pattern as before.
  EXPECT_EQ(sent({(dir / "wha??.txt").string()}, false), (Names{"what?.txt", "whatX.txt"}));
  EXPECT_EQ(sent({(dir / "sub").string() + "?"}, false), Names{}) << "a folder is not a file to send";
}

}  // namespace
}  // namespace pelikon
