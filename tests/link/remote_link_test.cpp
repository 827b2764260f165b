// The serial command dialogue against a scripted collector.
#include "link/remote/remote_link.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "link/listing/dir_listing.h"
#include "platform/atomic_file.h"
#include "support/fake_collector.h"
#include "support/recording_sound.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

using testing::FakeCollector;
using testing::ScriptedUi;

class RemoteLinkTest : public ::testing::Test {
 protected:
  RemoteLink Link(LinkSettings settings = {}) {
    settings.temp_folder = work_.Path();
    settings.local_folder = local_.Path();
    return RemoteLink(ui_, progress_, settings,
                      [this](int index, int baud) { return collector_.Open(clock_, index, baud); });
  }
  int Count(const std::string& line) const {
    return static_cast<int>(std::count(collector_.Heard().begin(), collector_.Heard().end(), line));
  }
  int BaudOf(const RemoteLink& link) const { return static_cast<testing::MemorySerialPort*>(link.Port())->Baud(); }

  FakeClock clock_;
  ScriptedUi ui_;
  testing::RecordingSound sound_output_;
  SoundCues sound_{sound_output_};
  TransferProgress progress_{ui_, sound_};
  FakeCollector collector_;
  testing::TempDir work_;
  testing::TempDir local_;
};

TEST_F(RemoteLinkTest, ConnectSendsTheOptionsInOrderThenSwitchesSpeed) {
  RemoteLink link = Link();
  ASSERT_EQ(link.Connect(), 1);
  EXPECT_TRUE(link.Connected());
  EXPECT_EQ(link.RemoteFolder(), "\\Ostrel\\Jobs");
  const std::vector<std::string> expected = {"HELLO",  "HIDDEN", "OFF", "MASK", "*.*",   "PROTOCAL",
                                             "KERMIT", "CWD",    "PWD", "BAUD", "38400", "HELLO"};
  EXPECT_EQ(collector_.Heard(), expected);
  EXPECT_EQ(BaudOf(link), 38400);
}

TEST_F(RemoteLinkTest, ACollectorAnsweringOnlyAtTheConfiguredSpeedNeedsNoBaudCommand) {
  collector_.answer_only_at_baud = 38400;
  LinkSettings settings;
  settings.show_hidden = true;
  settings.engine = 0;
  RemoteLink link = Link(settings);
  ASSERT_EQ(link.Connect(), 1);
  EXPECT_EQ(Count("HELLO"), 6) << "five tries at 9600, one at 38400";
  EXPECT_EQ(Count("BAUD"), 0);
  EXPECT_EQ(Count("ON"), 1);
  EXPECT_EQ(Count("ZMODEM"), 1);
  EXPECT_EQ(BaudOf(link), 38400);
}

TEST_F(RemoteLinkTest, NineSixHundredNeverSwitchesAndARefusedSwitchStaysConnected) {
  LinkSettings slow;
  slow.baud = 9600;
  RemoteLink at_9600 = Link(slow);
  ASSERT_EQ(at_9600.Connect(), 1);
  EXPECT_EQ(Count("BAUD"), 0);

  collector_.refuse_baud = true;
  RemoteLink refused = Link();
  const uint64_t start = clock_.NowMs();
  ASSERT_EQ(refused.Connect(), 1);
  EXPECT_TRUE(refused.Connected());
  EXPECT_EQ(Count("BAUD"), 2) << "asked twice";
  EXPECT_EQ(BaudOf(refused), 9600);
  EXPECT_GE(clock_.NowMs() - start, 1000u) << "a pause after the second refusal";
}

