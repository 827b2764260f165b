// A whole session against the collector simulator over a pseudo-terminal:
// the link, both engines and the dialogue as the collector sees it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <map>
#include <thread>

#include "link/listing/dir_listing.h"
#include "link/remote/remote_link.h"
#include "support/no_sound.h"
#include "support/peer_process.h"
#include "support/scripted_ui.h"
#include "support/simulated_collector.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

using testing::PeerProcess;
using testing::ScriptedUi;
using testing::TempDir;

using testing::NoSound;

class CollectorSession : public ::testing::Test {
 protected:
  // Starts the simulator with `knobs` and waits for its line to appear.
  void StartCollector(std::vector<std::string> knobs = {}) {
    ASSERT_TRUE(collector_.Start(store_.Path(), knobs)) << "the simulator did not start";
  }
  LinkSettings Settings(int engine) {
    LinkSettings settings;
    settings.engine = engine;
    settings.temp_folder = listing_.Path();
    settings.local_folder = local_.Path();
    return settings;
  }
  PortOpener Opener() { return collector_.Opener(); }
  // The lines the collector heard, in order.
  std::vector<std::string> Heard() { return collector_.Heard(); }

  TempDir store_, local_, listing_;
  ScriptedUi ui_;
  NoSound no_sound_;
  SoundCues sound_{no_sound_};
  TransferProgress progress_{ui_, sound_};
  testing::SimulatedCollector collector_;
};

