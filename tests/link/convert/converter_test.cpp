// The converter binding, end to end through the stand-in library of
// tests/support/test_converter.
#include "link/convert/converter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/no_sound.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

namespace fs = std::filesystem;
using testing::Contents;
using testing::NoSound;
using testing::ScriptedUi;
using testing::TempDir;

const fs::path kConverterFolder = PELIKON_TEST_CONVERTER_DIR;
const fs::path kPartialConverterFolder = PELIKON_PARTIAL_CONVERTER_DIR;

// Text a call must replace, so that a stale message shows up as a fault.
const std::string kStale = "left over from an earlier call";

TEST(ConverterBinding, FindsTheLibraryInTheFolderItIsGiven) {
  Converter converter;
  EXPECT_TRUE(converter.Bind(kConverterFolder));
  EXPECT_TRUE(converter.Available());
}

TEST(ConverterBinding, FindsNoLibraryElsewhere) {
  TempDir empty;
  Converter converter;
  EXPECT_FALSE(converter.Bind(empty.Path()));
  EXPECT_FALSE(converter.Available());
  EXPECT_FALSE(converter.Bind(PELIKON_BIN_DIR)) << "the stand-in must never sit beside the program";
}

TEST(ConverterBinding, ALibraryLackingOneEntryPointConvertsNothing) {
  TempDir dir;
  const fs::path mdb = dir.Write("job.mdb", "TYPE=900\nrow\n");
  Converter converter;
  ASSERT_TRUE(converter.Bind(kConverterFolder));
  // Bound again to the incomplete library, nothing of the earlier one may stay in use.
  EXPECT_FALSE(converter.Bind(kPartialConverterFolder));
  EXPECT_FALSE(converter.Available());

  int type = -1;
  std::string message = kStale;
  EXPECT_EQ(converter.GetMdbType(mdb, type, message), 0);
  EXPECT_NE(type, 900) << "get_mdb_type exists in the incomplete library but must not be called";
  EXPECT_EQ(message, "");
  EXPECT_EQ(converter.MdbToDb(mdb, dir / "job.TDB", 900, message, nullptr), 0);
  EXPECT_FALSE(fs::exists(dir / "job.TDB"));
}

class ConverterCalls : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(converter_.Bind(kConverterFolder)); }

  Converter converter_;
  TempDir dir_;
  std::string message_ = kStale;
};

TEST_F(ConverterCalls, GetMdbTypeGivesTheDatabasesType) {
  for (const int written : {900, 901}) {
    const fs::path mdb = dir_.Write("job.mdb", "TYPE=" + std::to_string(written) + "\nrow\n");
    int type = 0;
    message_ = kStale;
    EXPECT_EQ(converter_.GetMdbType(mdb, type, message_), 1);
    EXPECT_EQ(type, written);
    EXPECT_EQ(message_, "");
  }
}

TEST_F(ConverterCalls, DatabaseSurvivesTheWayToTheCollectorAndBack) {
  const std::string original = "TYPE=901\nalpha\nbeta\ngamma\n";
  const fs::path mdb = dir_.Write("job.mdb", original);
  const fs::path rdb = dir_ / "job.RDB";
  const fs::path back = dir_ / "back.mdb";

  ASSERT_EQ(converter_.MdbToDb(mdb, rdb, 901, message_, nullptr), 1) << message_;
  EXPECT_EQ(message_, "");
  EXPECT_EQ(Contents(mdb), original) << "the source is only read";
  message_ = kStale;
  ASSERT_EQ(converter_.DbToMdb(rdb, back, message_, nullptr), 1) << message_;
  EXPECT_EQ(message_, "");
  EXPECT_EQ(Contents(back), original);
}

TEST_F(ConverterCalls, AlignmentSplitsIntoCentrelinesAndJoinsAgain) {
  const std::string original = "EDGE:1 2\nEDGE:3 4\nMAIN:5 6\n";
  const fs::path aln = dir_.Write("road.aln", original);
  const fs::path folder = dir_ / "cl";
  fs::create_directory(folder);

  ASSERT_EQ(converter_.AlnToCl(aln, folder, message_), 1) << message_;
  EXPECT_EQ(message_, "");
  EXPECT_TRUE(fs::exists(folder / "EDGE.cl"));
  EXPECT_TRUE(fs::exists(folder / "MAIN.cl"));

  message_ = kStale;
  EXPECT_NE(converter_.ClToAln(folder, dir_ / "joined.aln", false, message_), 0) << message_;
  EXPECT_EQ(message_, "");
  EXPECT_EQ(Contents(dir_ / "joined.aln"), original);

  EXPECT_NE(converter_.ClToAln(folder / "MAIN.cl", dir_ / "single.aln", true, message_), 0) << message_;
  EXPECT_EQ(Contents(dir_ / "single.aln"), "MAIN:5 6\n");
}

// Each conversion, run on one input file of its own kind.
struct Conversion {
  const char* name;
  const char* input_name;
  std::string input_header;  // what makes the input valid, before the marker line
  std::function<int(const Converter&, const fs::path& input, const fs::path& folder, std::string& message)> run;
};

