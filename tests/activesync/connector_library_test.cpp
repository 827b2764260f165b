// The connector library as the program meets it: "libtolvane.so" loaded by
// name beside the test program, used only through its table (by way of
// the program's adapter), against device folders made for each test.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "activesync/activesync_connect.h"
#include "app/optional_libraries.h"
#include "link/listing/dir_listing.h"
#include "platform/dynamic_library.h"
#include "platform/program_files.h"
#include "platform/settings_store.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

std::string Pattern(size_t size) {
  std::string content(size, '\0');
  for (size_t i = 0; i < size; ++i) content[i] = static_cast<char>('A' + (i * 7) % 26);
  return content;
}

// Runs `body` in a child process with a file-size limit of `limit` bytes
// (writes past it fail as on a full device); returns its exit status.
template <typename Body>
int WithFileSizeLimit(rlim_t limit, Body body) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const struct rlimit rl = {limit, limit};
    ::setrlimit(RLIMIT_FSIZE, &rl);
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

class ConnectorLibraryTest : public ::testing::Test {
 protected:
  ConnectorLibraryTest() : device_(temp_ / "device"), pc_(temp_ / "pc"), config_(temp_ / "config") {
    fs::create_directories(device_);
    fs::create_directories(pc_);
    ::setenv("PELIKON_CONFIG_DIR", config_.c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (temp_ / "run").c_str(), 1);
    SetRoot(device_.string());
    libraries_.Bind(ProgramFolder());
  }

  void SetRoot(const std::string& root) {
    FileSettingsStore settings(config_);
    settings.CreateKey();
    settings.SetValue("asyncroot", root);
  }

  DeviceConnector& Device() { return *libraries_.Device(); }

  void Connect() { ASSERT_EQ(Device().Connect(), 1) << Device().ErrorText(0); }

  // The listing of `folder` as written into the PC folder.
  std::string Listing(const std::string& folder, bool show_hidden = false) {
    EXPECT_EQ(Device().WriteListing(folder, show_hidden, pc_.string()), 1);
    return testing::Contents(pc_ / "dir_zzz.txt");
  }

  TempDir temp_;
  fs::path device_, pc_, config_;
  OptionalLibraries libraries_;
};

TEST_F(ConnectorLibraryTest, TheLibraryIsFoundByNameWithItsTwoExports) {
  ASSERT_TRUE(libraries_.DeviceConnectorAvailable()) << "libtolvane.so beside the program";
  DynamicLibrary library;
  ASSERT_TRUE(library.Load("tolvane.DLL", ProgramFolder()));
  const auto make = library.Bind<NewActiveSyncConnectFunction>("new_ActiveSyncConnect");
  const auto destroy = library.Bind<DeleteActiveSyncConnectFunction>("delete_ActiveSyncConnect");
  ASSERT_TRUE(make && destroy);
  // Only the interface leaves the library.
  EXPECT_EQ(library.Symbol("_ZN7pelikon10activesync19ActiveSyncConnector7ConnectEv"), nullptr);
  ActiveSyncConnect* object = make();
  ASSERT_NE(object, nullptr);
  char folder[ACTIVESYNC_PATH_CHARS];
  EXPECT_EQ(object->ops->getHomeFolder(object, folder), 1);
  EXPECT_STREQ(folder, "\\");
  EXPECT_EQ(object->ops->getCurrentFolder(object, folder), 1);
  EXPECT_STREQ(folder, "\\");
  destroy(object);
  destroy(nullptr);
  library.KeepLoaded();
}

TEST_F(ConnectorLibraryTest, ConnectsToTheConfiguredFolder) {
  Connect();
  EXPECT_NE(Device().IsConnected(), 0);
  std::string free;
  ASSERT_EQ(Device().FreeSpace(free), 1);
  EXPECT_FALSE(free.empty());
  EXPECT_EQ(free.find_first_not_of("0123456789"), std::string::npos) << free;

  fs::remove_all(device_);
  EXPECT_EQ(Device().IsConnected(), 0) << "the folder no longer answers";
}

TEST_F(ConnectorLibraryTest, NoDeviceFolderIsNoDeviceAfterASecond) {
  SetRoot((temp_ / "not-mounted").string());
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Device().Connect(), -507);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900))
      << "a device being mounted gets its second";
  const std::string text = Device().ErrorText(-507);
  EXPECT_EQ(text.rfind("Error = ", 0), 0u) << text;
  EXPECT_NE(text.find("not-mounted"), std::string::npos) << "names the folder it looked at: " << text;

  // A file is not a device folder either.
  temp_.Write("a-file", "x");
  SetRoot((temp_ / "a-file").string());
  EXPECT_EQ(Device().Connect(), -507);
}