TEST_F(RemoteLinkTest, ASilentCollectorFailsWithinItsLineTimes) {
  collector_.silent = true;
  LinkSettings settings;
  settings.baud = 9600;
  settings.port_delay_ms = 2000;
  RemoteLink link = Link(settings);
  EXPECT_EQ(link.LineTime(), 2000);
  const uint64_t start = clock_.NowMs();
  EXPECT_EQ(link.Connect(), 0);
  EXPECT_FALSE(link.Connected());
  const uint64_t waited = clock_.NowMs() - start;
  EXPECT_GE(waited, 5u * 2000);
  EXPECT_LT(waited, 5u * 2000 + 500) << "five HELLOs, each waiting T = 2000 ms";
  settings.port_delay_ms = 300;
  link.SetSettings(settings);
  EXPECT_EQ(link.LineTime(), 500);
}

TEST_F(RemoteLinkTest, AQueryWithAMissingAnswerIsTriedThreeTimes) {
  RemoteLink link = Link();
  ASSERT_EQ(link.Connect(), 1);
  collector_.missing_answers = 2;
  std::string folder;
  EXPECT_EQ(link.QueryDir(folder), 1);
  EXPECT_EQ(folder, "\\Ostrel\\Jobs");
  collector_.missing_answers = 5;
  const int before = Count("CWD");
  EXPECT_EQ(link.QueryDir(folder), 0);
  EXPECT_EQ(Count("CWD") - before, 3);
}

TEST_F(RemoteLinkTest, CommandsAndFreeSpace) {
  RemoteLink link = Link();
  ASSERT_EQ(link.Connect(), 1);
  EXPECT_EQ(link.AreYouThere(), 1);
  EXPECT_EQ(link.ChangeDir("\\Ostrel\\Data"), 1);
  EXPECT_EQ(link.MakeDir("New Job"), 1);
  EXPECT_EQ(link.RemoveDir("Old Job"), 1);
  EXPECT_EQ(link.DeleteFile("JOB1.CRD"), 1);
  double free_bytes = 0;
  EXPECT_EQ(link.FreeSpace(free_bytes), 1);
  EXPECT_EQ(free_bytes, 52428800.0);
  const std::vector<std::string>& heard = collector_.Heard();
  const std::vector<std::string> tail(heard.end() - 10, heard.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"ARE YOU THERE?", "CD", "\\Ostrel\\Data", "MKDIR", "New Job", "RMDIR",
                                            "Old Job", "DEL", "JOB1.CRD", "FREE DISK"}));
}

TEST_F(RemoteLinkTest, RenameAnswers) {
  RemoteLink link = Link();
  ASSERT_EQ(link.Connect(), 1);
  const uint64_t start = clock_.NowMs();
  EXPECT_EQ(link.Rename("A.CRD", "B.CRD"), 1);
  EXPECT_GE(clock_.NowMs() - start, 1600u) << "two 50 ms pauses and 1500 ms before the reply";
  collector_.rename_reply = "ERROR";
  EXPECT_EQ(link.Rename("A.CRD", "B.CRD"), 0);
  EXPECT_TRUE(ui_.Shown().empty()) << "ERROR fails silently";
  collector_.rename_reply = "WHAT?";
  EXPECT_EQ(link.Rename("A.CRD", "B.CRD"), 0);
  ASSERT_EQ(ui_.Shown().size(), 1u);
  EXPECT_EQ(ui_.Shown()[0], "box: The remote computer does not support this function");
}

TEST_F(RemoteLinkTest, PortsThatDoNotOpenAreNamed) {
  LinkSettings settings;
  settings.port_number = 3;
  RemoteLink missing(ui_, progress_, settings, [&](int index, int baud) {
    return OpenSerialLink(index, baud, "/dev/pelikon-no-such-port", SerialHooks{&clock_});
  });
  EXPECT_EQ(missing.Connect(), 0);
  ASSERT_EQ(ui_.Shown().size(), 1u);
  EXPECT_EQ(ui_.Shown()[0], "box: Failed to open COM3 error code -14");
}

