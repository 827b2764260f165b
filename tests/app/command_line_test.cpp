#include "app/command_line.h"

#include <gtest/gtest.h>

#include "app/exit_code.h"

namespace pelikon {
namespace {

TEST(CommandLine, QuotedProgramPathLowerCaseSwitchKeepsTheBatchPathsCase) {
  const CommandLineRequest r =
      ParseCommandLine("\"C:\\Program Files\\Veldra\\pelikon.exe\" /batch /home/Surveyor/Jobs/Monday.txt");
  EXPECT_EQ(r.job, CommandLineJob::kBatch);
  EXPECT_EQ(r.batch_file, "/home/Surveyor/Jobs/Monday.txt");
  EXPECT_FALSE(r.silent);
}

TEST(CommandLine, SilentNeedsABlankOnBothSides) {
  EXPECT_TRUE(ParseCommandLine("pelikon /s /batch jobs.txt").silent);
  EXPECT_TRUE(ParseCommandLine("pelikon /BATCH jobs.txt /S now").silent);
  EXPECT_FALSE(ParseCommandLine("pelikon /batch jobs.txt/S").silent);
  EXPECT_FALSE(ParseCommandLine("pelikon /SILENT /batch jobs.txt").silent);
  EXPECT_FALSE(ParseCommandLine("pelikon/S /batch jobs.txt").silent);
}

TEST(CommandLine, AClosingSilentSwitchIsNotPartOfTheBatchFileName) {
  const CommandLineRequest r = ParseCommandLine("pelikon --no-gui /BATCH my jobs.txt /s");
  EXPECT_TRUE(r.silent);
  EXPECT_EQ(r.batch_file, "my jobs.txt");
  EXPECT_EQ(ParseCommandLine("pelikon /BATCH jobs.txt /Sx").batch_file, "jobs.txt /Sx");
}

TEST(CommandLine, OtherSwitchesAndTheirOrder) {
  EXPECT_EQ(ParseCommandLine("/usr/bin/pelikon /geoid").job, CommandLineJob::kGeoid);
  EXPECT_EQ(ParseCommandLine("/usr/bin/pelikon /F2F").job, CommandLineJob::kFieldToFinish);
  EXPECT_EQ(ParseCommandLine("/usr/bin/pelikon /f2f /geoid").job, CommandLineJob::kFieldToFinish)
      << "the first switch found runs";
  EXPECT_EQ(ParseCommandLine("/usr/bin/pelikon").job, CommandLineJob::kNone);
  EXPECT_EQ(ParseCommandLine("/usr/bin/pelikon /geoidx").job, CommandLineJob::kNone) << "pieces match whole";
  EXPECT_EQ(ParseCommandLine("/usr/bin/transfer /batch x.txt").job, CommandLineJob::kNone)
      << "switches count only after the program's name";
}

TEST(CommandLine, BatchNameIsTheRestOfTheLineTrimmed) {
  EXPECT_EQ(ParseCommandLine("pelikon /batch   My Jobs/b.txt  ").batch_file, "My Jobs/b.txt");
  EXPECT_EQ(ParseCommandLine("pelikon /batch").batch_file, "");
  EXPECT_EQ(ParseCommandLine("pelikon /batch").job, CommandLineJob::kBatch);
}

TEST(CommandLine, ABatchFolderInTheProgramPathIsNotTheSwitch) {
  const CommandLineRequest r = ParseCommandLine("/srv/Batch/pelikon /batch /srv/Batch/night.txt");
  EXPECT_EQ(r.job, CommandLineJob::kBatch);
  EXPECT_EQ(r.batch_file, "/srv/Batch/night.txt");
}

TEST(CommandLine, JoinKeepsArgumentsAsTyped) {
  const char* argv[] = {"/opt/pelikon/pelikon", "/batch", "My Jobs/b.txt"};
  const std::string line = JoinCommandLine(3, argv);
  EXPECT_EQ(line, "/opt/pelikon/pelikon /batch My Jobs/b.txt");
  EXPECT_EQ(ParseCommandLine(line).batch_file, "My Jobs/b.txt");
}

TEST(ExitCode, FollowsTheOutcomeOfEveryEntry) {
  ExitCode none;
  EXPECT_EQ(none.Value(), -1);
  EXPECT_EQ(none.ProcessStatus(), 255);

  ExitCode all_good;
  all_good.RecordEntry(true);
  all_good.RecordEntry(true);
  EXPECT_EQ(all_good.Value(), 0);

  ExitCode all_bad;
  all_bad.RecordEntry(false);
  all_bad.RecordEntry(false);
  EXPECT_EQ(all_bad.Value(), 2);

  ExitCode mixed;
  mixed.RecordEntry(false);
  mixed.RecordEntry(true);
  EXPECT_EQ(mixed.Value(), 1);
  mixed.RecordEntry(false);
  mixed.RecordEntry(true);
  EXPECT_EQ(mixed.Value(), 1);

  ExitCode good_then_bad;
  good_then_bad.RecordEntry(true);
  good_then_bad.RecordEntry(false);
  EXPECT_EQ(good_then_bad.Value(), 1);
}

}  // namespace
}  // namespace pelikon