std::vector<Conversion> AllConversions() {
  return {
      {"get_mdb_type", "job.mdb", "TYPE=900\n",
       [](const Converter& c, const fs::path& input, const fs::path&, std::string& message) {
         int type = 0;
         return c.GetMdbType(input, type, message);
       }},
      {"mdb_to_db", "job.mdb", "TYPE=900\n",
       [](const Converter& c, const fs::path& input, const fs::path& folder, std::string& message) {
         return c.MdbToDb(input, folder / "out.TDB", 900, message, nullptr);
       }},
      {"db_to_mdb", "job.rdb", "DB 901\n",
       [](const Converter& c, const fs::path& input, const fs::path& folder, std::string& message) {
         return c.DbToMdb(input, folder / "out.mdb", message, nullptr);
       }},
      {"aln_to_cl", "road.aln", "",
       [](const Converter& c, const fs::path& input, const fs::path& folder, std::string& message) {
         return c.AlnToCl(input, folder, message);
       }},
      {"cl_to_aln", "MAIN.cl", "",
       [](const Converter& c, const fs::path& input, const fs::path& folder, std::string& message) {
         return c.ClToAln(input, folder / "out.aln", true, message);
       }},
  };
}

TEST_F(ConverterCalls, AnUnreadableInputFailsWithTheLibrarysText) {
  for (const Conversion& conversion : AllConversions()) {
    const fs::path missing = dir_ / conversion.input_name;
    message_ = kStale;
    EXPECT_EQ(conversion.run(converter_, missing, dir_.Path(), message_), 0) << conversion.name;
    EXPECT_NE(message_.find(missing.string()), std::string::npos) << conversion.name << ": " << message_;
  }
}

TEST_F(ConverterCalls, AMessageFillingTheWholeBufferIsCutAtItsEnd) {
  for (const Conversion& conversion : AllConversions()) {
    const std::string marker_line = conversion.input_header.empty() ? "NAME:OVERFLOW\n" : "OVERFLOW\n";
    const fs::path input = dir_.Write(conversion.input_name, conversion.input_header + marker_line);
    message_ = kStale;
    EXPECT_EQ(conversion.run(converter_, input, dir_.Path(), message_), 0) << conversion.name;
    EXPECT_EQ(message_, std::string(kConverterMessageSize, '#')) << conversion.name;
  }
}

class ConverterProgress : public ConverterCalls {
 protected:
  // The bar positions shown from `first` on, which must start at 0, never
  // fall back and end at 100.
  void ExpectBarRisesToHundred(size_t first, size_t positions) {
    const std::vector<int>& bar = ui_.BarPositions();
    ASSERT_EQ(bar.size(), first + positions);
    EXPECT_EQ(bar[first], 0);
    EXPECT_TRUE(std::is_sorted(bar.begin() + static_cast<std::ptrdiff_t>(first), bar.end()));
    EXPECT_EQ(bar.back(), 100);
  }

  ScriptedUi ui_;
  NoSound quiet_;
  SoundCues sound_{quiet_};
  TransferProgress progress_{ui_, sound_};
};

TEST_F(ConverterProgress, PercentagesReachTheOpenProgressWindow) {
  const fs::path mdb = dir_.Write("job.mdb", "TYPE=900\na\nb\nc\nd\n");
  progress_.OpenProgress();

  ASSERT_EQ(converter_.MdbToDb(mdb, dir_ / "job.TDB", 900, message_, &progress_), 1) << message_;
  ExpectBarRisesToHundred(0, 5);
  EXPECT_TRUE(ui_.Saw("File conversion 100% complete"));

  const size_t before = ui_.BarPositions().size();
  ASSERT_EQ(converter_.DbToMdb(dir_ / "job.TDB", dir_ / "back.mdb", message_, &progress_), 1) << message_;
  ExpectBarRisesToHundred(before, 5);
}

TEST_F(ConverterProgress, AConversionWithoutProgressReachesNoOtherProgress) {
  const fs::path mdb = dir_.Write("job.mdb", "TYPE=900\na\nb\n");
  progress_.OpenProgress();
  EXPECT_EQ(converter_.MdbToDb(mdb, dir_ / "job.TDB", 900, message_, nullptr), 1) << message_;
  EXPECT_TRUE(ui_.BarPositions().empty());
}

TEST_F(ConverterProgress, TheRoutineReachesNothingOnceTheCallHasReturned) {
  const fs::path mdb = dir_.Write("job.mdb", "TYPE=900\na\nb\n");
  {
    TransferProgress call_progress(ui_, sound_);
    call_progress.OpenProgress();
    ASSERT_EQ(converter_.MdbToDb(mdb, dir_ / "job.TDB", 900, message_, &call_progress), 1) << message_;
  }
  const size_t shown = ui_.BarPositions().size();
  ASSERT_GT(shown, 0u);

  DynamicLibrary library;
  ASSERT_TRUE(library.Load("morvish.DLL", kConverterFolder)) << library.LastError();
  const auto replay = library.Bind<int (*)(int)>("test_converter_replay_progress");
  ASSERT_NE(replay, nullptr);
  EXPECT_EQ(replay(42), 1) << "the library kept the routine it was given";
  EXPECT_EQ(ui_.BarPositions().size(), shown);
}

}  // namespace
}  // namespace pelikon