TEST_F(RemoteLinkTest, FailedOperationDialogs) {
  RemoteLink kermit = Link();
  EXPECT_EQ(kermit.ReportTransferError(-620), 0);
  EXPECT_EQ(kermit.ReportTransferError(-605), 0);
  LinkSettings zmodem;
  zmodem.engine = 0;
  RemoteLink other = Link(zmodem);
  other.ReportTransferError(-505);
  EXPECT_EQ(ui_.Shown(),
            (std::vector<std::string>{
                "message: Kermit failed / Error in file transfer -620",
                "message: Kermit failed / Error in file transfer -605: User typed abort key",
                "message: Zmodem failed / Error in file transfer -505: Unable to write directory listing"}));
  kermit.ShowNotConnectedHelp();
  EXPECT_EQ(ui_.Shown().back(),
            "help: Remote data collector not connected or not active!\n\n\nCheck each of the following items:\n"
            "1. Is a supplied NULL MODEM cable being used\n   and is it properly connected?\n"
            "2. Is the COM port setting on PC correct?\n3. Is the remote system ON and software is running?\n"
            "4. Has the 'Data Transfer' function under the File menu\n   been started on the remote system,\n"
            "   and is 'Awaiting Connection' displayed?\n5. Is the COM port setting on the remote system correct?");
}

TEST_F(RemoteLinkTest, ListGetAndPutMoveFilesAndResynchronise) {
  collector_.files["JOB1.CRD"] = testing::RandomBytes(100000, 3);
  collector_.files["Survey 1.rw5"] = "raw data\r\n";
  RemoteLink link = Link();
  ASSERT_EQ(link.Connect(), 1);

  ASSERT_EQ(link.ListRemote(), 1);
  EXPECT_FALSE(ui_.ProgressOpen()) << "the listing hides the window it showed";
  ListingContents listing;
  ASSERT_TRUE(ReadListingFile(work_ / kRemoteListingName, listing));
  ASSERT_EQ(listing.entries.size(), 2u);
  EXPECT_EQ(listing.entries[0].name, "JOB1.CRD");
  EXPECT_EQ(listing.entries[0].size, 100000);
  EXPECT_TRUE(ui_.Saw("Retrieving directory listing..."));

  ASSERT_EQ(link.GetFile("JOB1.CRD"), 1);
  EXPECT_TRUE(testing::Contents(local_ / "JOB1.CRD") == collector_.files["JOB1.CRD"]);
  ASSERT_EQ(link.GetFile("Survey 1.rw5"), 1);
  EXPECT_EQ(testing::Contents(local_ / "Survey 1.ov5"), "raw data\r\n") << "the archive copy";

  local_.Write("out.crd", testing::RandomBytes(1 << 20, 4));
  ASSERT_EQ(link.PutFile("out.crd"), 1);
  EXPECT_TRUE(collector_.files["out.crd"] == testing::Contents(local_ / "out.crd"));
  EXPECT_TRUE(ui_.Saw("subject: Receiving JOB1.CRD")) << "the progress window names the file";
  EXPECT_TRUE(ui_.Saw("subject: Sending out.crd"));

  // The command lines and arguments, in order, from the listing on.
  std::vector<std::string> commands;
  for (const std::string& line : collector_.Heard())
    if (line.find('\x01') == std::string::npos) commands.push_back(line);
  const std::vector<std::string> tail(commands.end() - 17, commands.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"LS", "HELLO", "ARE YOU THERE?", "GET", "JOB1.CRD", "HELLO", "CLRATTR",
                                            "JOB1.CRD", "ARE YOU THERE?", "GET", "Survey 1.rw5", "HELLO", "CLRATTR",
                                            "Survey 1.rw5", "ARE YOU THERE?", "PUT", "HELLO"}))
      << "every transfer ends with HELLO; CLRATTR follows a good GET";
}