TEST_F(CollectorSession, EveryOperationWithBothEngines) {
  const std::string job = testing::RandomBytes(1 << 20, 31);
  store_.Write("JOB1.CRD", job);
  StartCollector();
  for (const int engine : {1, 0}) {
    SCOPED_TRACE(engine == 1 ? "Kermit" : "Zmodem");
    const std::string upload = testing::RandomBytes(1 << 20, 32 + engine);
    local_.Write("UP.CRD", upload);
    std::filesystem::remove(local_ / "JOB1.CRD");
    RemoteLink link(ui_, progress_, Settings(engine), Opener());
    const size_t before = Heard().size();
    ASSERT_EQ(link.Connect(), 1);
    EXPECT_EQ(link.RemoteFolder(), "\\");
    ASSERT_EQ(link.ListRemote(), 1);
    ListingContents listing;
    ASSERT_TRUE(ReadListingFile(listing_ / kRemoteListingName, listing));
    ASSERT_FALSE(listing.entries.empty());
    EXPECT_TRUE(listing.long_names);
    ASSERT_EQ(link.GetFile("JOB1.CRD"), 1);
    EXPECT_TRUE(testing::Contents(local_ / "JOB1.CRD") == job);
    ASSERT_EQ(link.PutFile("UP.CRD"), 1);
    EXPECT_TRUE(testing::Contents(store_ / "UP.CRD") == upload);
    EXPECT_EQ(link.Rename("UP.CRD", "UP2.CRD"), 1);
    EXPECT_TRUE(std::filesystem::exists(store_ / "UP2.CRD"));
    EXPECT_EQ(link.DeleteFile("UP2.CRD"), 1);
    EXPECT_FALSE(std::filesystem::exists(store_ / "UP2.CRD"));
    EXPECT_EQ(link.MakeDir("NEW"), 1);
    EXPECT_TRUE(std::filesystem::is_directory(store_ / "NEW"));
    EXPECT_EQ(link.RemoveDir("NEW"), 1);
    EXPECT_FALSE(std::filesystem::exists(store_ / "NEW"));
    double free_bytes = 0;
    EXPECT_EQ(link.FreeSpace(free_bytes), 1);
    EXPECT_GT(free_bytes, 0);
    link.Close();

    const std::vector<std::string> all = Heard();
    const std::vector<std::string> heard(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
    const std::vector<std::string> expected = {"HELLO",
                                               "HIDDEN",
                                               "OFF",
                                               "MASK",
                                               "*.*",
                                               "PROTOCAL",
                                               engine == 1 ? "KERMIT" : "ZMODEM",
                                               "CWD",
                                               "PWD",
                                               "BAUD",
                                               "38400",
                                               "HELLO",
                                               "ARE YOU THERE?",
                                               "LS",
                                               "HELLO",
                                               "ARE YOU THERE?",
                                               "GET",
                                               "JOB1.CRD",
                                               "HELLO",
                                               "CLRATTR",
                                               "JOB1.CRD",
                                               "ARE YOU THERE?",
                                               "PUT",
                                               "HELLO",
                                               "RENAME",
                                               "UP.CRD",
                                               "UP2.CRD",
                                               "DEL",
                                               "UP2.CRD",
                                               "MKDIR",
                                               "NEW",
                                               "RMDIR",
                                               "NEW",
                                               "FREE DISK"};
    EXPECT_EQ(heard, expected);
  }
  // Listings and transfers show their progress and the file they move; nothing else was shown.
  for (const std::string& line : ui_.Shown())
    EXPECT_TRUE(line.rfind("status: ", 0) == 0 || line.rfind("subject: ", 0) == 0) << line;
}

TEST_F(CollectorSession, ThirdPartyEnginesOnTheCollectorSide) {
  if (!testing::ProgramAvailable("sz") || !testing::ProgramAvailable("gkermit"))
    GTEST_SKIP() << "lrzsz or gkermit missing";
  const std::string job = testing::RandomBytes(200000, 41);
  store_.Write("JOB2.CRD", job);
  StartCollector({"--third-party"});
  for (const int engine : {1, 0}) {
    SCOPED_TRACE(engine == 1 ? "gkermit" : "lrzsz");
    std::filesystem::remove(local_ / "JOB2.CRD");
    const std::string upload = testing::RandomBytes(150000, 42 + engine);
    local_.Write("UP.CRD", upload);
    RemoteLink link(ui_, progress_, Settings(engine), Opener());
    ASSERT_EQ(link.Connect(), 1);
    ASSERT_EQ(link.ListRemote(), 1) << ::testing::PrintToString(ui_.Shown()) << testing::Contents(collector_.Log());
    ASSERT_EQ(link.GetFile("JOB2.CRD"), 1)
        << ::testing::PrintToString(ui_.Shown()) << testing::Contents(collector_.Log());
    EXPECT_TRUE(testing::Contents(local_ / "JOB2.CRD") == job);
    ASSERT_EQ(link.PutFile("UP.CRD"), 1);
    EXPECT_TRUE(testing::Contents(store_ / "UP.CRD") == upload);
    link.Close();
  }
}

TEST_F(CollectorSession, ListingsShowArchiveBitsHiddenFilesAndTheMask) {
  store_.Write("A.CRD", "a");
  store_.Write("B.TXT", "b");
  store_.Write(".hidden.crd", "h");
  std::filesystem::create_directory(store_ / "SUB");
  StartCollector();
  RemoteLink link(ui_, progress_, Settings(1), Opener());
  ASSERT_EQ(link.Connect(), 1);
  auto list = [&] {
    std::map<std::string, DirEntry> entries;
    ListingContents listing;
    EXPECT_EQ(link.ListRemote(), 1);
    EXPECT_TRUE(ReadListingFile(listing_ / kRemoteListingName, listing));
    for (const DirEntry& e : listing.entries) entries[e.name] = e;
    return entries;
  };
  auto entries = list();
  EXPECT_EQ(entries.size(), 3u) << "no hidden file before HIDDEN ON";
  EXPECT_EQ(entries["A.CRD"].attributes, kAttrArchive);
  EXPECT_TRUE(entries["SUB"].is_folder);
  ASSERT_EQ(link.GetFile("A.CRD"), 1);
  EXPECT_EQ(list()["A.CRD"].attributes, 0) << "CLRATTR after the download cleared the archive bit";
  std::filesystem::last_write_time(store_ / "A.CRD",
                                   std::filesystem::file_time_type::clock::now() + std::chrono::hours(1));
  EXPECT_EQ(list()["A.CRD"].attributes, kAttrArchive) << "a changed file is marked again";
  ASSERT_EQ(link.SetHidden(true), 1);
  EXPECT_EQ(list()[".hidden.crd"].attributes, kAttrHidden | kAttrArchive);
  ASSERT_EQ(link.SetMask("*.TXT"), 1);
  entries = list();
  EXPECT_EQ(entries.count("A.CRD"), 0u);
  EXPECT_EQ(entries.count("B.TXT"), 1u);
  EXPECT_EQ(entries.count("SUB"), 1u) << "folders whatever the mask";
}

TEST_F(CollectorSession, OperationsThatFail) {
  StartCollector({"--refuse-baud", "--no-program-folder", "--rename-reply", "WHAT?"});
  RemoteLink link(ui_, progress_, Settings(1), Opener());
  ASSERT_EQ(link.Connect(), 1) << "a refused speed switch and no program folder still connect";
  EXPECT_EQ(link.ChangeDir("\\NOWHERE"), 0);
  EXPECT_EQ(link.DeleteFile("MISSING.CRD"), 0);
  EXPECT_EQ(link.RemoveDir("MISSING"), 0);
  EXPECT_EQ(link.MakeDir(".."), 0);
  EXPECT_EQ(link.Rename("A.CRD", "B.CRD"), 0);
  EXPECT_TRUE(ui_.Saw("box: The remote computer does not support this function"));
  const std::vector<std::string> heard = Heard();
  EXPECT_EQ(std::count(heard.begin(), heard.end(), "BAUD"), 2);
}

TEST_F(CollectorSession, ASilentCollectorIsNotConnected) {
  StartCollector({"--silent"});
  LinkSettings settings = Settings(1);
  settings.baud = 9600;
  RemoteLink link(ui_, progress_, settings, Opener());
  EXPECT_EQ(link.Connect(), 0);
  EXPECT_FALSE(link.Connected());
  const std::vector<std::string> heard = Heard();
  EXPECT_EQ(std::count(heard.begin(), heard.end(), "HELLO"), 5);
}

TEST_F(CollectorSession, ACollectorAtTheConfiguredSpeedOnly) {
  StartCollector({"--answer-only-at", "38400"});
  RemoteLink link(ui_, progress_, Settings(1), Opener());
  ASSERT_EQ(link.Connect(), 1);
  const std::vector<std::string> heard = Heard();
  EXPECT_EQ(std::count(heard.begin(), heard.end(), "HELLO"), 6);
  EXPECT_EQ(std::count(heard.begin(), heard.end(), "BAUD"), 0);
}

}  // namespace
}  // namespace pelikon
