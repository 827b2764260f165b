#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "app/exit_code.h"

namespace pelikon {
namespace {

CommandLineRequest Parse(std::vector<std::string> arguments) {
  return ParseArguments(arguments);
}

TEST(CommandLine, SwitchesInAnyCaseKeepTheBatchFileInItsOwnCase) {
  const CommandLineRequest r = Parse({"/batch", "/home/Surveyor/Jobs/Monday.txt"});
  EXPECT_TRUE(r.error.empty()) << r.error;
  EXPECT_EQ(r.job, CommandLineJob::kBatch);
  EXPECT_EQ(r.batch_file, "/home/Surveyor/Jobs/Monday.txt") << "a path that starts with / is the file, not a switch";
  EXPECT_FALSE(r.silent);
  EXPECT_EQ(Parse({"/geoid"}).job, CommandLineJob::kGeoid);
  EXPECT_EQ(Parse({"/F2f"}).job, CommandLineJob::kFieldToFinish);
  EXPECT_EQ(Parse({}).job, CommandLineJob::kNone);
}

TEST(CommandLine, TheProgramsOwnNameNeverCounts) {
  // Whatever the program is called (a link, a renamed copy), only the arguments count.
  for (const char* program : {"/usr/bin/pelikon", "/opt/field/transfer", "/srv/Batch/run-it"}) {
    const char* argv[] = {program, "/BATCH", "night.txt"};
    const CommandLineRequest r = ParseArguments(3, argv);
    EXPECT_EQ(r.job, CommandLineJob::kBatch) << program;
    EXPECT_EQ(r.batch_file, "night.txt") << program;
  }
  const char* alone[] = {"/usr/bin/pelikon-BATCH"};
  EXPECT_EQ(ParseArguments(1, alone).job, CommandLineJob::kNone);
}

TEST(CommandLine, SilentIsAnArgumentOfItsOwnAnywhere) {
  EXPECT_TRUE(Parse({"/s", "/batch", "jobs.txt"}).silent);
  EXPECT_TRUE(Parse({"/BATCH", "jobs.txt", "/S"}).silent);
  EXPECT_EQ(Parse({"/BATCH", "jobs.txt", "/S"}).batch_file, "jobs.txt");
  EXPECT_FALSE(Parse({"/batch", "jobs.txt/S"}).silent);
  EXPECT_EQ(Parse({"/batch", "jobs.txt/S"}).batch_file, "jobs.txt/S");
}

TEST(CommandLine, ABatchNameTypedWithBlanksIsPutBackTogether) {
  const CommandLineRequest r = Parse({"--no-gui", "/BATCH", "my", "jobs.txt", "/s"});
  EXPECT_TRUE(r.error.empty()) << r.error;
  EXPECT_TRUE(r.silent);
  EXPECT_EQ(r.batch_file, "my jobs.txt");
  EXPECT_EQ(Parse({"/BATCH", "jobs.txt", "/Sx"}).batch_file, "jobs.txt /Sx") << "/Sx is no switch";
  EXPECT_EQ(Parse({"/BATCH", "My Jobs/b.txt"}).batch_file, "My Jobs/b.txt");
}

TEST(CommandLine, OptionsOfTheProgram) {
  const CommandLineRequest r = Parse({"--no-gui", "--create-folders", "--overwrite", "/BATCH", "b.txt"});
  EXPECT_TRUE(r.error.empty()) << r.error;
  EXPECT_TRUE(r.no_gui && r.create_folders && r.overwrite);
  const CommandLineRequest demo = Parse({"--demo", "--screenshot", "shot.png"});
  EXPECT_TRUE(demo.error.empty()) << demo.error;
  EXPECT_TRUE(demo.demo);
  EXPECT_EQ(demo.screenshot, "shot.png");
  EXPECT_TRUE(Parse({"--help"}).help);
  EXPECT_TRUE(Parse({"-h"}).help);
  EXPECT_TRUE(Parse({"--version"}).version);
}

TEST(CommandLine, RefusalsSayWhatWasWrong) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--verbose"}, "unknown option '--verbose'"},
      {{"-x", "/BATCH", "b.txt"}, "unknown option '-x'"},
      {{"/BATCH", "b.txt", "--overwite"}, "unknown option '--overwite'"},
      {{"jobs.txt"}, "unexpected argument 'jobs.txt'"},
      {{"/BATCH"}, "/BATCH needs the name of a batch file"},
      {{"/BATCH", "/S"}, "/BATCH needs the name of a batch file"},
      {{"/BATCH", "a.txt", "/GEOID"}, "only one job at a time"},
      {{"--screenshot"}, "--screenshot needs the name of the picture file"},
      {{"--create-folders", "/BATCH", "b.txt"}, "--create-folders works only with --no-gui"},
      {{"--overwrite", "/BATCH", "b.txt"}, "--overwrite works only with --no-gui"},
      {{"--no-gui", "--demo", "/BATCH", "b.txt"}, "cannot go with --no-gui"},
      {{"--no-gui"}, "--no-gui needs a job"},
  };
  for (const auto& [arguments, reason] : cases) {
    const CommandLineRequest r = Parse(arguments);
    EXPECT_NE(r.error.find(reason), std::string::npos) << ::testing::PrintToString(arguments) << ": " << r.error;
    EXPECT_EQ(r.error.find('\n'), std::string::npos) << "one line";
  }
}

// What a request prints before anything starts, and the status it ends with.
struct Answered {
  int status;
  std::string out, err;
};
Answered Answer(const std::vector<std::string>& arguments) {
  char* out_text = nullptr;
  char* err_text = nullptr;
  size_t out_size = 0, err_size = 0;
  std::FILE* out = open_memstream(&out_text, &out_size);
  std::FILE* err = open_memstream(&err_text, &err_size);
  const int status = AnswerWithoutStarting(ParseArguments(arguments), out, err);
  std::fclose(out);
  std::fclose(err);
  Answered answered{status, out_text, err_text};
  std::free(out_text);
  std::free(err_text);
  return answered;
}

TEST(CommandLine, HelpVersionAndRefusalsEndBeforeTheProgramStarts) {
  const Answered help = Answer({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.err.empty());
  for (const char* shown : {"/BATCH FILE", "/S", "/GEOID", "/F2F", "--no-gui", "--demo", "--screenshot FILE",
                            "--create-folders", "--overwrite", "--version"})
    EXPECT_NE(help.out.find(shown), std::string::npos) << shown;

  const Answered version = Answer({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "Veldra Software Pelikon v1.52\n");

  const Answered wrong = Answer({"--bogus"});
  EXPECT_EQ(wrong.status, 2);
  EXPECT_TRUE(wrong.out.empty());
  EXPECT_EQ(wrong.err, "pelikon: unknown option '--bogus' (see pelikon --help)\n");

  EXPECT_EQ(Answer({"/BATCH", "b.txt"}).status, kStartProgram);
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