TEST_F(RemoteLinkTest, AChosenFileIsSentAloneWhateverItsNameHolds) {
  local_.Write("what?.txt", "the chosen one");
  local_.Write("whatX.txt", "a neighbour");
  local_.Write("goneX.txt", "another neighbour");
  RemoteLink link = Link();
  ASSERT_EQ(link.Connect(), 1);
  ASSERT_EQ(link.PutFile("what?.txt"), 1);
  EXPECT_EQ(collector_.files, (std::map<std::string, std::string>{{"what?.txt", "the chosen one"}}));
  // A chosen file that has gone is not taken for a pattern either.
  EXPECT_EQ(link.PutFile("gone?.txt"), 0);
  EXPECT_EQ(collector_.files.size(), 1u);
  EXPECT_EQ(Count("PUT"), 1) << "nothing is started for a file that is not there";
  EXPECT_TRUE(ui_.Saw("File could not be opened"));
}

TEST_F(RemoteLinkTest, AnExistingArchiveCopyIsReplacedOnlyWhenTheUserSaysSo) {
  collector_.files["S.rw5"] = "new";
  local_.Write("S.ov5", "old copy");
  RemoteLink link = Link();
  ASSERT_EQ(link.Connect(), 1);
  ui_.QueueAnswer(kAnswerNo);
  EXPECT_EQ(link.GetFile("S.rw5"), 1) << "No keeps the old copy and still succeeds";
  EXPECT_EQ(testing::Contents(local_ / "S.ov5"), "old copy");
  EXPECT_TRUE(ui_.Saw("Overwrite Archive: Archive copy of S.rw5 already exists, OK to overwrite ?"));
  ui_.QueueAnswer(kAnswerYes);
  EXPECT_EQ(link.GetFile("S.rw5"), 1);
  EXPECT_EQ(testing::Contents(local_ / "S.ov5"), "new");
}

TEST_F(RemoteLinkTest, AnArchiveCopyThatCannotBeWrittenIsReportedWithTheMessageCue) {
  collector_.files["S.rw5"] = "raw";
  std::filesystem::create_directory(local_.Path() / "S.ov5");  // in the way of the copy
  LinkSettings settings;
  settings.overwrite_prompt = false;
  RemoteLink link = Link(settings);
  ASSERT_EQ(link.Connect(), 1);
  sound_output_.cues.clear();
  EXPECT_EQ(link.GetFile("S.rw5"), 1);
  EXPECT_TRUE(ui_.Saw("message: Archive Error / Failed to write archive copy."));
  EXPECT_EQ(sound_output_.cues, (std::vector<int>{1}));
}

TEST_F(RemoteLinkTest, CancelsAndTimeOutsEndWithMinus605ButOnlyATimeOutIsAFailure) {
  collector_.files["A.CRD"] = std::string(5000, 'a');
  RemoteLink link = Link();
  ASSERT_EQ(link.Connect(), 1);
  progress_.RequestCancel();
  EXPECT_EQ(link.ListRemote(), 0);
  EXPECT_FALSE(link.Connected()) << "a cancelled listing drops the connection";
  EXPECT_TRUE(ui_.Saw("message: File Transfer / Transfer cancelled"));
  EXPECT_FALSE(ui_.Saw("failed")) << "what the user cancelled did not fail";
  EXPECT_FALSE(ui_.Saw("-605"));

  collector_.stall_sends = true;
  EXPECT_EQ(link.GetFile("A.CRD"), 0);
  EXPECT_TRUE(ui_.Saw("message: Kermit failed / Error in file transfer -605: User typed abort key"))
      << "a time-out ends the run as a cancel does, and is a failure";
  EXPECT_FALSE(std::filesystem::exists(local_ / "A.CRD"));
}

TEST_F(RemoteLinkTest, NamesFromTheListingNeverLeaveTheLocalFolder) {
  RemoteLink link = Link();
  ASSERT_EQ(link.Connect(), 1);
  for (const std::string name : {"..", "a\\b.crd", "evil\x01.crd"}) {
    EXPECT_EQ(link.GetFile(name), 0) << name;
  }
  EXPECT_EQ(std::count_if(ui_.Shown().begin(), ui_.Shown().end(),
                          [](const std::string& s) { return s.find("is not a plain file name") != std::string::npos; }),
            3);
  EXPECT_EQ(Count("GET"), 0) << "nothing was asked for";
}

}  // namespace
}  // namespace pelikon