TEST_F(ConnectorLibraryTest, AFolderThatCannotBeReadFailsInitialisation) {
  // Permissions bind only a user without privileges: the check runs as one.
  char shared_template[] = "/tmp/pelikon-unreadable-XXXXXX";
  ASSERT_NE(::mkdtemp(shared_template), nullptr);
  const fs::path shared = shared_template;
  const fs::path locked = shared / "device";
  fs::create_directories(locked);
  fs::permissions(shared, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
  {
    FileSettingsStore settings(shared / "config");
    settings.CreateKey();
    settings.SetValue("asyncroot", locked.string());
  }
  fs::permissions(shared / "config", fs::perms::all);
  fs::permissions(shared / "config" / "settings", fs::perms::all);
  fs::permissions(locked, fs::perms::none);
  ::setenv("PELIKON_CONFIG_DIR", (shared / "config").c_str(), 1);
  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
    ::_exit(Device().Connect() == -506 ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  fs::permissions(locked, fs::perms::owner_all);
  fs::remove_all(shared);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the folder is there but cannot be listed: -506";
}

TEST_F(ConnectorLibraryTest, WithoutAFolderTheDesktopsSingleMediaDeviceIsTaken) {
  SetRoot("");
  const fs::path gvfs = temp_ / "run" / "gvfs";
  fs::create_directories(gvfs);
  EXPECT_EQ(Device().Connect(), -507);
  EXPECT_NE(Device().ErrorText(0).find("no media device"), std::string::npos) << Device().ErrorText(0);

  temp_.Write("run/gvfs/mtp:host=Collector_A/Internal storage/Jobs/JOB1.CRD", "points");
  temp_.Write("run/gvfs/mtp:host=Collector_A/SD card/other.txt", "x");
  temp_.Write("run/gvfs/smb-share:server=office/x.txt", "not a device");
  Connect();
  ASSERT_EQ(Device().SetCurrentFolder("\\Jobs"), 1) << "the first storage in name order";
  EXPECT_NE(Listing("\\Jobs").find("JOB1.CRD|6|"), std::string::npos);

  fs::create_directories(gvfs / "mtp:host=Collector_B");
  EXPECT_EQ(Device().Connect(), -507);
  EXPECT_NE(Device().ErrorText(0).find("2 media devices"), std::string::npos) << Device().ErrorText(0);
}

TEST_F(ConnectorLibraryTest, FilesCopyWholeAcrossChunkBoundariesWithTheDevicesTimes) {
  Connect();
  for (const size_t size : {size_t{0}, size_t{1}, size_t{5000}, size_t{10000}, size_t{(1 << 20) + 1}}) {
    SCOPED_TRACE(size);
    const std::string name = "F" + std::to_string(size) + ".DAT";
    const fs::path on_device = temp_.Write("device/" + name, Pattern(size));
    testing::SetLocalModificationTime(on_device, 2024, 3, 5, 14, 30);
    const fs::path on_pc = pc_ / name;
    ASSERT_EQ(Device().GetFile("\\" + name, on_pc.string()), 1);
    EXPECT_EQ(testing::Contents(on_pc), Pattern(size));
    EXPECT_EQ(fs::last_write_time(on_pc), fs::last_write_time(on_device));

    // And back under another name, with the PC file's times.
    ASSERT_EQ(Device().PutFile(on_pc.string(), "\\BACK" + name), 1);
    EXPECT_EQ(testing::Contents(device_ / ("BACK" + name)), Pattern(size));
    EXPECT_EQ(fs::last_write_time(device_ / ("BACK" + name)), fs::last_write_time(on_pc));
  }
  EXPECT_EQ(testing::EntryNames(pc_).size(), 5u) << "no twins left behind";
}

TEST_F(ConnectorLibraryTest, ListingsCarryTheParentLineBelowTheRootAndFilesBeforeFolders) {
  temp_.Write("device/notes.txt", "12345");
  temp_.Write("device/JOB1.CRD", "x");
  temp_.Write("device/.hidden.txt", "h");
  temp_.Write("device/My Documents/a.txt", "a");
  fs::create_directories(device_ / "Zeta");
  Connect();

  ListingContents root;
  std::string text = Listing("\\");
  EXPECT_EQ(text.find(".."), std::string::npos) << "the root has no parent line";
  root = ParseListing(text);
  std::set<std::string> names;
  for (const DirEntry& entry : root.entries) names.insert(entry.name);
  EXPECT_EQ(names, (std::set<std::string>{"notes.txt", "JOB1.CRD", "My Documents", "Zeta"}));
  EXPECT_NE(text.find("notes.txt|5|"), std::string::npos);
  EXPECT_NE(Listing("\\", true).find(".hidden.txt"), std::string::npos) << "hidden files when asked for";

  EXPECT_EQ(Listing("\\My Documents").rfind("..|-1| | |-1|..\r\n", 0), 0u);

  ASSERT_EQ(Device().SetMask("*.txt"), 1);
  const ListingContents masked = ParseListing(Listing("\\"));
  ASSERT_EQ(masked.entries.size(), 3u);
  EXPECT_EQ(masked.entries[0].name, "notes.txt");
  EXPECT_FALSE(masked.entries[0].is_folder);
  EXPECT_TRUE(masked.entries[1].is_folder && masked.entries[2].is_folder) << "then every folder";

  EXPECT_EQ(Device().WriteListing("\\Missing", false, pc_.string()), -500);
}

TEST_F(ConnectorLibraryTest, FoldersNamesAndAttributes) {
  temp_.Write("device/Jobs/JOB1.CRD", "one");
  temp_.Write("device/Jobs/JOB2.CRD", "two");
  Connect();
  EXPECT_EQ(Device().SetCurrentFolder("\\Nowhere"), 0);
  std::string folder;
  Device().GetCurrentFolder(folder);
  EXPECT_EQ(folder, "\\") << "a missing folder keeps the old one";
  EXPECT_EQ(Device().SetCurrentFolder("\\Jobs\\JOB1.CRD"), 0) << "a file is not a folder";
  ASSERT_EQ(Device().SetCurrentFolder("\\Jobs"), 1);
  Device().GetCurrentFolder(folder);
  EXPECT_EQ(folder, "\\Jobs\\");

  // Renaming onto an existing name, refused atomically, then allowed.
  EXPECT_EQ(Device().Rename("JOB1.CRD", "JOB2.CRD", true), -500);
  EXPECT_EQ(testing::Contents(device_ / "Jobs/JOB1.CRD"), "one");
  EXPECT_EQ(testing::Contents(device_ / "Jobs/JOB2.CRD"), "two");
  EXPECT_EQ(Device().Rename("JOB1.CRD", "JOB3.CRD", true), 1);
  EXPECT_EQ(Device().Rename("JOB3.CRD", "JOB2.CRD", false), 1);
  EXPECT_EQ(testing::EntryNames(device_ / "Jobs"), std::set<std::string>{"JOB2.CRD"});
  EXPECT_EQ(testing::Contents(device_ / "Jobs/JOB2.CRD"), "one");
  EXPECT_EQ(Device().Rename("Missing", "Other", true), 0);

  EXPECT_NE(Device().MakeFolder("Sub"), 0);
  EXPECT_NE(Device().MakeFolder("\\Top"), 0) << "a name from the root";
  EXPECT_TRUE(fs::is_directory(device_ / "Jobs/Sub") && fs::is_directory(device_ / "Top"));
  EXPECT_EQ(Device().MakeFolder("Sub"), 0);
  EXPECT_NE(Device().RemoveFolder("Sub"), 0);
  EXPECT_NE(Device().DeleteFile("JOB2.CRD"), 0);
  EXPECT_EQ(Device().DeleteFile("JOB2.CRD"), 0);

  // The archive mark: set on new files, cleared by "normal", back when the file changes.
  temp_.Write("device/Jobs/NEW.RW5", "raw");
  EXPECT_NE(Listing("\\Jobs").find("NEW.RW5|3|"), std::string::npos);
  const auto attributes = [&] {
    const std::string text = Listing("\\Jobs");
    const ListingContents contents = ParseListing(text);
    EXPECT_EQ(contents.entries.size(), 2u) << text;  // the parent line and the file
    return contents.entries.empty() ? 0 : contents.entries.back().attributes;
  };
  EXPECT_EQ(attributes() & 32, 32);
  ASSERT_NE(Device().SetAttributes("\\Jobs\\NEW.RW5", 128), 0);
  EXPECT_EQ(attributes(), 128);
  temp_.Write("device/Jobs/NEW.RW5", "raw, changed in the field");
  fs::last_write_time(device_ / "Jobs/NEW.RW5", fs::last_write_time(device_ / "Jobs/NEW.RW5") + std::chrono::hours(1));
  EXPECT_EQ(attributes() & 32, 32);
  EXPECT_EQ(Device().SetAttributes("\\Jobs\\Missing", 128), 0);
}

TEST_F(ConnectorLibraryTest, NothingOutsideTheDeviceFolderIsReached) {
  temp_.Write("outside.txt", "private");
  fs::create_directory_symlink("/etc", device_ / "etc");
  Connect();
  const fs::path copy = pc_ / "copy";
  EXPECT_EQ(Device().GetFile("\\..\\outside.txt", copy.string()), -503);
  EXPECT_EQ(Device().GetFile("..\\..\\outside.txt", copy.string()), -503);
  EXPECT_EQ(Device().GetFile("\\etc\\hostname", copy.string()), -503);
  EXPECT_FALSE(fs::exists(copy));
  EXPECT_EQ(Device().SetCurrentFolder("\\etc"), 0);
  EXPECT_EQ(Device().SetCurrentFolder("\\.."), 0);
  EXPECT_EQ(Device().PutFile((temp_ / "outside.txt").string(), "\\etc\\planted"), -503);
  EXPECT_EQ(Device().DeleteFile("\\..\\outside.txt"), 0);
  EXPECT_TRUE(fs::exists(temp_ / "outside.txt"));
  EXPECT_EQ(Listing("\\").find("etc"), std::string::npos) << "a link that leaves the device is not listed";
}

TEST_F(ConnectorLibraryTest, AFailedCopyLeavesBothSidesAsTheyWere) {
  temp_.Write("device/JOB1.CRD", Pattern(100000));
  temp_.Write("pc/JOB1.CRD", "the office copy");
  temp_.Write("pc/BIG.CRD", Pattern(100000));
  Connect();

  // The PC side fills up part-way through a download.
  EXPECT_EQ(
      WithFileSizeLimit(50000, [&] { return Device().GetFile("\\JOB1.CRD", (pc_ / "JOB1.CRD").string()) == -511; }), 1);
  EXPECT_EQ(testing::Contents(pc_ / "JOB1.CRD"), "the office copy");
  // And the device part-way through an upload.
  EXPECT_EQ(
      WithFileSizeLimit(50000, [&] { return Device().PutFile((pc_ / "BIG.CRD").string(), "\\JOB1.CRD") == -509; }), 1);
  EXPECT_EQ(testing::Contents(device_ / "JOB1.CRD"), Pattern(100000));
  EXPECT_EQ(testing::EntryNames(pc_), (std::set<std::string>{"JOB1.CRD", "BIG.CRD"})) << "no twins";
  EXPECT_EQ(testing::EntryNames(device_), std::set<std::string>{"JOB1.CRD"});

  EXPECT_EQ(Device().GetFile("\\Missing.CRD", (pc_ / "JOB1.CRD").string()), -503);
  EXPECT_EQ(testing::Contents(pc_ / "JOB1.CRD"), "the office copy");
  EXPECT_EQ(Device().PutFile((pc_ / "Missing.CRD").string(), "\\JOB1.CRD"), -502);
  EXPECT_EQ(Device().GetFile("\\JOB1.CRD", (pc_ / "no-folder" / "JOB1.CRD").string()), -502);

  // The device goes away.
  fs::rename(device_, temp_ / "unplugged");
  EXPECT_EQ(Device().PutFile((pc_ / "BIG.CRD").string(), "\\JOB1.CRD"), -503);
  EXPECT_EQ(Device().GetFile("\\JOB1.CRD", (pc_ / "JOB1.CRD").string()), -503);
  EXPECT_EQ(testing::Contents(pc_ / "JOB1.CRD"), "the office copy");
  EXPECT_EQ(testing::Contents(temp_ / "unplugged" / "JOB1.CRD"), Pattern(100000));
}

// A device that is full or read-only: a small file system of its own.
TEST_F(ConnectorLibraryTest, AFullOrReadOnlyDeviceKeepsItsFiles) {
  if (::mount("tmpfs", device_.c_str(), "tmpfs", 0, "size=256k") != 0) GTEST_SKIP() << "cannot mount a tmpfs here";
  struct Unmount {
    fs::path at;
    ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
  } unmount{device_};
  temp_.Write("device/JOB1.CRD", "the collector's points");
  temp_.Write("pc/BIG.CRD", Pattern(1 << 20));
  Connect();
  EXPECT_EQ(Device().PutFile((pc_ / "BIG.CRD").string(), "\\JOB1.CRD"), -509) << "full part-way";
  EXPECT_EQ(testing::Contents(device_ / "JOB1.CRD"), "the collector's points");
  EXPECT_EQ(testing::EntryNames(device_), std::set<std::string>{"JOB1.CRD"});

  ASSERT_EQ(::mount("tmpfs", device_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=256k"), 0);
  temp_.Write("pc/SMALL.CRD", "new");
  EXPECT_EQ(Device().PutFile((pc_ / "SMALL.CRD").string(), "\\JOB1.CRD"), -503);
  EXPECT_EQ(Device().SetAttributes("\\JOB1.CRD", 1), 0) << "a change that cannot be made is not reported done";
  EXPECT_EQ(testing::Contents(device_ / "JOB1.CRD"), "the collector's points");
}

}  // namespace
}  // namespace pelikon
