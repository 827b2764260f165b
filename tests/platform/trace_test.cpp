#include "platform/trace.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/text.h"
#include "platform/trace_log.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

std::vector<std::string> LinesOf(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(Trace, NestedCapturesBothSeeTheText) {
  TraceCapture outer;
  {
    TraceCapture inner;
    Trace("\nCRD: point %d not found", 17);
    EXPECT_EQ(inner.Text(), "\nCRD: point 17 not found");
  }
  Trace("\nafter");
  EXPECT_EQ(outer.Text(), "\nCRD: point 17 not found\nafter");
}

TEST(Trace, EveryEventIsOneLineWhateverItsLineBreaks) {
  EXPECT_EQ(TraceLine("no converter: gone"), "no converter: gone\n");
  EXPECT_EQ(TraceLine("\nCOM1: the line was hung up"), "COM1: the line was hung up\n");
  EXPECT_EQ(TraceLine("Cache 1000 miss 3 0.5\n"), "Cache 1000 miss 3 0.5\n");
  EXPECT_EQ(TraceLine("\nError 1: Could not open file: a.crd\nIt might be read-only.\r\n"),
            "Error 1: Could not open file: a.crd It might be read-only.\n");
  EXPECT_EQ(TraceLine("a\r\n\r\nb\tc"), "a b c\n");
  EXPECT_EQ(TraceLine("\n\r\n"), "") << "an event with no text writes nothing";
  EXPECT_EQ(TraceLine(""), "");
}

// Events written the several ways the code writes them (a leading line
// break, none, a trailing one) land in the log file one per line. Other
// test programs may write to the same log meanwhile, so this one's lines
// carry a mark of this process and moment.
TEST(Trace, TheLogFileHasOneStampedLinePerEvent) {
  const std::string mark =
      StrPrintf("[%d %lld]", static_cast<int>(::getpid()),
                static_cast<long long>(std::chrono::steady_clock::now().time_since_epoch().count()));
  Trace("\nfirst event %s", mark.c_str());
  Trace("second event %s", mark.c_str());
  Trace("third\nevent %s\n", mark.c_str());
  const std::filesystem::path file = TraceFilePath();
  ASSERT_FALSE(file.empty()) << "the tests' working folder takes a log";
  std::vector<std::string> ours;
  for (const std::string& line : LinesOf(file))
    if (line.find(mark) != std::string::npos) ours.push_back(line);
  const std::vector<std::string> events = {"first event ", "second event ", "third event "};
  ASSERT_EQ(ours.size(), events.size());
  for (size_t i = 0; i < events.size(); ++i) {
    ASSERT_GT(ours[i].size(), 24u) << ours[i];
    EXPECT_EQ(ours[i].substr(24), events[i] + mark) << "after the stamp \"YYYY-MM-DD HH:MM:SS.mmm \"";
    EXPECT_EQ(ours[i][4], '-');
    EXPECT_EQ(ours[i][19], '.');
  }
}

TEST(TraceLog, AFullLogIsMovedAsideAndANewOneBegun) {
  testing::TempDir dir;
  const std::string line(30, 'x');
  {
    TraceLog log(dir / "pelikon.log", 100);
    ASSERT_TRUE(log.IsOpen());
    for (int i = 0; i < 3; ++i) log.Write("a" + line.substr(1) + "\n");
    EXPECT_FALSE(std::filesystem::exists(log.PreviousPath())) << "93 bytes fit under 100";
    log.Write("b" + line.substr(1) + "\n");
    EXPECT_EQ(log.PreviousPath(), dir / "pelikon.log.1");
    EXPECT_EQ(std::filesystem::file_size(dir / "pelikon.log.1"), 93u);
    EXPECT_EQ(testing::Contents(dir / "pelikon.log"), "b" + line.substr(1) + "\n");
    for (int i = 0; i < 3; ++i) log.Write("c" + line.substr(1) + "\n");
    EXPECT_EQ(LinesOf(dir / "pelikon.log.1").front()[0], 'b') << "the older part went";
    EXPECT_EQ(LinesOf(dir / "pelikon.log"), std::vector<std::string>{"c" + line.substr(1)});
  }
  // A process that opens a full log counts what is there already.
  TraceLog again(dir / "pelikon.log", 40);
  again.Write("ddddddddd\n");
  EXPECT_EQ(testing::Contents(dir / "pelikon.log"), "ddddddddd\n");
  // A line longer than the cap is kept whole.
  again.Write(std::string(50, 'e') + "\n");
  EXPECT_EQ(std::filesystem::file_size(dir / "pelikon.log"), 51u);
}

TEST(TraceLog, ALongRunStaysUnderTwiceTheCap) {
  testing::TempDir dir;
  TraceLog log(dir / "pelikon.log", 64 << 10);
  for (int i = 0; i < 20000; ++i) log.Write(TraceLine("ReadFileData: read @" + std::to_string(i * 1024)));
  EXPECT_LE(std::filesystem::file_size(dir / "pelikon.log"), 64u << 10);
  EXPECT_LE(std::filesystem::file_size(dir / "pelikon.log.1"), 64u << 10);
  EXPECT_EQ(LinesOf(dir / "pelikon.log").back(), "ReadFileData: read @" + std::to_string(19999 * 1024));
}

TEST(Trace, PacketLinesOnlyAtLevelTwo) {
  const char* old = std::getenv("PELIKON_TRACE");
  const std::string saved = old ? old : "";
  for (const auto& [value, packets] :
       std::vector<std::pair<const char*, bool>>{{"", false}, {"0", false}, {"1", false}, {"2", true}, {"9", true}}) {
    ::setenv("PELIKON_TRACE", value, 1);
    ReloadTraceLevel();
    EXPECT_EQ(TracingPackets(), packets) << "PELIKON_TRACE=" << value;
  }
  if (old)
    ::setenv("PELIKON_TRACE", saved.c_str(), 1);
  else
    ::unsetenv("PELIKON_TRACE");
  ReloadTraceLevel();
}

}  // namespace
}  // namespace pelikon
